#include "trendcommands/trend_dialog.h"

#include <fmt/format.h>

#include "platform/dialog_fields.h"

namespace gridora {

std::vector<DialogField> TrendDialog::Fields() {
  return {RadioField(4041, "Degree", &degree, "degree", {"1 (plane)", "2 (quadratic)", "3 (cubic)"}, {"1", "2", "3"})};
}

std::optional<std::string> TrendDialog::Validate() const {
  if (degree < 0 || degree > 2) return fmt::format("The degree of the trend must be 1, 2 or 3 (not {}).", degree + 1);
  return std::nullopt;
}

}  // namespace gridora
