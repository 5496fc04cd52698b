#include "platform/memory_budget.h"

#include <fmt/printf.h>
#include <sys/resource.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <string>

#include "platform/available_memory.h"

namespace gridora {
namespace {

// cgroup v1 writes "no limit" as a page-rounded 2^63 - 1.
constexpr std::uint64_t kNoLimitAbove = std::uint64_t{1} << 60;

std::optional<std::uint64_t> ReadNumberFile(const std::string& path) {
  std::ifstream in(path);
  std::string text;
  if (!in || !std::getline(in, text) || text.empty() || text == "max") return std::nullopt;
  std::uint64_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') break;
    value = value * 10 + static_cast<std::uint64_t>(c - '0');
  }
  return value;
}

std::optional<std::uint64_t> Smaller(std::optional<std::uint64_t> a, std::optional<std::uint64_t> b) {
  if (!a) return b;
  if (!b) return a;
  return std::min(*a, *b);
}

// Limit less usage in `folder`, when it has a limit.
std::optional<std::uint64_t> GroupHeadroom(const std::string& folder, const char* limitName, const char* usageName) {
  const auto limit = ReadNumberFile(folder + "/" + limitName);
  if (!limit || *limit >= kNoLimitAbove) return std::nullopt;
  const std::uint64_t usage = ReadNumberFile(folder + "/" + usageName).value_or(0);
  return *limit > usage ? *limit - usage : 0;
}

// Every level from the process's group up to the root of the hierarchy.
std::optional<std::uint64_t> HierarchyHeadroom(const std::string& root, std::string group, const char* limitName,
                                               const char* usageName) {
  std::optional<std::uint64_t> headroom;
  for (;;) {
    headroom = Smaller(headroom, GroupHeadroom(root + group, limitName, usageName));
    if (group.empty() || group == "/") break;
    const auto slash = group.find_last_of('/');
    group = slash == std::string::npos || slash == 0 ? std::string() : group.substr(0, slash);
  }
  return headroom;
}

std::optional<std::uint64_t> ContainerHeadroom() {
  std::ifstream in("/proc/self/cgroup");
  std::string line;
  std::optional<std::uint64_t> headroom;
  while (std::getline(in, line)) {
    // "0::/path" (v2) or "N:controllers:/path" (v1)
    const auto first = line.find(':');
    const auto second = first == std::string::npos ? first : line.find(':', first + 1);
    if (second == std::string::npos) continue;
    const std::string controllers = line.substr(first + 1, second - first - 1);
    std::string group = line.substr(second + 1);
    if (group == "/") group.clear();
    if (controllers.empty()) {
      // v2 alone, or beside v1 ("hybrid") under unified/.
      for (const char* root : {"/sys/fs/cgroup", "/sys/fs/cgroup/unified"})
        headroom = Smaller(headroom, HierarchyHeadroom(root, group, "memory.max", "memory.current"));
    } else if (("," + controllers + ",").find(",memory,") != std::string::npos) {
      headroom = Smaller(headroom, HierarchyHeadroom("/sys/fs/cgroup/memory", group, "memory.limit_in_bytes",
                                                     "memory.usage_in_bytes"));
    }
  }
  return headroom;
}

std::optional<std::uint64_t> AddressSpaceHeadroom() {
  struct rlimit limit {};
  if (::getrlimit(RLIMIT_AS, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return std::nullopt;
  std::uint64_t mapped = 0;
  std::ifstream in("/proc/self/status");
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind("VmSize:", 0) != 0) continue;
    for (char c : line)
      if (c >= '0' && c <= '9') mapped = mapped * 10 + static_cast<std::uint64_t>(c - '0');
    mapped *= 1024;
    break;
  }
  const auto cap = static_cast<std::uint64_t>(limit.rlim_cur);
  return cap > mapped ? cap - mapped : 0;
}

std::function<MemoryReading()>& ReadingOverride() {
  static std::function<MemoryReading()> reading;
  return reading;
}

}  // namespace

MemoryReading ReadMemory() {
  MemoryReading reading;
  if (const std::uint64_t available = AvailableMemoryBytes(); available != 0) reading.available = available;
  reading.container = ContainerHeadroom();
  reading.addressSpace = AddressSpaceHeadroom();
  return reading;
}

std::optional<std::uint64_t> SpareMemory(const MemoryReading& reading) {
  const auto headroom = Smaller(reading.available, Smaller(reading.container, reading.addressSpace));
  if (!headroom) return std::nullopt;
  const auto margin =
      std::max(kMemoryFloorBytes, static_cast<std::uint64_t>(static_cast<double>(*headroom) * kMemoryMarginFraction));
  return *headroom > margin ? *headroom - margin : 0;
}

MemoryReading CurrentMemoryReading() {
  const auto& reading = ReadingOverride();
  return reading ? reading() : ReadMemory();
}

std::optional<std::uint64_t> SpareMemoryNow() { return SpareMemory(CurrentMemoryReading()); }

void SetMemoryReading(std::function<MemoryReading()> reading) { ReadingOverride() = std::move(reading); }

namespace {

constexpr double kMegabyte = 1024.0 * 1024.0;

// "%.1f GB" from 1 GB on, else "%.0f MB", rounded up or down.
std::string MemoryText(std::uint64_t bytes, bool roundUp) {
  const double megabytes = static_cast<double>(bytes) / kMegabyte;
  auto round = [roundUp](double v) { return roundUp ? std::ceil(v) : std::floor(v); };
  if (megabytes >= 1024.0) return fmt::sprintf("%.1f GB", round(megabytes / 1024.0 * 10.0) / 10.0);
  return fmt::sprintf("%.0f MB", round(megabytes));
}

}  // namespace

std::string NeededMemoryText(std::uint64_t bytes) { return MemoryText(bytes, true); }
std::string SpareMemoryText(std::uint64_t bytes) { return MemoryText(bytes, false); }

}  // namespace gridora
