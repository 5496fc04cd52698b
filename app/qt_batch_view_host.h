#pragma once
// The batch mode's view host with real drawing: render, print and copy write files.
#include "batch/batch_view_host.h"

namespace gridora {

class Document;

class QtBatchViewHost : public BatchViewHost {
 public:
  QtBatchViewHost(UserInterface& ui, Document& doc) : BatchViewHost(ui), doc_(doc) {}

 protected:
  bool WriteSvgCopy(const std::string& path, std::string& problem) override;
  bool WritePdfPage(const std::string& path, std::string& problem) override;
  bool WriteRendering(const std::string& path, int width, int height, std::string& problem) override;
  bool WriteLayout(const std::string& path, const std::string& title, std::string& problem) override;

 private:
  Document& doc_;
};

}  // namespace gridora
