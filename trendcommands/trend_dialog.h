#pragma once
// "Trend surface": the degree of the polynomial in x and y.
#include "platform/dialog_data.h"

namespace gridora {

class TrendDialog : public DialogData {
 public:
  int degree = 0;  // index: 0 linear, 1 quadratic, 2 cubic

  std::string Title() const override { return "Trend surface"; }
  int ResourceId() const override { return 404; }
  std::vector<DialogField> Fields() override;
  std::optional<std::string> Validate() const override;
};

}  // namespace gridora
