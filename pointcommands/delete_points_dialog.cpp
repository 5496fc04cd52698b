#include "pointcommands/delete_points_dialog.h"

#include "platform/dialog_fields.h"
#include "pointcommands/point_indices.h"

namespace gridora {

std::vector<DialogField> DeletePointsDialog::Fields() {
  return {MakeField(4065, "Points to delete (numbers from 1, e.g. 3,7,20-25)", FieldKind::Text, &indices, "indices")};
}

std::optional<std::string> DeletePointsDialog::Validate() const {
  std::vector<int> chosen;
  std::string problem;
  if (!ParsePointIndices(indices, pointCount, chosen, problem)) return problem;
  return std::nullopt;
}

}  // namespace gridora
