#include "dialogs/grid_dialogs.h"

#include <fmt/printf.h>

#include "dialogs/value_rules.h"
#include "platform/dialog_fields.h"

namespace gridora {

std::vector<DialogField> GridMathDialog::Fields() {
  DialogField constant = MakeField(4102, "Constant", FieldKind::Double, &value, "value");
  if (!withConstant) constant = Hidden(constant);
  return {
      RadioField(4101, "Operation", &operation, "op", {"Add", "Subtract", "Multiply", "Divide", "Minimum", "Maximum"},
                 {"add", "subtract", "multiply", "divide", "minimum", "maximum"}),
      constant,
  };
}

std::optional<std::string> GridMathDialog::Validate() const {
  if (operation < 0 || operation > 5) return fmt::sprintf("Choose one of the six operations (not %d).", operation);
  if (withConstant) return CheckCoordinate("The constant", value);
  return std::nullopt;
}

std::vector<DialogField> VolumeDialog::Fields() {
  DialogField levelField = MakeField(4111, "Level", FieldKind::Double, &level, "level");
  if (!withLevel) levelField = Hidden(levelField);
  return {
      levelField,
      RadioField(4112, "Rule", &method, "method", {"Trapezoid", "Simpson", "Simpson 3/8"},
                 {"trapezoid", "simpson", "simpson38"}),
  };
}

std::optional<std::string> VolumeDialog::Validate() const {
  if (method < 0 || method > 2) return fmt::sprintf("Choose one of the three rules (not %d).", method);
  if (withLevel) return CheckCoordinate("The level", level);
  return std::nullopt;
}

std::vector<DialogField> GridFilterDialog::Fields() {
  return {
      RadioField(4121, "Filter", &type, "type", {"Gaussian", "Boxcar (mean)", "Median"},
                 {"gaussian", "boxcar", "median"}),
      MakeField(4122, "Width (full width in map units)", FieldKind::Double, &width, "width"),
  };
}

std::optional<std::string> GridFilterDialog::Validate() const {
  if (type < 0 || type > 2) return fmt::sprintf("Choose one of the three filters (not %d).", type);
  return CheckPositiveLength("The filter width", width);
}

}  // namespace gridora
