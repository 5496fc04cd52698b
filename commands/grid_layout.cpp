#include "commands/grid_layout.h"

#include <fmt/printf.h>

#include <cmath>

#include "dialogs/dialogs.h"
#include "document/grid_labels.h"
#include "platform/count_text.h"
#include "platform/user_interface.h"
#include "view/document.h"

namespace gridora {

int SafeNodeCount(float extent, float spacing) {
  const double quotient = static_cast<double>(extent) / static_cast<double>(spacing);
  if (!(quotient < static_cast<double>(kMaximumGridValues) / 2.0)) return 0;
  return NodeCountForExtent(extent, spacing);
}

void RestoreRanges(RandomData& data, const GridLayout& layout) {
  data.xMinimum = layout.savedRanges[0];
  data.yMinimum = layout.savedRanges[1];
  data.xMaximum = layout.savedRanges[2];
  data.yMaximum = layout.savedRanges[3];
}

void CommitGrid(GridModel& grid, GridModel& result) {
  const int oldNX = grid.NX, oldNY = grid.NY;
  grid.x0 = result.x0;
  grid.y0 = result.y0;
  grid.DX = result.DX;
  grid.DY = result.DY;
  grid.layerCount = result.layerCount;
  grid.NX = result.NX;
  grid.NY = result.NY;
  grid.values.swap(result.values);
  grid.dataDistance.swap(result.dataDistance);
  grid.emptyNodes.swap(result.emptyNodes);
  grid.layerMinimum.swap(result.layerMinimum);
  grid.layerMaximum.swap(result.layerMaximum);
  DropLabelsIfShapeChanged(grid, oldNX, oldNY);
}

GridLayoutResult AskGridLayout(CommandContext& c, const std::function<float(float W, float H)>& proposeSpacing,
                               GridLayout& layout) {
  RandomData& data = *c.doc.primaryData;

  GridOriginDialog origin;
  origin.xMinimum = data.xMinimum;
  origin.yMinimum = data.yMinimum;
  origin.xMaximum = data.xMaximum;
  origin.yMaximum = data.yMaximum;
  origin.maxData = 0.0f;
  if (!c.ui.RunDialog(origin)) return GridLayoutResult::Canceled;

  const float xMinimum = static_cast<float>(origin.xMinimum), yMinimum = static_cast<float>(origin.yMinimum);
  const float xMaximum = static_cast<float>(origin.xMaximum), yMaximum = static_cast<float>(origin.yMaximum);
  const float W = xMaximum - xMinimum;
  const float H = yMaximum - yMinimum;
  if (!std::isfinite(W) || !std::isfinite(H) || !(W > 0.0f) || !(H > 0.0f)) {
    c.ui.Message(
        fmt::sprintf("Cannot interpolate: the area is empty (X from %g to %g, Y from %g to %g). "
                     "The maximum must be larger than the minimum in both X and Y.",
                     origin.xMinimum, origin.xMaximum, origin.yMinimum, origin.yMaximum));
    return GridLayoutResult::Refused;
  }
  layout.savedRanges[0] = data.xMinimum;
  layout.savedRanges[1] = data.yMinimum;
  layout.savedRanges[2] = data.xMaximum;
  layout.savedRanges[3] = data.yMaximum;
  data.xMinimum = xMinimum;
  data.yMinimum = yMinimum;
  data.xMaximum = xMaximum;
  data.yMaximum = yMaximum;

  const float proposed = proposeSpacing(W, H);
  GridSpacingDialog area;
  area.mode = 1;
  area.W = W;
  area.H = H;
  area.dx = area.dy = proposed;
  area.nx = proposed > 0.0f ? SafeNodeCount(W, area.dx) : 0;
  area.ny = proposed > 0.0f ? SafeNodeCount(H, area.dy) : 0;
  area.nz = 0;
  area.dz = 0.0f;
  area.mostNodes = kMaximumGridValues;
  if (!c.ui.RunDialog(area)) return GridLayoutResult::Canceled;

  // From here on a refusal puts the ranges back: nothing has changed.
  const float DX = area.dx, DY = area.dy;
  if (!std::isfinite(DX) || !std::isfinite(DY) || !(DX > 0.0f) || !(DY > 0.0f)) {
    RestoreRanges(data, layout);
    c.ui.Message(fmt::sprintf("Cannot interpolate: DX and DY must be larger than 0 (DX=%g, DY=%g).", DX, DY));
    return GridLayoutResult::Refused;
  }
  const int NX = SafeNodeCount(W, DX), NY = SafeNodeCount(H, DY);
  if (NX < 2 || NY < 2 || static_cast<std::uint64_t>(NX) * static_cast<std::uint64_t>(NY) > kMaximumGridValues) {
    RestoreRanges(data, layout);
    c.ui.Message(
        fmt::sprintf("Cannot interpolate: DX=%g and DY=%g give too many nodes for an area of %g by %g. "
                     "Choose a larger spacing.",
                     DX, DY, W, H));
    return GridLayoutResult::Refused;
  }
  if (const std::uint64_t nodes = static_cast<std::uint64_t>(NX) * static_cast<std::uint64_t>(NY);
      nodes > kMaximumComputedNodes) {
    RestoreRanges(data, layout);
    c.ui.Message(fmt::sprintf(
        "Cannot interpolate: DX=%g and DY=%g give a grid of %d x %d nodes (%s), more than the %s nodes a computed "
        "grid may have. Choose a larger spacing or a smaller area.",
        DX, DY, NX, NY, GroupedCount(nodes), GroupedCount(kMaximumComputedNodes)));
    return GridLayoutResult::Refused;
  }
  layout.xMinimum = xMinimum;
  layout.yMinimum = yMinimum;
  layout.W = W;
  layout.H = H;
  layout.DX = DX;
  layout.DY = DY;
  layout.NX = NX;
  layout.NY = NY;
  return GridLayoutResult::Accepted;
}

}  // namespace gridora
