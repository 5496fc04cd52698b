#include "gridcommands/gridder_commands.h"

#include <fmt/printf.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <limits>
#include <new>
#include <span>
#include <string>
#include <vector>

#include "commands/batch_keys.h"
#include "commands/command_ids.h"
#include "commands/command_table.h"
#include "commands/grid_layout.h"
#include "commands/gridding_run.h"
#include "dialogs/dialogs.h"
#include "dialogs/gridder_dialogs.h"
#include "document/grid_model.h"
#include "gridders/inverse_distance.h"
#include "gridders/linear_triangulation.h"
#include "gridders/nearest_point.h"
#include "platform/count_text.h"
#include "platform/number_text.h"
#include "platform/profile.h"
#include "platform/user_interface.h"
#include "view/document.h"

namespace gridora {
namespace {

// The options are kept for the next run as the shortest text that reads back exactly.
constexpr const char* kIdwPowerKey = "IdwPower";
constexpr const char* kIdwRadiusKey = "IdwRadius";
constexpr const char* kIdwMaxPointsKey = "IdwMaxPoints";
constexpr const char* kIdwMinPointsKey = "IdwMinPoints";
constexpr const char* kNearestRadiusKey = "NearestRadius";

double ReadDouble(Profile& profile, const char* key, double fallback) {
  std::string text = FormatRoundTrip(fallback);
  ReadProfileText(profile, key, text);
  double value = fallback;
  return ParseDouble(text, value) ? value : fallback;
}

void WriteDouble(Profile& profile, const char* key, double value) {
  profile.WriteText(kProfileSection, key, FormatRoundTrip(value));
}

// One of the quick gridders: fills `values` and `empty` (one entry a node, column by
// column) for the layout.
using QuickGridder = std::function<GridderResult(std::span<const DataPoint> points, const NodeLayout& layout,
                                                 float* values, std::uint8_t* empty, Feedback* feedback)>;

std::string Counted(std::size_t count, const char* one, const char* many) {
  return GroupedCount(count) + " " + (count == 1 ? one : many);
}

// Fills layer 0 of `result` with `gridder`. Empty nodes are marked in the grid's mask
// and take the lowest value of the others, so the range and the colour levels follow
// the estimates (as an imported raster's no-data pixels do). A grid without a single
// value is refused: there would be nothing to show.
GriddingOutcome FillQuickly(const RandomData& data, const QuickGridder& gridder, const std::string& what,
                            const std::string& whyEmpty, const GriddingRun& run, GridModel& result) {
  const NodeLayout& layout = run.layout;
  std::vector<std::uint8_t> empty;
  try {
    empty.assign(layout.NodeCount(), 0);
  } catch (const std::bad_alloc&) {
    return {CommandStatus::Failed, GridOutOfMemoryText(layout)};
  }
  const std::span<const DataPoint> points(data.points.get(), static_cast<std::size_t>(std::max(data.count, 0)));
  float* values = result.Column(0, 0);
  const GridderResult filled = gridder(points, layout, values, empty.data(), run.feedback);
  switch (filled.status) {
    case GridderResult::Status::Done: break;
    case GridderResult::Status::Canceled: return {CommandStatus::Canceled, {}};
    case GridderResult::Status::Invalid:
      return {CommandStatus::Failed, fmt::sprintf("Cannot interpolate: %s The grid is unchanged.", filled.problem)};
  }
  const std::size_t nodes = layout.NodeCount();
  if (filled.emptyNodes >= nodes)
    return {CommandStatus::Failed,
            fmt::sprintf("Interpolation by %s left every node of the %d x %d grid empty (%s). The grid is unchanged.",
                         what, layout.nx, layout.ny, whyEmpty)};
  std::string message = fmt::sprintf("Interpolation by %s completed.", what);
  if (filled.emptyNodes > 0) {
    float lowest = std::numeric_limits<float>::max();
    for (std::size_t k = 0; k < nodes; ++k)
      if (!empty[k]) lowest = std::min(lowest, values[k]);
    for (std::size_t k = 0; k < nodes; ++k)
      if (empty[k]) values[k] = lowest;
    result.emptyNodes = std::move(empty);
    message += fmt::sprintf(" %s left empty (%s).", Counted(filled.emptyNodes, "node", "nodes"), whyEmpty);
  }
  return {CommandStatus::Done, message};
}

CommandStatus RunQuickGridder(CommandContext& c, const std::string& title, const std::string& what,
                              const std::string& whyEmpty, const QuickGridder& gridder) {
  const RandomData& data = *c.doc.primaryData;
  GriddingMethod method;
  method.progressTitle = title;
  method.spacing = SpacingProposal{1.0f, false};
  method.fill = [&](const GriddingRun& run, GridModel& result) {
    return FillQuickly(data, gridder, what, whyEmpty, run, result);
  };
  const GriddingOutcome outcome = RunGridding(c, method);
  if (outcome.status != CommandStatus::Done) return outcome.status;
  c.ui.Message(outcome.message);
  ShowNewGrid(c);
  return CommandStatus::Done;
}

CommandStatus InverseDistance(CommandContext& c) {
  InverseDistanceDialog dialog;
  dialog.power = ReadDouble(c.profile, kIdwPowerKey, dialog.power);
  dialog.radius = ReadDouble(c.profile, kIdwRadiusKey, dialog.radius);
  dialog.maxPoints = ReadProfileInt(c.profile, kIdwMaxPointsKey, dialog.maxPoints);
  dialog.minPoints = ReadProfileInt(c.profile, kIdwMinPointsKey, dialog.minPoints);
  if (dialog.Validate()) dialog = InverseDistanceDialog{};  // a damaged profile: the defaults
  if (!c.ui.RunDialog(dialog)) return CommandStatus::Canceled;
  WriteDouble(c.profile, kIdwPowerKey, dialog.power);
  WriteDouble(c.profile, kIdwRadiusKey, dialog.radius);
  WriteProfileInt(c.profile, kIdwMaxPointsKey, dialog.maxPoints);
  WriteProfileInt(c.profile, kIdwMinPointsKey, dialog.minPoints);

  const IdwOptions options{dialog.power, dialog.radius, dialog.maxPoints, dialog.minPoints};
  const std::string whyEmpty = fmt::sprintf("fewer than %d %s within reach", std::max(1, options.minPoints),
                                            options.minPoints > 1 ? "points" : "point");
  return RunQuickGridder(
      c, "Interpolation by inverse distance", "inverse distance", whyEmpty,
      [&](std::span<const DataPoint> points, const NodeLayout& layout, float* values, std::uint8_t* empty,
          Feedback* feedback) { return GridByInverseDistance(points, layout, options, values, empty, feedback); });
}

CommandStatus NearestPoint(CommandContext& c) {
  NearestPointDialog dialog;
  dialog.radius = ReadDouble(c.profile, kNearestRadiusKey, dialog.radius);
  if (dialog.Validate()) dialog = NearestPointDialog{};
  if (!c.ui.RunDialog(dialog)) return CommandStatus::Canceled;
  WriteDouble(c.profile, kNearestRadiusKey, dialog.radius);
  const NearestOptions options{dialog.radius};
  return RunQuickGridder(
      c, "Interpolation by nearest point", "nearest point", "no point within the search radius",
      [&](std::span<const DataPoint> points, const NodeLayout& layout, float* values, std::uint8_t* empty,
          Feedback* feedback) { return GridByNearestPoint(points, layout, options, values, empty, feedback); });
}

CommandStatus LinearTriangulation(CommandContext& c) {
  return RunQuickGridder(
      c, "Interpolation on the triangulation", "linear interpolation on the triangulation",
      "outside the triangulation of the points; three points not on one line are needed for a triangle",
      [](std::span<const DataPoint> points, const NodeLayout& layout, float* values, std::uint8_t* empty,
         Feedback* feedback) { return GridByLinearTriangulation(points, layout, values, empty, feedback); });
}

void HasPoints(const CommandContext& c, CommandState& s) {
  s.enabled = c.doc.primaryData && c.doc.primaryData->count > 0;
}

}  // namespace

void RegisterGridderCommands(CommandTable& table) {
  using O = CommandOwner;
  constexpr const char* kInterpolation = "Interpolation";
  table.Add({.id = ID_INVERSE_DISTANCE,
             .owner = O::Document,
             .run = InverseDistance,
             .update = HasPoints,
             .menu = {kInterpolation, "Inverse distance...", kSeparatorBefore},
             .batch = {.name = "idw",
                       .keys = Keys(InverseDistanceDialog{}, GridOriginDialog{}, GridSpacingDialog{}, "cancel")}});
  table.Add({.id = ID_NEAREST_POINT,
             .owner = O::Document,
             .run = NearestPoint,
             .update = HasPoints,
             .menu = {kInterpolation, "Nearest point..."},
             .batch = {.name = "nearest",
                       .keys = Keys(NearestPointDialog{}, GridOriginDialog{}, GridSpacingDialog{}, "cancel")}});
  table.Add({.id = ID_LINEAR_TRIANGULATION,
             .owner = O::Document,
             .run = LinearTriangulation,
             .update = HasPoints,
             .menu = {kInterpolation, "Linear (triangulation)"},
             .batch = {.name = "linear", .keys = Keys(GridOriginDialog{}, GridSpacingDialog{}, "cancel")}});
}

}  // namespace gridora
