#pragma once
// "Minimum curvature options": the surface's tension, how closely it follows the data,
// and which solver runs. The defaults keep the command's own functional.
#include <optional>
#include <string>
#include <vector>

#include "platform/dialog_data.h"

namespace gridora {

class SurfaceOptionsDialog : public DialogData {
 public:
  enum Fit { kFitSpecified = 0, kFitExact = 1 };
  enum Solver { kSolverAutomatic = 0, kSolverDirect = 1, kSolverMultigrid = 2 };

  float tension = 0.5f;  // 0: pure curvature, 1: pure tension
  int fit = kFitSpecified;
  int solver = kSolverAutomatic;

  std::string Title() const override { return "Minimum curvature options"; }
  int ResourceId() const override { return 170; }
  std::vector<DialogField> Fields() override;
  // A tension outside [0, 1] is refused.
  std::optional<std::string> Validate() const override;
};

}  // namespace gridora
