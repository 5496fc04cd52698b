#include "gridders/nearest_point.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "gridders/gridder_test_support.h"

namespace gridora {
namespace {

using test::Grid;
using test::NodeOracle;

// The first point at the least distance, by reading every point.
NodeOracle NearestOracle(const std::vector<DataPoint>& points, double radius, double x, double y) {
  NodeOracle best;
  double bestSquared = 0.0;
  for (const DataPoint& p : points) {
    const double dx = x - p.x, dy = y - p.y;
    const double squared = dx * dx + dy * dy;
    if (radius > 0.0 && squared > radius * radius) continue;
    if (!best || squared < bestSquared) best = p.z, bestSquared = squared;
  }
  return best;
}

struct NearestCase {
  std::string name;
  std::vector<DataPoint> points;
  NodeLayout layout;
  double radius;
};

TEST(NearestPoint, MatchesTheFirstNearestByReadingEveryPoint) {
  const std::vector<DataPoint> random = test::RandomPoints(60, 11);
  // Points on the integers: nodes halfway between see two or four at one distance.
  std::vector<DataPoint> lattice;
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 4; ++j) lattice.push_back({double(i), double(j), double(10 * i + j)});
  std::vector<DataPoint> twice = lattice;
  twice.insert(twice.begin(), {1.0, 1.0, -50.0});  // coincident, first: it wins
  twice.push_back({2.0, 2.0, 99.0});               // coincident, last: it loses
  const NodeLayout around{-1.5, -1.0, 0.5, 0.45, 28, 23};
  const NodeLayout halves{-0.5, -0.5, 0.5, 0.5, 9, 9};
  const std::vector<NearestCase> cases = {
      {"no limit", random, around, 0.0},
      {"radius", random, around, 0.6},
      {"lattice ties", lattice, halves, 0.0},
      {"lattice, radius exactly through points", lattice, halves, 0.5},
      {"coincident points", twice, halves, 0.0},
      {"one point", {{1.0, 2.0, 3.0}}, around, 0.0},
      {"no points", {}, around, 0.0},
  };
  for (const NearestCase& c : cases) {
    SCOPED_TRACE(c.name);
    Grid grid(c.layout);
    const GridderResult result =
        GridByNearestPoint(c.points, c.layout, {c.radius}, grid.values.data(), grid.empty.data(), nullptr);
    test::ExpectGridMatches(
        grid, result, [&](double x, double y) { return NearestOracle(c.points, c.radius, x, y); }, 0.0);
  }
}

TEST(NearestPoint, RefusesABadRadius) {
  const std::vector<DataPoint> points = test::RandomPoints(10, 2);
  const NodeLayout layout{0.0, 0.0, 1.0, 1.0, 3, 3};
  for (const double radius : {-1.0, double(NAN), double(INFINITY)}) {
    Grid grid(layout);
    const GridderResult result =
        GridByNearestPoint(points, layout, {radius}, grid.values.data(), grid.empty.data(), nullptr);
    EXPECT_EQ(result.status, GridderResult::Status::Invalid);
    EXPECT_FALSE(result.problem.empty());
    EXPECT_EQ(grid.values, std::vector<float>(9, -7.0f));
  }
}

}  // namespace
}  // namespace gridora
