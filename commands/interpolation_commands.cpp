// Interpolation > Ninimum curvature: the gridding of the primary points by minimum
// curvature. The steps it shares with the kriging prediction (dialogs, memory refusal,
// the grid built aside and handed over only when the run completes) are RunGridding's.
#include <fmt/printf.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "commands/command_ids.h"
#include "commands/command_modules.h"
#include "commands/command_table.h"
#include "commands/grid_layout.h"
#include "commands/gridding_run.h"
#include "commands/surface_options.h"
#include "platform/memory_budget.h"
#include "platform/profile.h"
#include "platform/user_interface.h"
#include "surface/minimum_curvature.h"
#include "surface/minimum_curvature_solver.h"
#include "view/document.h"

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

// Fills layer 0 of `result` by minimum curvature through the primary points; Done
// carries the completion message.
GriddingOutcome FillByMinimumCurvature(const RandomData& data, const SurfaceOptions& options, const GriddingRun& run,
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

  const std::uint64_t nodes = layout.NodeCount();
  // 0 means no limit to the solver: a known budget is never passed as 0.
  const std::optional<std::uint64_t>& spare = run.spare;
  const std::uint64_t memoryLimit =
      spare ? std::max<std::uint64_t>(1, *spare - std::min(*spare, nodes * 2 * sizeof(float))) : 0;
  const MinimumCurvatureResult solved = InterpolateMinimumCurvature(
      layout.nx, layout.ny, static_cast<float>(layout.dx), static_cast<float>(layout.dy), result.Column(0, 0),
      shifted.data(), data.count, kTensionWeight, kCurvatureWeight, kDataWeight, run.feedback, memoryLimit, options);
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
    return FillByMinimumCurvature(data, options, run, result);
  };
  const GriddingOutcome outcome = RunGridding(c, method);
  if (outcome.status != CommandStatus::Done) return outcome.status;
  c.ui.Message(outcome.message);
  ShowNewGrid(c);
  return CommandStatus::Done;
}

}  // namespace

void RegisterInterpolationCommands(CommandTable& table) {
  table.Add(
      {ID_MINIMUM_CURVATURE, CommandOwner::Document, MinimumCurvature, [](const CommandContext& c, CommandState& s) {
         s.enabled = c.doc.primaryData && c.doc.primaryData->count > 1;
       }});
  table.AddBatch({"min-curvature", ID_MINIMUM_CURVATURE, {"xmin", "ymin", "xmax", "ymax", "dx", "dy", "cancel"}});
}

}  // namespace gridora
