#include "gridops/grid_sampling.h"

#include <fmt/format.h>

#include <cmath>

#include "document/random_data.h"
#include "gridops/compensated_sum.h"

namespace gridora {
namespace {

// A point this close to a node line (in spacings) is taken as on it: a target node
// computed as x0 + i*dx on another layout lands on a source node only to rounding.
constexpr double kOnLine = 1e-6;

// Splits the fractional node position f along an axis of n nodes into the cell index
// and the offset in [0, 1). False when outside [0, n-1].
bool Locate(double f, int n, int& index, double& offset) {
  if (!(f >= -kOnLine && f <= (n - 1) + kOnLine)) return false;  // also refuses NaN
  double whole = std::round(f);
  if (std::abs(f - whole) <= kOnLine) {
    f = whole;
  } else {
    whole = std::floor(f);
  }
  index = static_cast<int>(whole);
  offset = f - whole;
  if (index >= n - 1) {  // on the last node line: no cell beyond it
    index = n - 1;
    offset = 0;
  }
  return true;
}

}  // namespace

bool SampleBilinear(const GridValues& grid, double x, double y, double& value) {
  const NodeLayout& layout = grid.layout;
  int ix = 0, iy = 0;
  double t = 0, u = 0;
  if (!Locate((x - layout.x0) / layout.dx, layout.nx, ix, t)) return false;
  if (!Locate((y - layout.y0) / layout.dy, layout.ny, iy, u)) return false;
  const std::size_t k00 = layout.Index(ix, iy);
  if (!grid.HasValue(k00)) return false;
  // Only nodes with a weight above 0 are read, so a node on a line needs no value
  // beyond it, and a point on a node gives that node's value without rounding.
  if (t == 0 && u == 0) {
    value = grid.values[k00];
    return true;
  }
  if (u == 0) {
    const std::size_t k10 = k00 + layout.ny;
    if (!grid.HasValue(k10)) return false;
    value = (1 - t) * grid.values[k00] + t * grid.values[k10];
    return true;
  }
  if (t == 0) {
    const std::size_t k01 = k00 + 1;
    if (!grid.HasValue(k01)) return false;
    value = (1 - u) * grid.values[k00] + u * grid.values[k01];
    return true;
  }
  const std::size_t k10 = k00 + layout.ny;
  const std::size_t k01 = k00 + 1;
  const std::size_t k11 = k10 + 1;
  if (!grid.HasValue(k10) || !grid.HasValue(k01) || !grid.HasValue(k11)) return false;
  value = (1 - t) * (1 - u) * grid.values[k00] + t * (1 - u) * grid.values[k10] + (1 - t) * u * grid.values[k01] +
          t * u * grid.values[k11];
  return true;
}

bool ComputeResiduals(const GridValues& grid, std::span<const DataPoint> points, ResidualReport& report,
                      std::string& problem) {
  problem = CheckGridValues(grid, "The grid");
  if (!problem.empty()) return false;
  ResidualReport result;
  result.points.reserve(points.size());
  CompensatedSum sum, sumOfSquares;
  for (const DataPoint& point : points) {
    if (!std::isfinite(point.x) || !std::isfinite(point.y) || !std::isfinite(point.z)) {
      ++result.notFinite;
      continue;
    }
    double value = 0;
    if (!SampleBilinear(grid, point.x, point.y, value)) {
      // Inside the rectangle means the sampling failed at an empty node.
      const NodeLayout& layout = grid.layout;
      const double fx = (point.x - layout.x0) / layout.dx, fy = (point.y - layout.y0) / layout.dy;
      const bool inside =
          fx >= -kOnLine && fx <= layout.nx - 1 + kOnLine && fy >= -kOnLine && fy <= layout.ny - 1 + kOnLine;
      ++(inside ? result.atEmptyNodes : result.outside);
      continue;
    }
    PointResidual residual{point.x, point.y, point.z, value, point.z - value};
    sum.Add(residual.residual);
    sumOfSquares.Add(residual.residual * residual.residual);
    result.points.push_back(residual);
  }
  if (!result.points.empty()) {
    const double count = static_cast<double>(result.points.size());
    result.mean = sum.Total() / count;
    result.rms = std::sqrt(sumOfSquares.Total() / count);
  }
  report = std::move(result);
  return true;
}

std::string ResidualsCsv(const ResidualReport& report) {
  std::string text = "x,y,observed,grid,residual\r\n";
  for (const PointResidual& p : report.points)
    text += fmt::format("{:.17g},{:.17g},{:.17g},{:.17g},{:.17g}\r\n", p.x, p.y, p.observed, p.grid, p.residual);
  return text;
}

}  // namespace gridora
