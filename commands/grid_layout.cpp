#include "commands/grid_layout.h"

#include <fmt/printf.h>

#include <algorithm>
#include <cmath>

#include "dialogs/dialogs.h"
#include "document/grid_labels.h"
#include "platform/count_text.h"
#include "platform/user_interface.h"
#include "view/document.h"

namespace gridora {
namespace {

void SetRangesToCorners(RandomData& points, const GridCorners& corners) {
  points.xMinimum = corners.xMinimum;
  points.yMinimum = corners.yMinimum;
  points.xMaximum = corners.xMaximum;
  points.yMaximum = corners.yMaximum;
}

float ProposedSpacing(const SpacingProposal& proposal, float W, float H) {
  if (!proposal.atMostTenthOfExtent) return proposal.spacing;
  const float spacing = std::min(proposal.spacing, static_cast<float>(W * 0.1));
  return std::min(spacing, static_cast<float>(H * 0.1));
}

AskedGrid Refused(UserInterface& ui, const std::string& text) {
  ui.Message(text);
  return {CommandStatus::Failed, {}};
}

}  // namespace

int SafeNodeCount(float extent, float spacing) {
  const double quotient = static_cast<double>(extent) / static_cast<double>(spacing);
  if (!(quotient < static_cast<double>(kMaximumGridValues) / 2.0)) return 0;
  return NodeCountForExtent(extent, spacing);
}

void HandOverGrid(GridModel& grid, RandomData& points, const GridCorners& corners, GridModel& result) {
  const int oldNX = grid.NX, oldNY = grid.NY;
  grid.SetLayout(result.Layout());
  grid.layerCount = result.layerCount;
  grid.values.swap(result.values);
  grid.dataDistance.swap(result.dataDistance);
  grid.emptyNodes.swap(result.emptyNodes);
  grid.layerMinimum.swap(result.layerMinimum);
  grid.layerMaximum.swap(result.layerMaximum);
  DropLabelsIfShapeChanged(grid, oldNX, oldNY);
  SetRangesToCorners(points, corners);
}

AskedGrid AskGridLayout(CommandContext& c, const SpacingProposal& proposal, const LayoutRefusal& memoryRefusal) {
  RandomData& data = *c.doc.primaryData;

  GridOriginDialog origin;
  origin.xMinimum = data.xMinimum;
  origin.yMinimum = data.yMinimum;
  origin.xMaximum = data.xMaximum;
  origin.yMaximum = data.yMaximum;
  origin.maxData = 0.0f;
  if (!c.ui.RunDialog(origin)) return {CommandStatus::Canceled, {}};

  // The corners as typed; the extents and node counts in single precision, as the
  // dialogs have always counted.
  const GridCorners corners{origin.xMinimum, origin.yMinimum, origin.xMaximum, origin.yMaximum};
  const float W = static_cast<float>(origin.xMaximum) - static_cast<float>(origin.xMinimum);
  const float H = static_cast<float>(origin.yMaximum) - static_cast<float>(origin.yMinimum);
  if (!std::isfinite(W) || !std::isfinite(H) || !(W > 0.0f) || !(H > 0.0f)) {
    return Refused(c.ui, fmt::sprintf("Cannot interpolate: the area is empty (X from %g to %g, Y from %g to %g). "
                                      "The maximum must be larger than the minimum in both X and Y.",
                                      origin.xMinimum, origin.xMaximum, origin.yMinimum, origin.yMaximum));
  }

  const float proposed = ProposedSpacing(proposal, W, H);
  GridSpacingDialog area;
  area.mode = 1;
  area.W = W;
  area.H = H;
  area.dx = area.dy = proposed;
  area.nx = proposed > 0.0f ? SafeNodeCount(W, proposed) : 0;
  area.ny = proposed > 0.0f ? SafeNodeCount(H, proposed) : 0;
  area.nz = 0;
  area.dz = 0.0f;
  area.mostNodes = kMaximumGridValues;
  if (memoryRefusal) {
    area.layoutCheck = [&](double dx, double dy) -> std::optional<std::string> {
      if (!std::isfinite(dx) || !std::isfinite(dy) || !(dx > 0.0) || !(dy > 0.0)) return std::nullopt;
      const int nx = SafeNodeCount(W, static_cast<float>(dx)), ny = SafeNodeCount(H, static_cast<float>(dy));
      const std::uint64_t nodes = static_cast<std::uint64_t>(nx) * static_cast<std::uint64_t>(ny);
      // Layouts the command refuses for their node counts keep that message.
      if (nx < 2 || ny < 2 || nodes > kMaximumGridValues || nodes > kMaximumComputedNodes) return std::nullopt;
      return memoryRefusal(NodeLayout{corners.xMinimum, corners.yMinimum, dx, dy, nx, ny});
    };
    area.notice = area.Validate().value_or(std::string());
  }
  if (!c.ui.RunDialog(area)) return {CommandStatus::Canceled, {}};

  const double DX = area.dx, DY = area.dy;
  if (!std::isfinite(DX) || !std::isfinite(DY) || !(DX > 0.0) || !(DY > 0.0))
    return Refused(c.ui, fmt::sprintf("Cannot interpolate: DX and DY must be larger than 0 (DX=%g, DY=%g).", DX, DY));
  const int NX = SafeNodeCount(W, static_cast<float>(DX)), NY = SafeNodeCount(H, static_cast<float>(DY));
  if (NX < 2 || NY < 2 || static_cast<std::uint64_t>(NX) * static_cast<std::uint64_t>(NY) > kMaximumGridValues) {
    return Refused(c.ui,
                   fmt::sprintf("Cannot interpolate: DX=%g and DY=%g give too many nodes for an area of %g by %g. "
                                "Choose a larger spacing.",
                                DX, DY, W, H));
  }
  if (const std::uint64_t nodes = static_cast<std::uint64_t>(NX) * static_cast<std::uint64_t>(NY);
      nodes > kMaximumComputedNodes) {
    return Refused(c.ui, fmt::sprintf("Cannot interpolate: DX=%g and DY=%g give a grid of %d x %d nodes (%s), more "
                                      "than the %s nodes a computed grid may have. Choose a larger spacing or a "
                                      "smaller area.",
                                      DX, DY, NX, NY, GroupedCount(nodes), GroupedCount(kMaximumComputedNodes)));
  }
  return {CommandStatus::Done, {NodeLayout{corners.xMinimum, corners.yMinimum, DX, DY, NX, NY}, corners}};
}

}  // namespace gridora
