#include "batch/batch_view_host.h"

#include "platform/user_interface.h"

namespace gridora {

std::string BatchViewHost::Argument() const { return line_ ? line_->argument : std::string(); }

bool BatchViewHost::Report(const std::string& problem) {
  if (problem.empty()) return true;
  ui_.Message(problem);
  return false;
}

bool BatchViewHost::CopyDrawing() {
  const std::string path = Argument();
  if (path.empty()) return Report("copy needs the path of the .svg file to write");
  return Report(WriteSvgCopy(path));
}

bool BatchViewHost::Print() {
  const std::string path = Argument();
  if (path.empty()) return Report("print needs the path of the .pdf file to write");
  return Report(WritePdfPage(path));
}

void BatchViewHost::ShowAbout() { ui_.Message("Gridora Version 1.0.1.3\nMay. 15, 2024"); }

bool BatchViewHost::RenderToFile(const std::string& path, int width, int height) {
  clientWidth_ = width;
  clientHeight_ = height;
  repaintPending_ = false;
  return Report(WriteRendering(path, width, height));
}

std::string BatchViewHost::WriteSvgCopy(const std::string&) { return "Drawing to files is not available here."; }
std::string BatchViewHost::WritePdfPage(const std::string&) { return "Drawing to files is not available here."; }
std::string BatchViewHost::WriteRendering(const std::string&, int, int) {
  return "Drawing to files is not available here.";
}

}  // namespace gridora
