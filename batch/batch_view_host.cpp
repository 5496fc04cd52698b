#include "batch/batch_view_host.h"

#include "platform/user_interface.h"

namespace gridora {

std::string BatchViewHost::Argument() const { return line_ ? line_->argument : std::string(); }

bool BatchViewHost::Report(const std::string& problem) {
  ui_.Message(problem);
  return false;
}

bool BatchViewHost::CopyDrawing() {
  const std::string path = Argument();
  if (path.empty()) return Report("copy needs the path of the .svg file to write");
  std::string problem;
  return WriteSvgCopy(path, problem) || Report(problem);
}

bool BatchViewHost::Print() {
  const std::string path = Argument();
  if (path.empty()) return Report("print needs the path of the .pdf file to write");
  std::string problem;
  return WritePdfPage(path, problem) || Report(problem);
}

void BatchViewHost::ShowAbout() { ui_.Message("Gridora Version 1.0.1.3\nMay. 15, 2024"); }

bool BatchViewHost::RenderToFile(const std::string& path, int width, int height) {
  clientWidth_ = width;
  clientHeight_ = height;
  repaintPending_ = false;
  std::string problem;
  return WriteRendering(path, width, height, problem) || Report(problem);
}

bool BatchViewHost::ExportLayout(const std::string& path, const std::string& title) {
  std::string problem;
  return WriteLayout(path, title, problem) || Report(problem);
}

namespace {

bool NotAvailable(std::string& problem) {
  problem = "Drawing to files is not available here.";
  return false;
}

}  // namespace

bool BatchViewHost::WriteSvgCopy(const std::string&, std::string& problem) { return NotAvailable(problem); }
bool BatchViewHost::WritePdfPage(const std::string&, std::string& problem) { return NotAvailable(problem); }
bool BatchViewHost::WriteRendering(const std::string&, int, int, std::string& problem) { return NotAvailable(problem); }
bool BatchViewHost::WriteLayout(const std::string&, const std::string&, std::string& problem) {
  return NotAvailable(problem);
}

}  // namespace gridora
