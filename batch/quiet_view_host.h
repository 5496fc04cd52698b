#pragma once
// The ViewHost of commands run with no view (benchmarks): nothing to repaint, and the
// printing and clipboard services succeed without output.
#include "platform/view_host.h"

namespace gridora {

class QuietViewHost : public ViewHost {
 public:
  void Invalidate() override {}
  void UpdateAllViews() override {}
  bool CopyDrawing() override { return true; }
  bool Print() override { return true; }
  bool PrintPreview() override { return true; }
  bool PrintSetup() override { return true; }
  void ShowAbout() override {}
  void Exit() override {}
};

}  // namespace gridora
