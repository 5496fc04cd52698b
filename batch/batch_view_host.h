#pragma once
// The view host of the batch mode: nothing to repaint; printing, copying and rendering
// write the file named by the current line's argument. The drawing itself needs a
// painter, so the window's executable supplies it by overriding the three Write*
// operations; without them those commands fail with a message.
#include <string>
#include <utility>

#include "batch/batch_script.h"
#include "platform/view_host.h"

namespace gridora {

class UserInterface;

class BatchViewHost : public ViewHost {
 public:
  explicit BatchViewHost(UserInterface& ui) : ui_(ui) {}

  void SetLine(const BatchLine* line) { line_ = line; }

  void Invalidate() override { repaintPending_ = true; }
  void UpdateAllViews() override { repaintPending_ = true; }
  bool CopyDrawing() override;
  bool Print() override;
  bool PrintPreview() override { return false; }
  bool PrintSetup() override { return true; }
  void ShowAbout() override;
  void Exit() override {}
  bool RenderToFile(const std::string& path, int width, int height) override;
  bool ExportLayout(const std::string& path, const std::string& title) override;

  // The view's client size in pixels: the size of the last render, 1024 x 768 before.
  int ClientWidth() const { return clientWidth_; }
  int ClientHeight() const { return clientHeight_; }
  // Whether the view would have repainted since the last painting; clears the flag.
  bool TakeRepaint() { return std::exchange(repaintPending_, false); }

 protected:
  // Each returns false when the file was not written, with `problem` saying why.
  virtual bool WriteSvgCopy(const std::string& path, std::string& problem);
  virtual bool WritePdfPage(const std::string& path, std::string& problem);
  virtual bool WriteRendering(const std::string& path, int width, int height, std::string& problem);
  virtual bool WriteLayout(const std::string& path, const std::string& title, std::string& problem);

 private:
  // Shows the problem; false.
  bool Report(const std::string& problem);
  std::string Argument() const;

  UserInterface& ui_;
  const BatchLine* line_ = nullptr;
  int clientWidth_ = 1024, clientHeight_ = 768;
  bool repaintPending_ = true;
};

}  // namespace gridora
