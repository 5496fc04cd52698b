#pragma once
// "Delete points": the numbers of the points to delete (counted from 1, as the points
// table shows them). The batch line `delete-points indices=3,7,20-25`.
#include <string>
#include <vector>

#include "platform/dialog_data.h"

namespace gridora {

class DeletePointsDialog : public DialogData {
 public:
  std::string indices;
  int pointCount = 0;  // the set the numbers refer to

  std::string Title() const override { return "Delete points"; }
  int ResourceId() const override { return 4065; }
  std::vector<DialogField> Fields() override;
  // Numbers outside the set, or not numbers, refuse OK.
  std::optional<std::string> Validate() const override;
};

}  // namespace gridora
