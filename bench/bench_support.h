#pragma once
// Shared by the benchmarks that run whole commands: a view host with nothing to
// repaint, and the process's peak memory.
#include <sys/resource.h>

#include "platform/view_host.h"

namespace gridora::bench {

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

// Peak resident memory of the process so far, in megabytes.
inline double PeakMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

}  // namespace gridora::bench
