#include "gridops/grid_values.h"

#include <fmt/format.h>

#include <cmath>

#include "document/grid_model.h"

namespace gridora {

bool GridValues::HasValue(std::size_t index) const {
  return (empty == nullptr || empty[index] == 0) && std::isfinite(values[index]);
}

std::string CheckGridValues(const GridValues& grid, std::string_view what) {
  const NodeLayout& layout = grid.layout;
  if (layout.nx <= 0 || layout.ny <= 0) return fmt::format("{} has no nodes ({} x {}).", what, layout.nx, layout.ny);
  if (!std::isfinite(layout.x0) || !std::isfinite(layout.y0))
    return fmt::format("{} has an origin that is not a number.", what);
  if (!std::isfinite(layout.dx) || !std::isfinite(layout.dy) || layout.dx <= 0 || layout.dy <= 0)
    return fmt::format("{} has node spacings ({:g}, {:g}) that are not numbers above 0.", what, layout.dx, layout.dy);
  if (layout.NodeCount() > kMaximumGridValues)
    return fmt::format("{} has too many nodes ({} x {}).", what, layout.nx, layout.ny);
  if (grid.values == nullptr) return fmt::format("{} has no values.", what);
  return {};
}

std::string CheckSameNodes(const NodeLayout& layout, const NodeLayout& other, std::string_view what) {
  if (layout.nx != other.nx || layout.ny != other.ny)
    return fmt::format("{} has {} x {} nodes, not {} x {} as the grid.", what, other.nx, other.ny, layout.nx,
                       layout.ny);
  // Layouts that went through single precision (the document keeps float origins and
  // spacings) may differ in the last digits; a millionth of a spacing is far below
  // anything a user could mean as a shift.
  const double tolerance = 1e-6;
  const bool same = std::abs(layout.x0 - other.x0) <= tolerance * layout.dx &&
                    std::abs(layout.y0 - other.y0) <= tolerance * layout.dy &&
                    std::abs(layout.dx - other.dx) <= tolerance * layout.dx &&
                    std::abs(layout.dy - other.dy) <= tolerance * layout.dy;
  if (!same) return fmt::format("{} lies on other nodes than the grid: resample it onto the grid first.", what);
  return {};
}

std::size_t CountEmptyNodes(const GridValues& grid) {
  const std::size_t count = grid.layout.NodeCount();
  std::size_t emptyCount = 0;
  for (std::size_t k = 0; k < count; ++k) emptyCount += grid.HasValue(k) ? 0 : 1;
  return emptyCount;
}

}  // namespace gridora
