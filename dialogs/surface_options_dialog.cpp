#include "dialogs/surface_options_dialog.h"

#include <cmath>

namespace gridora {

std::vector<DialogField> CDlgSurfaceOptions::Fields() {
  DialogField tensionField;
  tensionField.controlId = 1001;
  tensionField.label = "Tension (0 = curvature only, 1 = tension only):";
  tensionField.kind = FieldKind::Float;
  tensionField.member = &tension;
  tensionField.batchKey = "tension";

  DialogField fitField;
  fitField.controlId = 1002;
  fitField.kind = FieldKind::Radio;
  fitField.member = &fit;
  fitField.batchKey = "fit";
  fitField.group = "Data";
  fitField.choices = {"Weighted as in the standard functional", "Exact fit through every point"};
  fitField.batchChoices = {"specified", "exact"};

  DialogField solverField;
  solverField.controlId = 1003;
  solverField.kind = FieldKind::Radio;
  solverField.member = &solver;
  solverField.batchKey = "solver";
  solverField.group = "Solver";
  solverField.choices = {"Automatic", "Direct (sparse Cholesky)", "Multigrid (iterative)"};
  solverField.batchChoices = {"auto", "direct", "multigrid"};

  return {tensionField, fitField, solverField};
}

std::optional<std::string> CDlgSurfaceOptions::Validate() const {
  if (!(tension >= 0.0f && tension <= 1.0f)) return std::string("The tension must lie between 0 and 1.");
  if (fit < kFitSpecified || fit > kFitExact || solver < kSolverAutomatic || solver > kSolverMultigrid)
    return std::string("Choose one of the offered fits and solvers.");
  return std::nullopt;
}

}  // namespace gridora
