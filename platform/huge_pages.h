#pragma once
// Large buffers on transparent huge pages. A grid of millions of nodes touches hundreds
// of megabytes of fresh memory; in 4 KB pages each first touch is a page fault, and in a
// virtual machine the faults alone took a tenth of a 2001 x 2001 gridding. Linux gives
// 2 MB pages to a range marked with madvise(MADV_HUGEPAGE) before it is touched, where
// the system allows it ("madvise" or "always" in transparent_hugepage/enabled);
// elsewhere the mark does nothing and the buffer is an ordinary one.
#include <sys/mman.h>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace gridora {

// The size of a huge page; buffers under four of them stay on ordinary pages.
inline constexpr std::size_t kHugePageBytes = std::size_t{2} << 20;

// Marks the whole 2 MB pages inside [data, data + bytes) for huge pages.
inline void AdviseHugePages(void* data, std::size_t bytes) {
  const std::uintptr_t begin = reinterpret_cast<std::uintptr_t>(data);
  const std::uintptr_t first = (begin + kHugePageBytes - 1) & ~(kHugePageBytes - 1);
  const std::uintptr_t last = (begin + bytes) & ~(kHugePageBytes - 1);
  if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
}

// values.assign(count, fill), the fresh memory marked for huge pages before the fill
// touches it (an allocation this large comes straight from mmap, untouched).
template <typename T>
void AssignOnHugePages(std::vector<T>& values, std::size_t count, const T& fill) {
  if (count * sizeof(T) >= 4 * kHugePageBytes && values.capacity() < count) {
    std::vector<T>().swap(values);
    values.reserve(count);
    AdviseHugePages(values.data(), values.capacity() * sizeof(T));
  }
  values.assign(count, fill);
}

}  // namespace gridora
