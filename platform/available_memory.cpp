#include "platform/available_memory.h"

#include <unistd.h>

#include <cstdio>
#include <cstring>

namespace gridora {

std::uint64_t AvailableMemoryBytes() {
  if (std::FILE* file = std::fopen("/proc/meminfo", "r")) {
    char line[256];
    std::uint64_t kilobytes = 0;
    bool found = false;
    while (!found && std::fgets(line, sizeof line, file)) {
      if (std::strncmp(line, "MemAvailable:", 13) != 0) continue;
      for (const char* c = line + 13; *c; ++c)
        if (*c >= '0' && *c <= '9') kilobytes = kilobytes * 10 + static_cast<std::uint64_t>(*c - '0');
      found = true;
    }
    std::fclose(file);
    if (found) return kilobytes * 1024;
  }
  const long pages = sysconf(_SC_AVPHYS_PAGES), pageSize = sysconf(_SC_PAGESIZE);
  if (pages > 0 && pageSize > 0) return static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(pageSize);
  return 0;
}

}  // namespace gridora
