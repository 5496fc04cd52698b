#pragma once
// How much memory a computation may take before it is refused.
//
// Three limits apply to this process: the memory the system has available (Linux:
// MemAvailable), the memory limit of the container it runs in (cgroup v2 memory.max,
// v1 memory.limit_in_bytes, at every level of its group, less what the group uses), and
// its address-space limit (RLIMIT_AS, less what it has mapped). The smallest headroom
// counts.
//
// A job may not take all of it: the estimates of the computations leave out allocator
// overhead and the copies a command keeps aside, other programs keep allocating, and the
// kernel starts to swap and to kill well before the available memory reaches 0. So a
// quarter of the headroom, and at least 512 MB, is left free.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace gridora {

// Headrooms in bytes; nullopt where there is no limit or it cannot be read.
struct MemoryReading {
  std::optional<std::uint64_t> available;     // the system's available memory
  std::optional<std::uint64_t> container;     // container limit less its usage
  std::optional<std::uint64_t> addressSpace;  // address-space limit less the mapped size
};

inline constexpr std::uint64_t kMemoryFloorBytes = std::uint64_t{512} << 20;
inline constexpr double kMemoryMarginFraction = 0.25;

// This machine and process now.
MemoryReading ReadMemory();

// The bytes a job may take under `reading`, after the margin; nullopt when nothing is
// known (the job is then not refused for memory).
std::optional<std::uint64_t> SpareMemory(const MemoryReading& reading);

// ReadMemory(), or the reading that tests put in its place.
MemoryReading CurrentMemoryReading();

// SpareMemory(CurrentMemoryReading()).
std::optional<std::uint64_t> SpareMemoryNow();

// Replaces the reading of this machine (tests); an empty function restores it.
void SetMemoryReading(std::function<MemoryReading()> reading);

// Sizes for messages that compare a need with what can be spared: the need is rounded
// up and the spare memory down, so the need shown is always the larger.
std::string NeededMemoryText(std::uint64_t bytes);
std::string SpareMemoryText(std::uint64_t bytes);

}  // namespace gridora
