#include "render/null_context.h"

#include <cmath>

namespace gridora {

LogicalRect NullContext::DeviceToLogical(const LogicalRect& r) {
  auto convert = [this](int v) { return static_cast<int>(std::lround(v * unitsPerPixel_)); };
  // Device Y grows downward, logical Y upward.
  return {convert(r.left), -convert(r.top), convert(r.right), -convert(r.bottom)};
}

}  // namespace gridora
