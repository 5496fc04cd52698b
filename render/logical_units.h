#pragma once
// Converting computed positions to logical units. Positions are truncated toward zero
// as integer conversions do; a position that is not a number or lies beyond any page
// (an absurd scale or window) is held to a range that every drawing back end accepts,
// instead of overflowing the integer.
#include <cmath>

namespace gridora {

inline constexpr double kFarthestLogical = 1.0e8;  // 10 km of paper

inline int TruncToLogical(double value) {
  if (std::isnan(value)) return 0;
  if (value > kFarthestLogical) return static_cast<int>(kFarthestLogical);
  if (value < -kFarthestLogical) return -static_cast<int>(kFarthestLogical);
  return static_cast<int>(value);
}

}  // namespace gridora
