#pragma once
// The options of the quick gridders: "Inverse distance" (power, search radius, nearest
// points, fewest points) and "Nearest point" (search radius). Linear interpolation on the
// triangulation has no options.
#include <optional>
#include <string>
#include <vector>

#include "platform/dialog_data.h"

namespace gridora {

class InverseDistanceDialog : public DialogData {
 public:
  // A power beyond this weighs the nearest point alone to the last bit of a double.
  static constexpr double kLargestPower = 100.0;

  double power = 2.0;
  double radius = 0.0;  // 0: no limit
  int maxPoints = 0;    // 0: every point within the radius
  int minPoints = 1;    // fewer within reach: the node stays empty

  std::string Title() const override { return "Inverse distance options"; }
  int ResourceId() const override { return 401; }
  std::vector<DialogField> Fields() override;
  // Refuses a power outside [0, 100], a radius that is no length, negative counts and a
  // fewest count above the nearest count (every node would stay empty).
  std::optional<std::string> Validate() const override;
};

class NearestPointDialog : public DialogData {
 public:
  double radius = 0.0;  // 0: no limit

  std::string Title() const override { return "Nearest point options"; }
  int ResourceId() const override { return 402; }
  std::vector<DialogField> Fields() override;
  std::optional<std::string> Validate() const override;
};

}  // namespace gridora
