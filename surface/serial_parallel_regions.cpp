#include "surface/serial_parallel_regions.h"

#include <dlfcn.h>

#include <cstdlib>

namespace gridora {
namespace {

thread_local bool serialRegions = false;

}  // namespace

SerialParallelRegions::SerialParallelRegions() : previous_(serialRegions) { serialRegions = true; }

SerialParallelRegions::~SerialParallelRegions() { serialRegions = previous_; }

bool ParallelRegionsSerial() { return serialRegions; }

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
