#pragma once
// Console traces of the numerical routines. They cost real time at scale (a line per
// node and data point), so they are off unless the user asks for them (--verbose).
#include <fmt/printf.h>

#include <cstdio>

namespace gridora {

bool TraceEnabled();
void SetTraceEnabled(bool enabled);

template <typename... Args>
void Trace(const char* format, const Args&... args) {
  if (TraceEnabled()) fmt::fprintf(stdout, format, args...);
}

}  // namespace gridora
