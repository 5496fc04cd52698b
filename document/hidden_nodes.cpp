#include "document/hidden_nodes.h"

#include "document/convex_hull.h"
#include "document/grid_model.h"

namespace gridora {

HiddenNodes::HiddenNodes(const GridModel& grid) : grid_(grid) {
  hideFar_ = grid.hideFarNodes == 1 && grid.dataDistance.size() == grid.NodeCount();
  withoutEstimate_ = !grid.emptyNodes.empty() && grid.emptyNodes.size() == grid.NodeCount();
  if (grid.blankOutsideHull != 1 || grid.NX < 1 || grid.NY < 1) return;
  outsideHull_.assign(grid.NodeCount(), 0);
  const double distance = grid.hullDistance;
  for (int ix = 0; ix < grid.NX; ++ix) {
    const double x = static_cast<double>(static_cast<float>(ix) * grid.DX + grid.x0);
    for (int iy = 0; iy < grid.NY; ++iy) {
      const double y = static_cast<double>(static_cast<float>(iy) * grid.DY + grid.y0);
      if (!WithinHull(grid.dataHull, x, y, distance)) outsideHull_[static_cast<std::size_t>(ix) * grid.NY + iy] = 1;
    }
  }
}

bool HiddenNodes::Hidden(int ix, int iy) const {
  if (withoutEstimate_ && grid_.emptyNodes[static_cast<std::size_t>(ix) * grid_.NY + iy] != 0) return true;
  if (hideFar_ && grid_.Distance(ix, iy) > grid_.maxDistance) return true;
  return !outsideHull_.empty() && outsideHull_[static_cast<std::size_t>(ix) * grid_.NY + iy] != 0;
}

std::vector<std::uint8_t> HiddenNodes::Mask() const {
  std::vector<std::uint8_t> mask;
  if (!Any()) return mask;
  mask.assign(grid_.NodeCount(), 0);
  for (int ix = 0; ix < grid_.NX; ++ix)
    for (int iy = 0; iy < grid_.NY; ++iy)
      if (Hidden(ix, iy)) mask[static_cast<std::size_t>(ix) * grid_.NY + iy] = 1;
  return mask;
}

}  // namespace gridora
