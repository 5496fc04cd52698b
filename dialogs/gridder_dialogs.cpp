#include "dialogs/gridder_dialogs.h"

#include <fmt/printf.h>

#include <cmath>

#include "dialogs/value_rules.h"
#include "platform/dialog_fields.h"

namespace gridora {
namespace {

// 0 (no limit) or a length.
std::optional<std::string> CheckRadius(double radius) {
  if (radius == 0.0) return std::nullopt;
  if (auto problem = CheckPositiveLength("The search radius", radius)) return *problem + " Enter 0 for no limit.";
  return std::nullopt;
}

}  // namespace

std::vector<DialogField> InverseDistanceDialog::Fields() {
  return {
      MakeField(4011, "Power of the distance", FieldKind::Double, &power, "power"),
      MakeField(4012, "Search radius (0: no limit)", FieldKind::Double, &radius, "radius"),
      MakeField(4013, "Nearest points used (0: all in reach)", FieldKind::Int, &maxPoints, "max-points"),
      MakeField(4014, "Fewest points (fewer: the node stays empty)", FieldKind::Int, &minPoints, "min-points"),
  };
}

std::optional<std::string> InverseDistanceDialog::Validate() const {
  if (!(power >= 0.0 && power <= kLargestPower))
    return fmt::sprintf("The power must lie between 0 and %g (it is %g).", kLargestPower, power);
  if (auto problem = CheckRadius(radius)) return problem;
  if (maxPoints < 0) return fmt::sprintf("The number of nearest points must be 0 (all) or more (it is %d).", maxPoints);
  if (minPoints < 0) return fmt::sprintf("The fewest points must be 0 or more (it is %d).", minPoints);
  if (maxPoints > 0 && minPoints > maxPoints)
    return fmt::sprintf("The fewest points (%d) exceed the nearest points used (%d): every node would stay empty.",
                        minPoints, maxPoints);
  return std::nullopt;
}

std::vector<DialogField> NearestPointDialog::Fields() {
  return {MakeField(4021, "Search radius (0: no limit)", FieldKind::Double, &radius, "radius")};
}

std::optional<std::string> NearestPointDialog::Validate() const { return CheckRadius(radius); }

}  // namespace gridora
