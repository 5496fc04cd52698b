#include "gridders/nearest_point.h"

#include <fmt/format.h>

#include <cmath>
#include <limits>
#include <vector>

#include "gridders/column_blocks.h"
#include "gridders/point_tree.h"

namespace gridora {

GridderResult GridByNearestPoint(std::span<const DataPoint> points, const NodeLayout& layout,
                                 const NearestOptions& options, float* values, std::uint8_t* empty,
                                 Feedback* feedback) {
  GridderResult refused;
  refused.problem = LayoutProblem(layout, values, empty);
  if (refused.problem.empty() && (!std::isfinite(options.radius) || options.radius < 0.0))
    refused.problem = fmt::format("The search radius ({}) must be a number of at least 0.", options.radius);
  if (!refused.problem.empty()) {
    refused.status = GridderResult::Status::Invalid;
    return refused;
  }
  std::vector<DataPoint> storage;
  const std::span<const DataPoint> data = FinitePoints(points, storage);
  const PointTree tree(data);
  const double squaredRadius =
      options.radius > 0.0 ? options.radius * options.radius : std::numeric_limits<double>::infinity();

  struct Workspace {
    std::vector<PointTree::Found> found;
  };
  return FillColumns<Workspace>(layout, values, empty, feedback, kGridderTreeNodeCost,
                                [&](int ix, Workspace& work, float* column, std::uint8_t* marks) {
                                  std::size_t emptyNodes = 0;
                                  const double x = layout.X(ix);
                                  for (int iy = 0; iy < layout.ny; ++iy) {
                                    const double y = layout.Y(iy);
                                    work.found.clear();
                                    if (std::isfinite(x) && std::isfinite(y))
                                      tree.Nearest(x, y, 1, squaredRadius, work.found);
                                    // A value beyond the float range would be stored as an infinity.
                                    const float value =
                                        work.found.empty() ? 0.0f : static_cast<float>(data[work.found[0].index].z);
                                    const bool ok = !work.found.empty() && std::isfinite(value);
                                    column[iy] = ok ? value : 0.0f;
                                    marks[iy] = ok ? 0 : 1;
                                    emptyNodes += ok ? 0 : 1;
                                  }
                                  return emptyNodes;
                                });
}

}  // namespace gridora
