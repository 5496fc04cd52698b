#include "commands/gridding_run.h"

#include <fmt/printf.h>

#include <memory>
#include <new>

#include "gridops/grid_summary.h"
#include "platform/feedback.h"
#include "platform/memory_budget.h"
#include "platform/profile.h"
#include "platform/user_interface.h"
#include "platform/view_host.h"
#include "view/document.h"

namespace gridora {

std::string GridOutOfMemoryText(const GridLayout& layout) {
  return fmt::sprintf(
      "Cannot interpolate: there was not enough memory for a grid of %d x %d nodes. The grid is unchanged.", layout.NX,
      layout.NY);
}

CommandStatus RunGridding(CommandContext& c, const GriddingMethod& method) {
  RandomData& data = *c.doc.primaryData;
  GridLayout layout;
  switch (AskGridLayout(c, method.proposeSpacing, layout)) {
    case GridLayoutResult::Canceled: return CommandStatus::Canceled;
    case GridLayoutResult::Refused: return CommandStatus::Failed;
    case GridLayoutResult::Accepted: break;
  }
  auto refuse = [&](const std::string& text) {
    RestoreRanges(data, layout);
    c.ui.Message(text);
    return CommandStatus::Failed;
  };

  const std::optional<std::uint64_t> spare = SpareMemoryNow();
  const std::uint64_t needed = method.bytesNeeded(layout, spare);
  if (spare && needed > *spare) return refuse(method.memoryRefusal(layout, needed, *spare));

  // The new grid is computed aside and moved into the document at the end.
  GridModel result;
  result.x0 = layout.xMinimum;
  result.y0 = layout.yMinimum;
  result.DX = layout.DX;
  result.DY = layout.DY;
  result.layerCount = method.layerCount;
  result.NX = layout.NX;
  result.NY = layout.NY;
  if (!result.AllocateGrid()) return refuse(GridOutOfMemoryText(layout));

  std::unique_ptr<Feedback> feedback = c.ui.BeginProgress(method.progressTitle);
  const GriddingOutcome outcome = method.fill(GriddingRun{layout, spare, feedback.get()}, result);
  switch (outcome.status) {
    case CommandStatus::Canceled: RestoreRanges(data, layout); return CommandStatus::Canceled;
    case CommandStatus::Failed: return refuse(outcome.message);
    case CommandStatus::Done: break;
  }

  if (feedback) feedback->SetStage("Distances to the data");
  try {
    if (!ComputeDataDistance(result, data, feedback.get())) {
      RestoreRanges(data, layout);
      return CommandStatus::Canceled;
    }
  } catch (const std::bad_alloc&) {
    return refuse(GridOutOfMemoryText(layout));
  }
  result.ComputeLayerRange(0);
  feedback.reset();

  if (method.beforeCommit) method.beforeCommit();
  CommitGrid(*c.doc.grid, result);
  WriteProfileFloat(c.profile, "CellSizeXOrg", layout.DX);
  WriteProfileFloat(c.profile, "CellSizeYOrg", layout.DY);
  method.finish(c);
  c.doc.mapBitmapDirty = 1;
  c.view.UpdateAllViews();
  return CommandStatus::Done;
}

}  // namespace gridora
