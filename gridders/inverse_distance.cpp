#include "gridders/inverse_distance.h"

#include <fmt/format.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <vector>

#include "gridders/column_blocks.h"
#include "gridders/point_tree.h"

namespace gridora {
namespace {

std::string OptionsProblem(const IdwOptions& options) {
  if (!std::isfinite(options.power) || options.power < 0.0)
    return fmt::format("The power ({}) must be a number of at least 0.", options.power);
  if (!std::isfinite(options.radius) || options.radius < 0.0)
    return fmt::format("The search radius ({}) must be a number of at least 0.", options.radius);
  if (options.maxPoints < 0) return fmt::format("The number of points ({}) must not be negative.", options.maxPoints);
  if (options.minPoints < 0)
    return fmt::format("The minimum number of points ({}) must not be negative.", options.minPoints);
  if (options.maxPoints > 0 && options.minPoints > options.maxPoints)
    return fmt::format("The minimum number of points ({}) is more than the number used ({}).", options.minPoints,
                       options.maxPoints);
  return {};
}

// The weights relative to the nearest point's, (d_min / d_i)^power, all at most 1: the
// same quotient as 1 / d_i^power, without its overflow for points very near the node.
class Weight {
 public:
  explicit Weight(double power) : halfPower_(0.5 * power) {}
  double operator()(double nearestSquared, double squared) const {
    const double ratio = nearestSquared / squared;
    if (halfPower_ == 1.0) return ratio;
    if (halfPower_ == 0.5) return std::sqrt(ratio);
    return std::pow(ratio, halfPower_);
  }

 private:
  double halfPower_;
};

// The estimate from the points found, or nothing when fewer than minPoints.
std::optional<double> Estimate(const std::vector<PointTree::Found>& found, std::span<const DataPoint> points,
                               const Weight& weight, std::size_t minPoints) {
  if (found.empty() || found.size() < minPoints) return std::nullopt;
  double nearest = std::numeric_limits<double>::infinity();
  for (const PointTree::Found& f : found) nearest = std::min(nearest, f.squaredDistance);
  double sum = 0.0, weights = 0.0;
  if (nearest == 0.0) {
    for (const PointTree::Found& f : found)
      if (f.squaredDistance == 0.0) {
        sum += points[f.index].z;
        weights += 1.0;
      }
  } else {
    for (const PointTree::Found& f : found) {
      const double w = weight(nearest, f.squaredDistance);
      sum += w * points[f.index].z;
      weights += w;
    }
  }
  return sum / weights;
}

// Every point, as found: the case without radius or count.
void AllPoints(double x, double y, std::span<const DataPoint> points, std::vector<PointTree::Found>& found) {
  found.resize(points.size());
  for (std::size_t i = 0; i < points.size(); ++i) {
    const double dx = x - points[i].x, dy = y - points[i].y;
    found[i] = {static_cast<std::uint32_t>(i), dx * dx + dy * dy};
  }
}

}  // namespace

GridderResult GridByInverseDistance(std::span<const DataPoint> points, const NodeLayout& layout,
                                    const IdwOptions& options, float* values, std::uint8_t* empty, Feedback* feedback) {
  GridderResult refused;
  refused.problem = LayoutProblem(layout, values, empty);
  if (refused.problem.empty()) refused.problem = OptionsProblem(options);
  if (!refused.problem.empty()) {
    refused.status = GridderResult::Status::Invalid;
    return refused;
  }
  std::vector<DataPoint> storage;
  const std::span<const DataPoint> data = FinitePoints(points, storage);
  const bool everyPoint = options.maxPoints == 0 && options.radius == 0.0;
  std::optional<PointTree> tree;
  if (!everyPoint) tree.emplace(data);
  const double squaredRadius =
      options.radius > 0.0 ? options.radius * options.radius : std::numeric_limits<double>::infinity();
  const std::size_t minPoints = static_cast<std::size_t>(std::max(1, options.minPoints));
  const Weight weight(options.power);

  struct Workspace {
    std::vector<PointTree::Found> found;
  };
  return FillColumns<Workspace>(layout, values, empty, feedback, everyPoint ? data.size() : kGridderTreeNodeCost,
                                [&](int ix, Workspace& work, float* column, std::uint8_t* marks) {
                                  std::size_t emptyNodes = 0;
                                  const double x = layout.X(ix);
                                  for (int iy = 0; iy < layout.ny; ++iy) {
                                    const double y = layout.Y(iy);
                                    std::optional<double> z;
                                    if (std::isfinite(x) && std::isfinite(y)) {
                                      if (everyPoint)
                                        AllPoints(x, y, data, work.found);
                                      else if (options.maxPoints > 0)
                                        tree->Nearest(x, y, static_cast<std::uint32_t>(options.maxPoints),
                                                      squaredRadius, work.found);
                                      else
                                        tree->Within(x, y, squaredRadius, work.found);
                                      z = Estimate(work.found, data, weight, minPoints);
                                    }
                                    // A value beyond the float range would be stored as an infinity.
                                    const float value = z ? static_cast<float>(*z) : 0.0f;
                                    const bool ok = z && std::isfinite(value);
                                    column[iy] = ok ? value : 0.0f;
                                    marks[iy] = ok ? 0 : 1;
                                    emptyNodes += ok ? 0 : 1;
                                  }
                                  return emptyNodes;
                                });
}

}  // namespace gridora
