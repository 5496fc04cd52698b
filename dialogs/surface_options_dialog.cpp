#include "dialogs/surface_options_dialog.h"

#include <cmath>

#include "platform/dialog_fields.h"

namespace gridora {

std::vector<DialogField> SurfaceOptionsDialog::Fields() {
  return {
      MakeField(1001, "Tension (0 = curvature only, 1 = tension only):", FieldKind::Float, &tension, "tension"),
      InGroup(
          RadioField(1002, "", &fit, "fit", {"Weighted as in the standard functional", "Exact fit through every point"},
                     {"specified", "exact"}),
          "Data"),
      InGroup(
          RadioField(1003, "", &solver, "solver", {"Automatic", "Direct (sparse Cholesky)", "Multigrid (iterative)"},
                     {"auto", "direct", "multigrid"}),
          "Solver"),
  };
}

std::optional<std::string> SurfaceOptionsDialog::Validate() const {
  if (!(tension >= 0.0f && tension <= 1.0f)) return std::string("The tension must lie between 0 and 1.");
  if (fit < kFitSpecified || fit > kFitExact || solver < kSolverAutomatic || solver > kSolverMultigrid)
    return std::string("Choose one of the offered fits and solvers.");
  return std::nullopt;
}

}  // namespace gridora
