#include "commands/gridding_run.h"

#include <fmt/printf.h>

#include <memory>
#include <new>
#include <optional>

#include "gridops/grid_summary.h"
#include "platform/feedback.h"
#include "platform/memory_budget.h"
#include "platform/profile.h"
#include "platform/user_interface.h"
#include "platform/view_host.h"
#include "surface/minimum_curvature.h"
#include "surface/serial_parallel_regions.h"
#include "view/document.h"

namespace gridora {
namespace {

// The grid aside (its layers and distances) and, for minimum curvature, the solver and
// the points shifted to the origin.
std::uint64_t BytesNeeded(const GriddingMethod& method, const NodeLayout& layout, int pointCount,
                          std::optional<std::uint64_t> spare) {
  const std::uint64_t nodes = layout.NodeCount();
  std::uint64_t bytes = nodes * static_cast<std::uint64_t>(method.layerCount + 1) * sizeof(float);
  if (method.surface)
    bytes += EstimateGriddingBytes(layout.nx, layout.ny, *method.surface, spare.value_or(0)) +
             static_cast<std::uint64_t>(pointCount) * sizeof(DataPoint);
  return bytes;
}

// Why the layout cannot be computed in the memory that is spare now; nothing when it can
// (or the spare memory is not known).
std::optional<std::string> MemoryRefusal(const GriddingMethod& method, const NodeLayout& layout, int pointCount,
                                         std::optional<std::uint64_t> spare) {
  const std::uint64_t needed = BytesNeeded(method, layout, pointCount, spare);
  if (spare && needed > *spare) return GridMemoryRefusalText(layout, needed, *spare, method.surface != nullptr);
  return std::nullopt;
}

// The new grid's shape and storage, apart from the document's. False: no memory.
bool AllocateAside(GridModel& result, const NodeLayout& layout, int layerCount) {
  result.SetLayout(layout);
  result.layerCount = layerCount;
  return result.AllocateGrid();
}

// The distances from every node to the nearest point (gridops/grid_summary.h).
GriddingOutcome DistancesToTheData(GridModel& result, const RandomData& data, Feedback* feedback) {
  if (feedback) feedback->SetStage("Distances to the data");
  // With no core to spare the search keeps to this thread (as the minimum curvature
  // does, surface/minimum_curvature.cpp); the distances are exact either way.
  std::optional<SerialParallelRegions> serial;
  if (IdleCores() < 2) serial.emplace();
  try {
    if (!ComputeDataDistance(result, data, result.x0, result.y0, feedback)) return {CommandStatus::Canceled, {}};
  } catch (const std::bad_alloc&) {
    return {CommandStatus::Failed, GridOutOfMemoryText(result.Layout())};
  }
  return {};
}

// Shows a refusal; a cancel needs no word.
CommandStatus Ended(CommandContext& c, const GriddingOutcome& outcome) {
  if (outcome.status == CommandStatus::Failed) c.ui.Message(outcome.message);
  return outcome.status;
}

}  // namespace

std::string GridOutOfMemoryText(const NodeLayout& layout) {
  return fmt::sprintf(
      "Cannot interpolate: there was not enough memory for a grid of %d x %d nodes. The grid is unchanged.", layout.nx,
      layout.ny);
}

std::string GridMemoryRefusalText(const NodeLayout& layout, std::uint64_t needed, std::uint64_t spare, bool solving) {
  return fmt::sprintf(
      "Cannot interpolate: a grid of %d x %d nodes needs about %s of memory%s, more than the %s this computer can "
      "spare now. Choose a larger spacing.",
      layout.nx, layout.ny, NeededMemoryText(needed), solving ? " to solve" : "", SpareMemoryText(spare));
}

GriddingOutcome RunGridding(CommandContext& c, const GriddingMethod& method) {
  RandomData& data = *c.doc.primaryData;
  // The area dialog refuses a spacing the memory cannot hold before OK; the check is
  // made again after it, as the spare memory may have changed.
  const AskedGrid asked = AskGridLayout(c, method.spacing, [&](const NodeLayout& layout) {
    return MemoryRefusal(method, layout, data.count, SpareMemoryNow());
  });
  if (asked.status != CommandStatus::Done) return {asked.status, {}};
  const NodeLayout& layout = asked.request.nodes;

  const std::optional<std::uint64_t> spare = SpareMemoryNow();
  if (auto refusal = MemoryRefusal(method, layout, data.count, spare))
    return {Ended(c, {CommandStatus::Failed, *refusal}), {}};

  GridModel result;
  if (!AllocateAside(result, layout, method.layerCount))
    return {Ended(c, {CommandStatus::Failed, GridOutOfMemoryText(layout)}), {}};

  std::unique_ptr<Feedback> feedback = c.ui.BeginProgress(method.progressTitle);
  const GriddingOutcome filled = method.fill(GriddingRun{layout, spare, feedback.get()}, result);
  if (filled.status != CommandStatus::Done) return {Ended(c, filled), {}};
  const GriddingOutcome distances = DistancesToTheData(result, data, feedback.get());
  if (distances.status != CommandStatus::Done) return {Ended(c, distances), {}};
  result.ComputeLayerRange(0);
  feedback.reset();

  HandOverGrid(*c.doc.grid, data, asked.request.corners, result);
  WriteProfileFloat(c.profile, "CellSizeXOrg", static_cast<float>(layout.dx));
  WriteProfileFloat(c.profile, "CellSizeYOrg", static_cast<float>(layout.dy));
  return filled;
}

void ShowNewGrid(CommandContext& c) {
  c.doc.mapBitmapDirty = 1;
  c.view.UpdateAllViews();
}

}  // namespace gridora
