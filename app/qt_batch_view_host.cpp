#include "qt_batch_view_host.h"

#include "drawing_export.h"

namespace gridora {

bool QtBatchViewHost::WriteSvgCopy(const std::string& path, std::string& problem) {
  return WriteCopyDrawing(doc_, path, problem);
}

bool QtBatchViewHost::WritePdfPage(const std::string& path, std::string& problem) {
  return PrintViewToPdf(doc_, path, problem);
}

bool QtBatchViewHost::WriteRendering(const std::string& path, int width, int height, std::string& problem) {
  return RenderViewToFile(doc_, path, width, height, problem);
}

bool QtBatchViewHost::WriteLayout(const std::string& path, const std::string& title, std::string& problem) {
  return WriteLayoutFile(doc_, path, title, problem);
}

}  // namespace gridora
