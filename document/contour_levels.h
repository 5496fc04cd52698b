#pragma once
// The user's contour levels of one layer and the colour words stored with them.
#include <array>
#include <cstdint>

namespace gridora {

struct ContourLevels {
  static constexpr int kMaximumCount = 37;

  int count = kMaximumCount;
  int reserved = 0;
  std::array<float, kMaximumCount> levels{};
  std::array<std::uint32_t, kMaximumCount> boundaryRed{};
  std::array<std::uint32_t, kMaximumCount> boundaryGreen{};
  std::array<std::uint32_t, kMaximumCount> boundaryBlue{};

  bool operator==(const ContourLevels&) const = default;
};

}  // namespace gridora
