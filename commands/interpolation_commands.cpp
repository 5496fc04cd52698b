// The Interpolation menu. "Ninimum curvature": the gridding of the primary points by
// minimum curvature; the steps it shares with the kriging prediction (dialogs, memory
// refusal, the grid built aside and handed over only when the run completes) are
// RunGridding's. After the Kriging submenu (kriging_commands.cpp): "Kriging options"
// (model, fit, type, anisotropy, neighbourhood), "Cross-validation" of the current model
// and data, the "Standard error" view toggle and "Minimum curvature options".
#include <fmt/printf.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "commands/batch_keys.h"
#include "commands/command_ids.h"
#include "commands/command_modules.h"
#include "commands/command_table.h"
#include "commands/grid_layout.h"
#include "commands/gridding_run.h"
#include "commands/local_kriging_run.h"
#include "commands/surface_options.h"
#include "dialogs/dialogs.h"
#include "dialogs/kriging_options_dialog.h"
#include "dialogs/surface_options_dialog.h"
#include "geostat/cross_validation.h"
#include "geostat/kriging_state.h"
#include "platform/feedback.h"
#include "platform/memory_budget.h"
#include "platform/number_text.h"
#include "platform/profile.h"
#include "platform/user_interface.h"
#include "platform/view_host.h"
#include "surface/minimum_curvature.h"
#include "surface/minimum_curvature_solver.h"
#include "view/document.h"
#include "view/document_kriging_options.h"

namespace gridora {
namespace {

// What the user reads of the gridding's outcome: the completion message (flag -2 when the
// data did not pin the grid down and every node is 0) or why the grid is unchanged.
// Empty for a cancel.
std::string MinimumCurvatureMessage(const MinimumCurvatureResult& solved, const NodeLayout& layout,
                                    const std::optional<std::uint64_t>& spare) {
  switch (solved.outcome.kind) {
    case OutcomeKind::Done:
    case OutcomeKind::Singular:
      return fmt::sprintf("Interporation by minimum curvature completed! flag=%d",
                          solved.outcome.kind == OutcomeKind::Singular ? -2 : 0);
    case OutcomeKind::OutOfMemory:
      return solved.bytesNeeded != 0 && spare ? GridMemoryRefusalText(layout, solved.bytesNeeded, *spare, true)
                                              : GridOutOfMemoryText(layout);
    case OutcomeKind::NotConverged:
      return fmt::sprintf(
          "Interpolation by minimum curvature did not converge: the relative residual is %.3g after "
          "%d iterations. The grid is unchanged.",
          solved.residual, solved.iterations);
    case OutcomeKind::Canceled:
    case OutcomeKind::NotFinite:     // not an outcome of the gridding
    case OutcomeKind::InvalidInput:  // nor this
      break;
  }
  return {};
}

// Fills layer 0 of `result` by minimum curvature through the primary points, with the
// document's faults (none: the functional as it always was); Done carries the
// completion message.
GriddingOutcome FillByMinimumCurvature(const RandomData& data, const SurfaceOptions& options,
                                       const std::vector<Polyline>& breaklines, const GriddingRun& run,
                                       GridModel& result) {
  const NodeLayout& layout = run.layout;
  std::vector<DataPoint> shifted;
  try {
    shifted.resize(static_cast<std::size_t>(data.count));
  } catch (const std::bad_alloc&) {
    return {CommandStatus::Failed, GridOutOfMemoryText(layout)};
  }
  for (int p = 0; p < data.count; ++p) {
    shifted[static_cast<std::size_t>(p)] = {data.points[p].x - layout.x0, data.points[p].y - layout.y0,
                                            data.points[p].z};
  }

  // The faults in the points' frame.
  std::vector<Polyline> faults = breaklines;
  for (Polyline& line : faults)
    for (PlanePoint& vertex : line.vertices) vertex = {vertex.x - layout.x0, vertex.y - layout.y0};

  const std::uint64_t nodes = layout.NodeCount();
  // 0 means no limit to the solver: a known budget is never passed as 0.
  const std::optional<std::uint64_t>& spare = run.spare;
  const std::uint64_t memoryLimit =
      spare ? std::max<std::uint64_t>(1, *spare - std::min(*spare, nodes * 2 * sizeof(float))) : 0;
  const MinimumCurvatureResult solved =
      InterpolateMinimumCurvature(layout.nx, layout.ny, static_cast<float>(layout.dx), static_cast<float>(layout.dy),
                                  result.Column(0, 0), shifted.data(), data.count, kTensionWeight, kCurvatureWeight,
                                  kDataWeight, run.feedback, memoryLimit, options, &faults);
  // Without faults a singular system means the points do not pin the grid down, and the
  // run completes as it always has; with them, a part the faults cut off from every point.
  if (solved.outcome.kind == OutcomeKind::Singular && !faults.empty())
    return {CommandStatus::Failed,
            "Cannot interpolate: the faults cut off a part of the grid from every data point, so minimum curvature "
            "has no unique surface there. The grid is unchanged."};
  const std::string message = MinimumCurvatureMessage(solved, layout, spare);
  switch (solved.outcome.kind) {
    case OutcomeKind::Done:
    case OutcomeKind::Singular: return {CommandStatus::Done, message};
    case OutcomeKind::Canceled: return {CommandStatus::Canceled, {}};
    default: return {CommandStatus::Failed, message};
  }
}

CommandStatus MinimumCurvature(CommandContext& c) {
  const SurfaceOptions options = ReadSurfaceOptions(c.profile);
  const RandomData& data = *c.doc.primaryData;
  GriddingMethod method;
  method.progressTitle = "Interpolation by minimum curvature";
  method.spacing = SpacingProposal{1.0f, false};
  method.surface = &options;
  method.fill = [&](const GriddingRun& run, GridModel& result) {
    return FillByMinimumCurvature(data, options, c.doc.breaklines, run, result);
  };
  const GriddingOutcome outcome = RunGridding(c, method);
  if (outcome.status != CommandStatus::Done) return outcome.status;
  c.ui.Message(outcome.message);
  ShowNewGrid(c);
  return CommandStatus::Done;
}

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

void Load(KrigingOptionsDialog& d, const KrigingOptions& o) {
  d.model = o.automaticModel ? KrigingOptionsDialog::kAutomaticModel : static_cast<int>(o.model);
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
  d.drift = static_cast<int>(o.drift);
  d.transform = static_cast<int>(o.transform);
  d.indicator = o.indicator ? FormatRoundTrip(o.threshold) : "none";
  d.block = o.block;
  d.blockPoints = o.blockPoints;
}

KrigingOptions OptionsOf(const KrigingOptionsDialog& d) {
  KrigingOptions o;
  o.automaticModel = d.model == KrigingOptionsDialog::kAutomaticModel;
  o.model = o.automaticModel ? VariogramKind::Exponential : static_cast<VariogramKind>(d.model);
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
  o.drift = static_cast<DriftKind>(d.drift);
  o.transform = static_cast<ValueTransform>(d.transform);
  const std::optional<double> threshold = d.Threshold();
  o.indicator = threshold.has_value();
  o.threshold = threshold.value_or(0.0);
  o.block = d.block;
  o.blockPoints = d.blockPoints;
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
  Outcome validated;
  {
    auto progress = c.ui.BeginProgress("Cross-validation");
    const unsigned seed = static_cast<unsigned>(dialog.seed);
    validated = LocalRun(state) ? CrossValidateLocalRun(state, dialog.folds, seed, cv, progress.get())
                                : CrossValidate(state, dialog.folds, seed, cv, progress.get());
  }
  if (validated.kind == OutcomeKind::Canceled) return CommandStatus::Canceled;
  if (!validated.Done()) {
    c.ui.Message(validated.text);  // the cross-validation words its failures itself
    return CommandStatus::Failed;
  }
  std::string problem;
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

void RegisterInterpolationCommands(CommandTable& table) {
  using O = CommandOwner;
  constexpr const char* kInterpolation = "Interpolation";
  table.Add({.id = ID_MINIMUM_CURVATURE,
             .owner = O::Document,
             .run = MinimumCurvature,
             .update = [](const CommandContext& c,
                          CommandState& s) { s.enabled = c.doc.primaryData && c.doc.primaryData->count > 1; },
             .menu = {kInterpolation, "Ninimum curvature"},
             // The layout dialogs of RunGridding.
             .batch = {.name = "min-curvature", .keys = Keys(GridOriginDialog{}, GridSpacingDialog{}, "cancel")}});
  // Variogram, Prediction and Set experimental variogram: kriging_commands.cpp.
  table.AddSubmenu({kInterpolation, "Kriging"});

  // The options come after the original items.
  table.Add({.id = ID_KRIGING_OPTIONS,
             .owner = O::View,
             .run = EditKrigingOptions,
             .menu = {kInterpolation, "Kriging options", kSeparatorBefore},
             .batch = {.name = "kriging-options", .keys = Keys(KrigingOptionsDialog{}, "cancel")}});
  table.Add({.id = ID_CROSS_VALIDATION,
             .owner = O::View,
             .run = RunCrossValidation,
             .update = [](const CommandContext& c, CommandState& s) { s.enabled = CanCrossValidate(c); },
             .menu = {kInterpolation, "Cross-validation"},
             .batch = {.name = "cross-validation", .keys = Keys(CrossValidationDialog{})}});
  table.Add({.id = ID_STANDARD_ERROR,
             .owner = O::View,
             .run = ToggleStandardError,
             .update =
                 [](const CommandContext& c, CommandState& s) {
                   s.checked = c.doc.showStandardError != 0;
                   s.enabled = HasInverse(c) || HasErrorLayer(c.doc);
                 },
             .checkable = true,
             .menu = {kInterpolation, "Standard error"},
             .batch = {.name = "standard-error"}});
  table.Add({.id = ID_SURFACE_OPTIONS,
             .owner = O::Document,
             .run = EditSurfaceOptions,
             .menu = {kInterpolation, "Minimum curvature options"},
             .batch = {.name = "surface-options", .keys = Keys(SurfaceOptionsDialog{}, "cancel")}});
}

}  // namespace gridora
