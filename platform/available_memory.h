#pragma once
// How much memory a computation may still take before the machine starts to fail it.
#include <cstdint>

namespace gridora {

// Bytes the system reports as available to new allocations (Linux: MemAvailable), or 0
// when it cannot tell. Jobs are measured against SpareMemoryNow() (memory_budget.h),
// which leaves a margin and takes the process's own limits into account.
std::uint64_t AvailableMemoryBytes();

}  // namespace gridora
