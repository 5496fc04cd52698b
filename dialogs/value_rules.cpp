#include "dialogs/value_rules.h"

#include <fmt/printf.h>

#include <cmath>

namespace gridora {

std::optional<std::string> CheckPositiveLength(const std::string& name, double value) {
  if (std::isfinite(value) && value > 0.0 && value <= kLargestDialogLength) return std::nullopt;
  return fmt::sprintf("%s must be greater than 0 and at most %g.", name, kLargestDialogLength);
}

std::optional<std::string> CheckCoordinate(const std::string& name, double value) {
  if (std::isfinite(value) && std::fabs(value) <= kLargestDialogLength) return std::nullopt;
  return fmt::sprintf("%s must be a number from %g to %g.", name, -kLargestDialogLength, kLargestDialogLength);
}

std::optional<std::string> CheckFinite(const std::string& name, double value) {
  if (std::isfinite(value)) return std::nullopt;
  return fmt::sprintf("%s must be a finite number.", name);
}

}  // namespace gridora
