#include "platform/trace.h"

namespace gridora {
namespace {
bool traceEnabled = false;
}

bool TraceEnabled() { return traceEnabled; }
void SetTraceEnabled(bool enabled) { traceEnabled = enabled; }

}  // namespace gridora
