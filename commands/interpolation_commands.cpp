// Interpolation > Ninimum curvature: the origin and area dialogs, then the gridding of
// the primary points into a new grid that replaces the document's only when the run
// completes (a cancelled or refused run leaves the grid as it was).
#include <fmt/printf.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "commands/command_ids.h"
#include "commands/command_modules.h"
#include "commands/command_table.h"
#include "dialogs/dialogs.h"
#include "document/gridora_doc.h"
#include "interpolation/grid_summary.h"
#include "interpolation/minimum_curvature.h"
#include "interpolation/minimum_curvature_solver.h"
#include "platform/available_memory.h"
#include "platform/profile.h"
#include "platform/user_interface.h"
#include "platform/view_host.h"

namespace gridora {
namespace {

std::string MemoryText(std::uint64_t bytes) {
  const double megabytes = static_cast<double>(bytes) / (1024.0 * 1024.0);
  if (megabytes >= 1024.0) return fmt::sprintf("%.1f GB", megabytes / 1024.0);
  return fmt::sprintf("%.0f MB", std::ceil(megabytes));
}

// The node count along one axis, or 0 when the spacing would give more nodes than any
// grid may hold (the count would overflow).
int SafeNodeCount(float extent, float spacing) {
  const double quotient = static_cast<double>(extent) / static_cast<double>(spacing);
  if (!(quotient < static_cast<double>(kMaximumGridValues) / 2.0)) return 0;
  return NodeCountForExtent(extent, spacing);
}

void RestoreRanges(RandomData& data, const float saved[4]) {
  data.xMinimum = saved[0];
  data.yMinimum = saved[1];
  data.xMaximum = saved[2];
  data.yMaximum = saved[3];
}

// Moves the new grid's shape and storage into the document's grid; every other field of
// the document's grid (titles, colours, scales, axes) stays.
void CommitGrid(GridModel& grid, GridModel& result) {
  grid.x0 = result.x0;
  grid.y0 = result.y0;
  grid.DX = result.DX;
  grid.DY = result.DY;
  grid.layerCount = result.layerCount;
  grid.NX = result.NX;
  grid.NY = result.NY;
  grid.values.swap(result.values);
  grid.dataDistance.swap(result.dataDistance);
  grid.layerMinimum.swap(result.layerMinimum);
  grid.layerMaximum.swap(result.layerMaximum);
}

CommandStatus MinimumCurvature(CommandContext& c) {
  RandomData& data = *c.doc.primaryData;

  CDlgXYOrigin origin;
  origin.xMinimum = data.xMinimum;
  origin.yMinimum = data.yMinimum;
  origin.xMaximum = data.xMaximum;
  origin.yMaximum = data.yMaximum;
  origin.maxData = 0.0f;
  if (!c.ui.RunDialog(origin)) return CommandStatus::Canceled;

  const float xMinimum = static_cast<float>(origin.xMinimum), yMinimum = static_cast<float>(origin.yMinimum);
  const float xMaximum = static_cast<float>(origin.xMaximum), yMaximum = static_cast<float>(origin.yMaximum);
  const float W = xMaximum - xMinimum;
  const float H = yMaximum - yMinimum;
  if (!std::isfinite(W) || !std::isfinite(H) || !(W > 0.0f) || !(H > 0.0f)) {
    c.ui.Message(fmt::sprintf(
        "Cannot interpolate: the area is empty (X from %g to %g, Y from %g to %g). "
        "The maximum must be larger than the minimum in both X and Y.",
        origin.xMinimum, origin.xMaximum, origin.yMinimum, origin.yMaximum));
    return CommandStatus::Failed;
  }
  const float savedRanges[4] = {data.xMinimum, data.yMinimum, data.xMaximum, data.yMaximum};
  data.xMinimum = xMinimum;
  data.yMinimum = yMinimum;
  data.xMaximum = xMaximum;
  data.yMaximum = yMaximum;

  CDlgModelSize area;
  area.mode = 1;
  area.W = W;
  area.H = H;
  area.dx = area.dy = 1.0f;
  area.nx = SafeNodeCount(W, area.dx);
  area.ny = SafeNodeCount(H, area.dy);
  area.nz = 0;
  area.dz = 0.0f;
  if (!c.ui.RunDialog(area)) return CommandStatus::Canceled;

  // From here on a refusal puts the ranges back: nothing has changed.
  const float DX = area.dx, DY = area.dy;
  if (!std::isfinite(DX) || !std::isfinite(DY) || !(DX > 0.0f) || !(DY > 0.0f)) {
    RestoreRanges(data, savedRanges);
    c.ui.Message(fmt::sprintf("Cannot interpolate: DX and DY must be larger than 0 (DX=%g, DY=%g).", DX, DY));
    return CommandStatus::Failed;
  }
  const int NX = SafeNodeCount(W, DX), NY = SafeNodeCount(H, DY);
  if (NX < 2 || NY < 2 || static_cast<std::uint64_t>(NX) * static_cast<std::uint64_t>(NY) > kMaximumGridValues) {
    RestoreRanges(data, savedRanges);
    c.ui.Message(fmt::sprintf(
        "Cannot interpolate: DX=%g and DY=%g give too many nodes for an area of %g by %g. "
        "Choose a larger spacing.",
        DX, DY, W, H));
    return CommandStatus::Failed;
  }

  const std::uint64_t nodes = static_cast<std::uint64_t>(NX) * static_cast<std::uint64_t>(NY);
  const std::uint64_t needed = EstimateMinimumCurvatureBytes(NX, NY) + nodes * 2 * sizeof(float) +
                               static_cast<std::uint64_t>(data.count) * sizeof(DataPoint);
  const std::uint64_t available = AvailableMemoryBytes();
  auto refuseForMemory = [&](std::uint64_t bytes) {
    RestoreRanges(data, savedRanges);
    c.ui.Message(fmt::sprintf(
        "Cannot interpolate: a grid of %d x %d nodes needs about %s of memory to solve, "
        "more than this computer has available (%s). Choose a larger spacing.",
        NX, NY, MemoryText(bytes), MemoryText(available)));
    return CommandStatus::Failed;
  };
  auto outOfMemory = [&]() {
    RestoreRanges(data, savedRanges);
    c.ui.Message(fmt::sprintf(
        "Cannot interpolate: there was not enough memory for a grid of %d x %d nodes. "
        "The grid is unchanged.",
        NX, NY));
    return CommandStatus::Failed;
  };
  if (available != 0 && needed > available) return refuseForMemory(needed);

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
  const std::uint64_t memoryLimit = available == 0 ? 0 : available - std::min(available, nodes * 2 * sizeof(float));
  const MinimumCurvatureResult run =
      InterpolateMinimumCurvature(NX, NY, DX, DY, result.Column(0, 0), shifted.data(), data.count, kTensionWeight,
                                  kCurvatureWeight, kDataWeight, feedback.get(), memoryLimit);
  std::vector<DataPoint>().swap(shifted);
  switch (run.status) {
    case MinimumCurvatureResult::Status::Canceled:
      RestoreRanges(data, savedRanges);
      return CommandStatus::Canceled;
    case MinimumCurvatureResult::Status::OutOfMemory:
      return run.bytesNeeded != 0 ? refuseForMemory(run.bytesNeeded) : outOfMemory();
    case MinimumCurvatureResult::Status::Completed:
      break;
  }

  if (feedback) feedback->SetStage("Distances to the data");
  try {
    if (!ComputeDataDistance(result, data, feedback.get())) {
      RestoreRanges(data, savedRanges);
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
