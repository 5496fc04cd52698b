// Interpolation > Minimum curvature options, and the profile keys behind it.
#include "commands/surface_options.h"

#include "commands/command_ids.h"
#include "commands/command_modules.h"
#include "commands/command_table.h"
#include "dialogs/surface_options_dialog.h"
#include "platform/profile.h"
#include "platform/user_interface.h"

namespace gridora {
namespace {

constexpr const char* kTensionKey = "fSurfaceTension";
constexpr const char* kFitKey = "iSurfaceFit";
constexpr const char* kSolverKey = "iSurfaceSolver";

CommandStatus EditSurfaceOptions(CommandContext& c) {
  const SurfaceOptions current = ReadSurfaceOptions(c.profile);
  SurfaceOptionsDialog dialog;
  dialog.tension = static_cast<float>(current.tension);
  dialog.fit =
      current.fit == SurfaceOptions::Fit::Exact ? SurfaceOptionsDialog::kFitExact : SurfaceOptionsDialog::kFitSpecified;
  dialog.solver = static_cast<int>(current.solver);
  if (!c.ui.RunDialog(dialog)) return CommandStatus::Canceled;

  SurfaceOptions chosen;
  chosen.tension = dialog.tension;
  chosen.fit =
      dialog.fit == SurfaceOptionsDialog::kFitExact ? SurfaceOptions::Fit::Exact : SurfaceOptions::Fit::Specified;
  chosen.solver = static_cast<SurfaceOptions::Solver>(dialog.solver);
  WriteSurfaceOptions(c.profile, chosen);
  return CommandStatus::Done;
}

}  // namespace

SurfaceOptions ReadSurfaceOptions(Profile& profile) {
  SurfaceOptions options;
  float tension = static_cast<float>(options.tension);
  if (ReadProfileFloat(profile, kTensionKey, tension) && tension >= 0.0f && tension <= 1.0f) options.tension = tension;
  if (ReadProfileInt(profile, kFitKey, 0) == 1) options.fit = SurfaceOptions::Fit::Exact;
  const int solver = ReadProfileInt(profile, kSolverKey, 0);
  if (solver == 1) options.solver = SurfaceOptions::Solver::Direct;
  if (solver == 2) options.solver = SurfaceOptions::Solver::Multigrid;
  return options;
}

void WriteSurfaceOptions(Profile& profile, const SurfaceOptions& options) {
  WriteProfileFloat(profile, kTensionKey, static_cast<float>(options.tension));
  WriteProfileInt(profile, kFitKey, options.fit == SurfaceOptions::Fit::Exact ? 1 : 0);
  WriteProfileInt(profile, kSolverKey, static_cast<int>(options.solver));
}

void RegisterSurfaceOptionsCommands(CommandTable& table) {
  table.Add({ID_SURFACE_OPTIONS, CommandOwner::Document, EditSurfaceOptions,
             [](const CommandContext&, CommandState& s) { s.enabled = true; }});
  table.AddBatch({"surface-options", ID_SURFACE_OPTIONS, {"tension", "fit", "solver", "cancel"}});
}

}  // namespace gridora
