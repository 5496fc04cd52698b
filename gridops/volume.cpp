#include "gridops/volume.h"

#include <fmt/format.h>

#include <array>
#include <cmath>
#include <cstddef>
#include <utility>
#include <vector>

#include "gridops/compensated_sum.h"

namespace gridora {
namespace {

constexpr std::array<std::pair<VolumeMethod, std::string_view>, 3> kMethodNames = {{
    {VolumeMethod::kTrapezoid, "trapezoid"},
    {VolumeMethod::kSimpson, "simpson"},
    {VolumeMethod::kSimpson38, "simpson38"},
}};

// Adds the rule `pattern` * scale on the nodes first .. first + pattern.size() - 1.
template <std::size_t N>
void AddRule(std::vector<double>& weights, int first, const std::array<double, N>& pattern, double scale) {
  for (std::size_t k = 0; k < N; ++k) weights[first + k] += pattern[k] * scale;
}

// The weights of one axis of n nodes with spacing h (see the header for each method).
std::vector<double> AxisWeights(VolumeMethod method, int n, double h) {
  std::vector<double> weights(n, 0.0);
  const int intervals = n - 1;
  if (intervals <= 0) return weights;
  const std::array<double, 2> trapezoid = {1, 1};
  const std::array<double, 3> simpson = {1, 4, 1};
  const std::array<double, 4> threeEighths = {1, 3, 3, 1};
  switch (method) {
    case VolumeMethod::kTrapezoid:
      for (int i = 0; i < intervals; ++i) AddRule(weights, i, trapezoid, h / 2);
      break;
    case VolumeMethod::kSimpson: {
      if (intervals == 1) {
        AddRule(weights, 0, trapezoid, h / 2);
        break;
      }
      const int simpsonIntervals = intervals % 2 == 0 ? intervals : intervals - 3;
      for (int i = 0; i < simpsonIntervals; i += 2) AddRule(weights, i, simpson, h / 3);
      if (simpsonIntervals < intervals) AddRule(weights, simpsonIntervals, threeEighths, 3 * h / 8);
      break;
    }
    case VolumeMethod::kSimpson38: {
      const int remainder = intervals % 3;
      const int ruleIntervals = intervals - remainder;
      for (int i = 0; i < ruleIntervals; i += 3) AddRule(weights, i, threeEighths, 3 * h / 8);
      if (remainder == 1) AddRule(weights, ruleIntervals, trapezoid, h / 2);
      if (remainder == 2) AddRule(weights, ruleIntervals, simpson, h / 3);
      break;
    }
  }
  return weights;
}

// The four sums of one column (or of the whole grid), each compensated.
struct Sums {
  CompensatedSum positive, negative, areaPositive, areaNegative;

  void AddNode(double weight, double difference) {
    if (difference > 0) {
      positive.Add(weight * difference);
      areaPositive.Add(weight);
    } else if (difference < 0) {
      negative.Add(-weight * difference);
      areaNegative.Add(weight);
    }
  }
};

struct ColumnTotals {
  double positive = 0, negative = 0, areaPositive = 0, areaNegative = 0;
};

// The volume over the nodes; lowerAt(k) is the level at node k, valid(k) whether node k
// has a value in both surfaces. allValid: no node is empty (the weights are then the
// product of the axis weights).
template <typename LowerAt, typename Valid>
VolumeResult Integrate(const GridValues& grid, VolumeMethod method, bool allValid, LowerAt lowerAt, Valid valid) {
  const NodeLayout& layout = grid.layout;
  const std::vector<double> wx = AxisWeights(method, layout.nx, layout.dx);
  const std::vector<double> wy = AxisWeights(method, layout.ny, layout.dy);
  std::vector<ColumnTotals> columns(layout.nx);
  const int nx = layout.nx, ny = layout.ny;
  // With empty nodes (trapezoid only): a cell counts when its four corners are valid.
  auto cellComplete = [&](int cx, int cy) {
    if (cx < 0 || cy < 0 || cx >= nx - 1 || cy >= ny - 1) return false;
    const std::size_t k = layout.Index(cx, cy);
    return valid(k) && valid(k + 1) && valid(k + ny) && valid(k + ny + 1);
  };
  const double quarterCell = layout.dx * layout.dy / 4;
#pragma omp parallel for schedule(static) if (layout.NodeCount() >= kParallelNodes)
  for (int ix = 0; ix < nx; ++ix) {
    Sums sums;
    const std::size_t column = layout.Index(ix, 0);
    if (allValid) {
      // The column's sums with the y weights; the x weight multiplies the totals.
      for (int iy = 0; iy < ny; ++iy) {
        const std::size_t k = column + iy;
        sums.AddNode(wy[iy], static_cast<double>(grid.values[k]) - lowerAt(k));
      }
      const ColumnTotals totals{sums.positive.Total(), sums.negative.Total(), sums.areaPositive.Total(),
                                sums.areaNegative.Total()};
      columns[ix] = {totals.positive * wx[ix], totals.negative * wx[ix], totals.areaPositive * wx[ix],
                     totals.areaNegative * wx[ix]};
      continue;
    }
    for (int iy = 0; iy < ny; ++iy) {
      const std::size_t k = column + iy;
      if (!valid(k)) continue;
      const int cells =
          cellComplete(ix - 1, iy - 1) + cellComplete(ix, iy - 1) + cellComplete(ix - 1, iy) + cellComplete(ix, iy);
      if (cells == 0) continue;
      sums.AddNode(cells * quarterCell, static_cast<double>(grid.values[k]) - lowerAt(k));
    }
    columns[ix] = {sums.positive.Total(), sums.negative.Total(), sums.areaPositive.Total(), sums.areaNegative.Total()};
  }
  Sums total;
  for (const ColumnTotals& c : columns) {
    total.positive.Add(c.positive);
    total.negative.Add(c.negative);
    total.areaPositive.Add(c.areaPositive);
    total.areaNegative.Add(c.areaNegative);
  }
  VolumeResult result;
  result.positive = total.positive.Total();
  result.negative = total.negative.Total();
  result.net = result.positive - result.negative;
  result.areaPositive = total.areaPositive.Total();
  result.areaNegative = total.areaNegative.Total();
  return result;
}

std::string RefuseSimpson(VolumeMethod method, std::size_t emptyCount) {
  return fmt::format(
      "The {} method needs a value at every node, and {} nodes have none: use the trapezoid method, which "
      "leaves out the cells around them.",
      VolumeMethodName(method), emptyCount);
}

}  // namespace

std::string_view VolumeMethodName(VolumeMethod method) {
  for (const auto& [m, name] : kMethodNames)
    if (m == method) return name;
  return "trapezoid";
}

bool ParseVolumeMethod(std::string_view name, VolumeMethod& method) {
  for (const auto& [m, known] : kMethodNames) {
    if (known == name) {
      method = m;
      return true;
    }
  }
  return false;
}

bool ComputeVolume(const GridValues& grid, double level, VolumeMethod method, VolumeResult& result,
                   std::string& problem) {
  problem = CheckGridValues(grid, "The grid");
  if (problem.empty() && !std::isfinite(level)) problem = "The level is not a number.";
  if (!problem.empty()) return false;
  const std::size_t emptyCount = CountEmptyNodes(grid);
  if (emptyCount > 0 && method != VolumeMethod::kTrapezoid) {
    problem = RefuseSimpson(method, emptyCount);
    return false;
  }
  result = Integrate(
      grid, method, emptyCount == 0, [level](std::size_t) { return level; },
      [&grid](std::size_t k) { return grid.HasValue(k); });
  return true;
}

bool ComputeVolume(const GridValues& grid, const GridValues& lower, VolumeMethod method, VolumeResult& result,
                   std::string& problem) {
  problem = CheckGridValues(grid, "The grid");
  if (problem.empty()) problem = CheckGridValues(lower, "The lower surface");
  if (problem.empty()) problem = CheckSameNodes(grid.layout, lower.layout, "The lower surface");
  if (!problem.empty()) return false;
  auto valid = [&grid, &lower](std::size_t k) { return grid.HasValue(k) && lower.HasValue(k); };
  std::size_t emptyCount = 0;
  const std::size_t count = grid.layout.NodeCount();
  for (std::size_t k = 0; k < count; ++k) emptyCount += valid(k) ? 0 : 1;
  if (emptyCount > 0 && method != VolumeMethod::kTrapezoid) {
    problem = RefuseSimpson(method, emptyCount);
    return false;
  }
  result = Integrate(
      grid, method, emptyCount == 0, [&lower](std::size_t k) { return static_cast<double>(lower.values[k]); }, valid);
  return true;
}

std::string VolumeCsv(VolumeMethod method, const VolumeResult& result) {
  return fmt::format(
      "method,positive,negative,net,area_positive,area_negative\r\n{},{:.17g},{:.17g},{:.17g},{:.17g},{:.17g}\r\n",
      VolumeMethodName(method), result.positive, result.negative, result.net, result.areaPositive, result.areaNegative);
}

}  // namespace gridora
