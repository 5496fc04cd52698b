#pragma once
// Puts a made-up memory reading in place of the machine's for the life of the object,
// so the memory guard can be tested without allocating anything.
#include "platform/memory_budget.h"

namespace gridora::test {

class FakeMemory {
 public:
  explicit FakeMemory(MemoryReading reading) {
    SetMemoryReading([reading] { return reading; });
  }
  ~FakeMemory() { SetMemoryReading({}); }
  FakeMemory(const FakeMemory&) = delete;
  FakeMemory& operator=(const FakeMemory&) = delete;
};

inline constexpr std::uint64_t kGiB = std::uint64_t{1} << 30;

}  // namespace gridora::test
