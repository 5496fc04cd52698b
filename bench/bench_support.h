#pragma once
// Shared by the benchmarks: the view host of commands run with no view, and the
// process's peak memory.
#include <sys/resource.h>

#include "batch/quiet_view_host.h"

namespace gridora::bench {

// Peak resident memory of the process so far, in megabytes.
inline double PeakMegabytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

}  // namespace gridora::bench
