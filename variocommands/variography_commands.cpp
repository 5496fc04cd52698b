// Interpolation > Directional variograms, Variogram map, Use proposed anisotropy: the
// experimental variograms of the primary points by direction and as a surface, written
// to their CSV files and shown as charts; the anisotropy the map proposes goes into the
// kriging options on request.
#include "variocommands/variography_commands.h"

#include <fmt/printf.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <new>
#include <vector>

#include "commands/batch_keys.h"
#include "commands/command_ids.h"
#include "commands/command_table.h"
#include "geostat/kriging_options.h"
#include "platform/dialog_fields.h"
#include "platform/number_text.h"
#include "platform/user_interface.h"
#include "platform/view_host.h"
#include "variocommands/simulation_command.h"
#include "variography/directional_variogram.h"
#include "variography/variogram_map.h"
#include "view/document.h"
#include "view/document_kriging_options.h"

namespace gridora {
namespace {

bool MoreThanOnePoint(const CommandContext& c) { return c.doc.primaryData && c.doc.primaryData->count > 1; }

struct PointColumns {
  std::vector<double> x, y, z;
};

PointColumns PrimaryColumns(const Document& doc) {
  PointColumns p;
  const int n = doc.primaryData->count;
  p.x.resize(static_cast<std::size_t>(n));
  p.y.resize(p.x.size());
  p.z.resize(p.x.size());
  for (int i = 0; i < n; ++i) {
    const DataPoint& q = doc.primaryData->points[static_cast<std::size_t>(i)];
    p.x[static_cast<std::size_t>(i)] = q.x;
    p.y[static_cast<std::size_t>(i)] = q.y;
    p.z[static_cast<std::size_t>(i)] = q.z;
  }
  return p;
}

// The diagonal of the points' bounding box (1 when it is 0 or not finite).
double Diagonal(const RandomData& data) {
  const double d = std::hypot(data.xMaximum - data.xMinimum, data.yMaximum - data.yMinimum);
  return d > 0.0 && std::isfinite(d) ? d : 1.0;
}

double Variance(const std::vector<double>& z) {
  double mean = 0.0, sum = 0.0;
  for (double v : z) mean += v;
  mean /= static_cast<double>(z.size());
  for (double v : z) sum += (v - mean) * (v - mean);
  return sum / static_cast<double>(z.size());
}

class DirectionalVariogramDialog : public DialogData {
 public:
  std::string Title() const override { return "Directional variograms"; }
  int ResourceId() const override { return 405; }
  std::vector<DialogField> Fields() override {
    return {MakeField(4051, "Directions (degrees from +X, comma list)", FieldKind::Text, &angles, "angles"),
            MakeField(4052, "Angular tolerance (half-width, degrees)", FieldKind::Double, &tolerance, "tolerance"),
            MakeField(4053, "Lag width", FieldKind::Double, &lag, "lag"),
            MakeField(4054, "Cutoff (largest distance)", FieldKind::Double, &cutoff, "cutoff")};
  }
  std::optional<std::string> Validate() const override {
    const std::optional<std::vector<double>> list = ParseAngleList(angles);
    if (!list)
      return fmt::sprintf("The directions must be numbers of degrees separated by commas (not \"%s\").", angles);
    return DirectionalOptionsProblem({*list, tolerance, lag, cutoff});
  }

  std::string angles = "0,45,90,135";
  double tolerance = 22.5, lag = 1.0, cutoff = 1.0;
};

class VariogramMapDialog : public DialogData {
 public:
  std::string Title() const override { return "Variogram map"; }
  int ResourceId() const override { return 406; }
  std::vector<DialogField> Fields() override {
    return {MakeField(4061, "Cell side (lag)", FieldKind::Double, &lag, "lag"),
            MakeField(4062, "Cells on each side of the centre", FieldKind::Int, &cells, "cells")};
  }
  std::optional<std::string> Validate() const override { return VariogramMapOptionsProblem({lag, cells}); }

  double lag = 1.0;
  int cells = 10;
};

CommandStatus RunDirectionalVariogram(CommandContext& c) {
  Document& doc = c.doc;
  DirectionalVariogramDialog dialog;
  // Half the largest extent, in ten classes: the usual reach of an experimental variogram.
  dialog.cutoff = 0.5 * Diagonal(*doc.primaryData);
  dialog.lag = dialog.cutoff / 10.0;
  if (!c.ui.RunDialog(dialog)) return CommandStatus::Canceled;
  const PointColumns p = PrimaryColumns(doc);
  const DirectionalVariogramOptions options{*ParseAngleList(dialog.angles), dialog.tolerance, dialog.lag,
                                            dialog.cutoff};
  DirectionalVariograms result;
  {
    auto progress = c.ui.BeginProgress("Directional variograms");
    result = ComputeDirectionalVariograms(p.x.data(), p.y.data(), p.z.data(), p.x.size(), options, progress.get());
  }
  if (result.outcome.kind == OutcomeKind::Canceled) return CommandStatus::Canceled;
  if (!result.outcome.Done()) {
    c.ui.Message(result.outcome.text);
    return CommandStatus::Failed;
  }
  std::string problem;
  if (!WriteDirectionalVariogramCsv(result, std::filesystem::path(doc.dataFolder) / "directional_variogram.csv",
                                    problem)) {
    c.ui.Message(problem);
    return CommandStatus::Failed;
  }
  doc.directionalVariograms = std::make_shared<const DirectionalVariograms>(std::move(result));
  doc.chartMode = ChartMode::Directional;
  c.view.Invalidate();
  return CommandStatus::Done;
}

CommandStatus RunVariogramMap(CommandContext& c) {
  Document& doc = c.doc;
  VariogramMapDialog dialog;
  // The map reaches a third of the diagonal on each side of the centre.
  dialog.lag = Diagonal(*doc.primaryData) / 3.0 / dialog.cells;
  if (!c.ui.RunDialog(dialog)) return CommandStatus::Canceled;
  const PointColumns p = PrimaryColumns(doc);
  VariogramMap map;
  {
    auto progress = c.ui.BeginProgress("Variogram map");
    VariogramMapOptions options;
    options.lag = dialog.lag;
    options.cells = dialog.cells;
    map = ComputeVariogramMap(p.x.data(), p.y.data(), p.z.data(), p.x.size(), options, progress.get());
  }
  if (map.outcome.kind == OutcomeKind::Canceled) return CommandStatus::Canceled;
  if (!map.outcome.Done()) {
    c.ui.Message(map.outcome.text);
    return CommandStatus::Failed;
  }
  std::string problem;
  if (!WriteVariogramMapCsv(map, std::filesystem::path(doc.dataFolder) / "variogram_map.csv", problem)) {
    c.ui.Message(problem);
    return CommandStatus::Failed;
  }
  const ProposedAnisotropy proposal = ProposeAnisotropy(map, Variance(p.z));
  if (proposal.found) {
    std::string text =
        fmt::sprintf("Proposed anisotropy: angle=%.6g ratio=%.6g", proposal.angleDegrees, proposal.ratio);
    if (proposal.reachesEdge) text += " (the low part of the map reaches its edge: a larger lag gives a truer ratio)";
    c.ui.Message(text);
    doc.proposedAngle = proposal.angleDegrees;
    doc.proposedRatio = proposal.ratio;
  } else {
    c.ui.Message(
        "No anisotropy could be proposed: the map has no cells below half the data's variance near its "
        "centre. Try a smaller lag.");
    doc.proposedAngle = doc.proposedRatio = 0.0;
  }
  doc.variogramMap = std::make_shared<const VariogramMap>(std::move(map));
  doc.chartMode = ChartMode::VariogramMap;
  c.view.Invalidate();
  return CommandStatus::Done;
}

// The proposal into the kriging options (and the profile, as the options dialog keeps them).
CommandStatus UseProposedAnisotropy(CommandContext& c) {
  KrigingOptions& options = DocumentKrigingOptions(c.doc, c.profile);
  KrigingOptions changed = options;
  changed.angleDegrees = c.doc.proposedAngle;
  changed.ratio = c.doc.proposedRatio;
  if (const std::optional<std::string> problem = changed.Problem()) {
    c.ui.Message(*problem);
    return CommandStatus::Failed;
  }
  options = changed;
  WriteKrigingOptions(c.profile, options);
  c.ui.Message(fmt::sprintf("Kriging options: angle=%.6g ratio=%.6g. They apply from the next \"Variogram\".",
                            options.angleDegrees, options.ratio));
  return CommandStatus::Done;
}

}  // namespace

void RegisterVariographyCommands(CommandTable& table) {
  using O = CommandOwner;
  constexpr const char* kInterpolation = "Interpolation";
  table.Add({.id = ID_DIRECTIONAL_VARIOGRAM,
             .owner = O::View,
             .run = RunDirectionalVariogram,
             .update = [](const CommandContext& c, CommandState& s) { s.enabled = MoreThanOnePoint(c); },
             .menu = {kInterpolation, "Directional variograms", kSeparatorBefore},
             .batch = {.name = "directional-variogram", .keys = Keys(DirectionalVariogramDialog{}, "cancel")}});
  table.Add({.id = ID_VARIOGRAM_MAP,
             .owner = O::View,
             .run = RunVariogramMap,
             .update = [](const CommandContext& c, CommandState& s) { s.enabled = MoreThanOnePoint(c); },
             .menu = {kInterpolation, "Variogram map"},
             .batch = {.name = "variogram-map", .keys = Keys(VariogramMapDialog{}, "cancel")}});
  table.Add({.id = ID_USE_PROPOSED_ANISOTROPY,
             .owner = O::View,
             .run = UseProposedAnisotropy,
             .update = [](const CommandContext& c, CommandState& s) { s.enabled = c.doc.proposedRatio > 0.0; },
             .menu = {kInterpolation, "Use the proposed anisotropy"}});
  RegisterSimulationCommand(table);
}

}  // namespace gridora
