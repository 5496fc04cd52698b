#include "surface/serial_parallel_regions.h"

#include <dlfcn.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <thread>

namespace gridora {
namespace {

thread_local bool serialRegions = false;

}  // namespace

SerialParallelRegions::SerialParallelRegions() : previous_(serialRegions) { serialRegions = true; }

SerialParallelRegions::~SerialParallelRegions() { serialRegions = previous_; }

bool ParallelRegionsSerial() { return serialRegions; }

int IdleCores() {
  const int cores = std::max(1, static_cast<int>(std::thread::hardware_concurrency()));
  double load = 0.0;
  if (getloadavg(&load, 1) != 1) return cores;
  const double others = std::max(0.0, load - 1.0);
  return std::clamp(cores - static_cast<int>(std::lround(others)), 1, cores);
}

}  // namespace gridora

#ifdef _OPENMP
// The GNU OpenMP runtime's entry of a parallel region (libgomp, GOMP_4.0).
extern "C" void GOMP_parallel(void (*fn)(void*), void* data, unsigned numThreads, unsigned flags) {
  using Entry = void (*)(void (*)(void*), void*, unsigned, unsigned);
  static const Entry runtime = reinterpret_cast<Entry>(dlsym(RTLD_NEXT, "GOMP_parallel"));
  if (gridora::ParallelRegionsSerial() || !runtime) {
    fn(data);
    return;
  }
  runtime(fn, data, numThreads, flags);
}
#endif
