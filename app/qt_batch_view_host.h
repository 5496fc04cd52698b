#pragma once
// The batch mode's view host with real drawing: render, print and copy write files.
#include "batch/batch_view_host.h"

namespace gridora {

class CGridoraDoc;

class QtBatchViewHost : public BatchViewHost {
 public:
  QtBatchViewHost(UserInterface& ui, CGridoraDoc& doc) : BatchViewHost(ui), doc_(doc) {}

 protected:
  std::string WriteSvgCopy(const std::string& path) override;
  std::string WritePdfPage(const std::string& path) override;
  std::string WriteRendering(const std::string& path, int width, int height) override;

 private:
  CGridoraDoc& doc_;
};

}  // namespace gridora
