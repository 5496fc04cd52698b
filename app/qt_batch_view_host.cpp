#include "qt_batch_view_host.h"

#include "drawing_export.h"

namespace gridora {

std::string QtBatchViewHost::WriteSvgCopy(const std::string& path) { return WriteCopyDrawing(doc_, path); }

std::string QtBatchViewHost::WritePdfPage(const std::string& path) { return PrintViewToPdf(doc_, path); }

std::string QtBatchViewHost::WriteRendering(const std::string& path, int width, int height) {
  return RenderViewToFile(doc_, path, width, height);
}

}  // namespace gridora
