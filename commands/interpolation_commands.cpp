// Interpolation > Ninimum curvature: the origin and area dialogs, then the gridding of
// the primary points into a new grid that replaces the document's only when the run
// completes (a cancelled or refused run leaves the grid as it was).
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
#include "commands/surface_options.h"
#include "interpolation/grid_summary.h"
#include "interpolation/minimum_curvature.h"
#include "interpolation/minimum_curvature_solver.h"
#include "platform/memory_budget.h"
#include "platform/profile.h"
#include "platform/user_interface.h"
#include "platform/view_host.h"
#include "view/gridora_doc.h"

namespace gridora {
namespace {

CommandStatus MinimumCurvature(CommandContext& c) {
  RandomData& data = *c.doc.primaryData;

  GridLayout layout;
  switch (AskGridLayout(c, [](float, float) { return 1.0f; }, layout)) {
    case GridLayoutResult::Canceled:
      return CommandStatus::Canceled;
    case GridLayoutResult::Refused:
      return CommandStatus::Failed;
    case GridLayoutResult::Accepted:
      break;
  }
  const float xMinimum = layout.xMinimum, yMinimum = layout.yMinimum;
  const float DX = layout.DX, DY = layout.DY;
  const int NX = layout.NX, NY = layout.NY;

  const SurfaceOptions options = ReadSurfaceOptions(c.profile);
  const std::uint64_t nodes = static_cast<std::uint64_t>(NX) * static_cast<std::uint64_t>(NY);
  const std::optional<std::uint64_t> spare = SpareMemoryNow();
  const std::uint64_t needed = EstimateGriddingBytes(NX, NY, options, spare.value_or(0)) + nodes * 2 * sizeof(float) +
                               static_cast<std::uint64_t>(data.count) * sizeof(DataPoint);
  auto refuseForMemory = [&](std::uint64_t bytes) {
    RestoreRanges(data, layout);
    c.ui.Message(fmt::sprintf(
        "Cannot interpolate: a grid of %d x %d nodes needs about %s of memory to solve, "
        "more than the %s this computer can spare now. Choose a larger spacing.",
        NX, NY, NeededMemoryText(bytes), SpareMemoryText(spare.value_or(0))));
    return CommandStatus::Failed;
  };
  auto outOfMemory = [&]() {
    RestoreRanges(data, layout);
    c.ui.Message(fmt::sprintf(
        "Cannot interpolate: there was not enough memory for a grid of %d x %d nodes. "
        "The grid is unchanged.",
        NX, NY));
    return CommandStatus::Failed;
  };
  if (spare && needed > *spare) return refuseForMemory(needed);

  // The new grid is computed aside and moved into the document at the end.
  GridModel result;
  result.x0 = xMinimum;
  result.y0 = yMinimum;
  result.DX = DX;
  result.DY = DY;
  result.layerCount = 1;
  result.NX = NX;
  result.NY = NY;
  if (!result.AllocateGrid()) return outOfMemory();

  std::vector<DataPoint> shifted;
  try {
    shifted.resize(static_cast<std::size_t>(data.count));
  } catch (const std::bad_alloc&) {
    return outOfMemory();
  }
  for (int p = 0; p < data.count; ++p) {
    shifted[static_cast<std::size_t>(p)] = {data.points[p].x - static_cast<double>(xMinimum),
                                            data.points[p].y - static_cast<double>(yMinimum), data.points[p].z};
  }

  std::unique_ptr<Feedback> feedback = c.ui.BeginProgress("Interpolation by minimum curvature");
  // 0 means no limit to the solver: a known budget is never passed as 0.
  const std::uint64_t memoryLimit =
      spare ? std::max<std::uint64_t>(1, *spare - std::min(*spare, nodes * 2 * sizeof(float))) : 0;
  const MinimumCurvatureResult run =
      InterpolateMinimumCurvature(NX, NY, DX, DY, result.Column(0, 0), shifted.data(), data.count, kTensionWeight,
                                  kCurvatureWeight, kDataWeight, feedback.get(), memoryLimit, options);
  std::vector<DataPoint>().swap(shifted);
  switch (run.status) {
    case MinimumCurvatureResult::Status::Canceled:
      RestoreRanges(data, layout);
      return CommandStatus::Canceled;
    case MinimumCurvatureResult::Status::OutOfMemory:
      return run.bytesNeeded != 0 && spare ? refuseForMemory(run.bytesNeeded) : outOfMemory();
    case MinimumCurvatureResult::Status::NotConverged:
      RestoreRanges(data, layout);
      c.ui.Message(fmt::sprintf(
          "Interpolation by minimum curvature did not converge: the relative residual is %.3g after %d "
          "iterations. The grid is unchanged.",
          run.residual, run.iterations));
      return CommandStatus::Failed;
    case MinimumCurvatureResult::Status::Completed:
      break;
  }

  if (feedback) feedback->SetStage("Distances to the data");
  try {
    if (!ComputeDataDistance(result, data, feedback.get())) {
      RestoreRanges(data, layout);
      return CommandStatus::Canceled;
    }
  } catch (const std::bad_alloc&) {
    return outOfMemory();
  }
  result.ComputeLayerRange(0);
  feedback.reset();

  CommitGrid(*c.doc.grid, result);
  WriteProfileFloat(c.profile, "CellSizeXOrg", DX);
  WriteProfileFloat(c.profile, "CellSizeYOrg", DY);
  c.ui.Message(fmt::sprintf("Interporation by minimum curvature completed! flag=%d", run.flag));
  c.doc.mapBitmapDirty = 1;
  c.view.UpdateAllViews();
  return CommandStatus::Done;
}

}  // namespace

void RegisterInterpolationCommands(CommandTable& table) {
  table.Add({ID_MINIMUM_CURVATURE, CommandOwner::Document, MinimumCurvature,
             [](const CommandContext& c, CommandState& s) {
               s.enabled = c.doc.primaryData && c.doc.primaryData->count > 1;
             }});
  table.AddBatch({"min-curvature", ID_MINIMUM_CURVATURE, {"xmin", "ymin", "xmax", "ymax", "dx", "dy", "cancel"}});
}

}  // namespace gridora
