// Interpolation menu, after the kriging submenu: "Kriging options" (model, fit, type,
// anisotropy, neighbourhood), "Cross-validation" of the current model and data, and the
// "Standard error" view toggle.
#include <fmt/printf.h>

#include <filesystem>
#include <memory>

#include "commands/command_ids.h"
#include "commands/command_modules.h"
#include "commands/command_table.h"
#include "commands/document_kriging_options.h"
#include "commands/local_kriging_run.h"
#include "dialogs/kriging_options_dialog.h"
#include "geostat/cross_validation.h"
#include "geostat/kriging_state.h"
#include "platform/feedback.h"
#include "platform/profile.h"
#include "platform/user_interface.h"
#include "platform/view_host.h"
#include "view/document.h"

namespace gridora {

KrigingOptions& DocumentKrigingOptions(Document& doc, Profile& profile) {
  if (!doc.krigingOptions) doc.krigingOptions = std::make_unique<KrigingOptions>(ReadKrigingOptions(profile));
  return *doc.krigingOptions;
}

namespace {

void Load(KrigingOptionsDialog& d, const KrigingOptions& o) {
  d.model = static_cast<int>(o.model);
  d.nugget = o.nugget;
  d.smoothness = o.smoothness;
  d.fit = static_cast<int>(o.fit);
  d.maximumLag = o.maximumLag;
  d.fitNugget = o.fitNugget ? 1 : 0;
  d.type = static_cast<int>(o.type);
  d.angle = o.angleDegrees;
  d.ratio = o.ratio;
  d.neighbours = o.neighbours;
  d.maximumDistance = o.maximumDistance;
}

KrigingOptions OptionsOf(const KrigingOptionsDialog& d) {
  KrigingOptions o;
  o.model = static_cast<VariogramKind>(d.model);
  o.nugget = d.nugget;
  o.smoothness = d.smoothness;
  o.fit = static_cast<VariogramFitMethod>(d.fit);
  o.maximumLag = d.maximumLag;
  o.fitNugget = d.fitNugget != 0;
  o.type = static_cast<KrigingType>(d.type);
  o.angleDegrees = d.angle;
  o.ratio = d.ratio;
  o.neighbours = d.neighbours;
  o.maximumDistance = d.maximumDistance;
  return o;
}

// The options apply from the next "Variogram" or "Set experimental variogram".
CommandStatus EditKrigingOptions(CommandContext& c) {
  KrigingOptions& options = DocumentKrigingOptions(c.doc, c.profile);
  KrigingOptionsDialog dialog;
  Load(dialog, options);
  dialog.check = [](const KrigingOptionsDialog& d) { return OptionsOf(d).Problem(); };
  if (!c.ui.RunDialog(dialog)) return CommandStatus::Canceled;
  options = OptionsOf(dialog);
  WriteKrigingOptions(c.profile, options);
  return CommandStatus::Done;
}

bool HasInverse(const CommandContext& c) {
  const KrigingState* state = c.doc.krigingState.get();
  return c.doc.primaryData && c.doc.primaryData->count > 1 && state && state->primary && state->inverse &&
         state->inverse->rows == state->SystemSize();
}

// A local run has no inverse: its points are cross-validated from their neighbourhoods.
bool LocalRun(const KrigingState& state) { return state.primary && LocalKrigingChosen(state.primary->options); }

bool CanCrossValidate(const CommandContext& c) {
  const KrigingState* state = c.doc.krigingState.get();
  return HasInverse(c) || (c.doc.primaryData && c.doc.primaryData->count > 1 && state && LocalRun(*state));
}

CommandStatus RunCrossValidation(CommandContext& c) {
  const KrigingState& state = *c.doc.krigingState;
  CrossValidationDialog dialog;
  if (!c.ui.RunDialog(dialog)) return CommandStatus::Canceled;
  CrossValidation cv;
  std::string problem;
  CrossValidationStatus status;
  {
    auto progress = c.ui.BeginProgress("Cross-validation");
    const unsigned seed = static_cast<unsigned>(dialog.seed);
    status = LocalRun(state) ? CrossValidateLocalRun(state, dialog.folds, seed, cv, progress.get(), &problem)
                             : CrossValidate(state, dialog.folds, seed, cv, progress.get(), &problem);
  }
  if (status == CrossValidationStatus::Canceled) return CommandStatus::Canceled;
  if (status == CrossValidationStatus::Failed) {
    c.ui.Message(problem);
    return CommandStatus::Failed;
  }
  if (!WriteCrossValidationCsv(cv, std::filesystem::path(state.folder) / "cross_validation.csv", problem)) {
    c.ui.Message(problem);
    return CommandStatus::Failed;
  }
  c.ui.Message(CrossValidationSummary(cv));
  c.doc.krigingState->crossValidation = std::make_shared<const CrossValidation>(std::move(cv));
  c.doc.chartMode = ChartMode::CrossValidation;
  c.view.Invalidate();
  return CommandStatus::Done;
}

// A second layer beside a kriging state: the standard errors of the last prediction.
bool HasErrorLayer(const Document& doc) {
  return doc.krigingState && doc.grid && doc.grid->HasValues() && doc.grid->layerCount >= 2;
}

CommandStatus ToggleStandardError(CommandContext& c) {
  Document& doc = c.doc;
  doc.showStandardError = doc.showStandardError ? 0 : 1;
  doc.layerIndex = doc.showStandardError && HasErrorLayer(doc) ? 1 : 0;
  if (HasErrorLayer(doc)) doc.chartMode = ChartMode::None;  // the map, whichever layer it shows
  doc.mapBitmapDirty = 1;
  c.view.UpdateAllViews();
  return CommandStatus::Done;
}

}  // namespace

void RegisterKrigingOptionsCommands(CommandTable& table) {
  using O = CommandOwner;
  table.Add({ID_KRIGING_OPTIONS, O::View, EditKrigingOptions,
             [](const CommandContext&, CommandState& s) { s.enabled = true; }});
  table.Add({ID_CROSS_VALIDATION, O::View, RunCrossValidation,
             [](const CommandContext& c, CommandState& s) { s.enabled = CanCrossValidate(c); }});
  table.Add({ID_STANDARD_ERROR, O::View, ToggleStandardError, [](const CommandContext& c, CommandState& s) {
               s.checked = c.doc.showStandardError != 0;
               s.enabled = HasInverse(c) || HasErrorLayer(c.doc);
             }});

  table.AddBatch({"kriging-options",
                  ID_KRIGING_OPTIONS,
                  {"model", "nugget", "smoothness", "fit", "maxlag", "fit-nugget", "type", "angle", "ratio",
                   "neighbours", "maxdist", "cancel"}});
  table.AddBatch({"cross-validation", ID_CROSS_VALIDATION, {"folds", "seed"}});
  table.AddBatch({"standard-error", ID_STANDARD_ERROR, {}});
}

}  // namespace gridora
