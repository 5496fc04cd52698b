#include "gridders/inverse_distance.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "gridders/gridder_test_support.h"
#include "gridders/nearest_point.h"

namespace gridora {
namespace {

using test::Grid;
using test::NodeOracle;

// Shepard's mean written out term by term over every point: the reach (radius, then the
// nearest maxPoints, equal distances in data order), the minimum count, the coincident
// points, then sum z_i / d_i^p over sum 1 / d_i^p.
NodeOracle IdwOracle(const std::vector<DataPoint>& points, const IdwOptions& options, double x, double y) {
  struct Near {
    double squared;
    double z;
  };
  std::vector<Near> near;
  for (const DataPoint& p : points) {
    const double dx = x - p.x, dy = y - p.y;
    const double squared = dx * dx + dy * dy;
    if (options.radius == 0.0 || squared <= options.radius * options.radius) near.push_back({squared, p.z});
  }
  std::stable_sort(near.begin(), near.end(), [](const Near& a, const Near& b) { return a.squared < b.squared; });
  if (options.maxPoints > 0 && near.size() > static_cast<std::size_t>(options.maxPoints))
    near.resize(static_cast<std::size_t>(options.maxPoints));
  if (near.empty() || near.size() < static_cast<std::size_t>(options.minPoints)) return std::nullopt;
  if (near.front().squared == 0.0) {
    double sum = 0.0;
    int count = 0;
    for (const Near& n : near)
      if (n.squared == 0.0) sum += n.z, ++count;
    return sum / count;
  }
  double numerator = 0.0, denominator = 0.0;
  for (const Near& n : near) {
    const double weight = 1.0 / std::pow(std::sqrt(n.squared), options.power);
    numerator += weight * n.z;
    denominator += weight;
  }
  return numerator / denominator;
}

// Points on the integers 0..4 x 0..4: nodes on the half-integers and integers see many
// points at equal distances, and lie on points.
std::vector<DataPoint> Lattice() {
  std::vector<DataPoint> points;
  for (int i = 0; i < 5; ++i)
    for (int j = 0; j < 5; ++j) points.push_back({double(i), double(j), double((i * 7 + j * 3) % 5) + 0.25 * j});
  return points;
}

struct IdwCase {
  std::string name;
  std::vector<DataPoint> points;
  NodeLayout layout;
  IdwOptions options;
};

TEST(InverseDistance, MatchesTheMeanWrittenOutOverEveryPoint) {
  const std::vector<DataPoint> random = test::RandomPoints(30, 1);
  std::vector<DataPoint> coincident = Lattice();
  coincident.push_back({2.0, 2.0, 40.0});  // a second value at a node: the mean there
  coincident.push_back({2.0, 2.0, -9.0});
  const NodeLayout around{-1.0, -1.0, 0.75, 0.6, 17, 17};
  const NodeLayout halves{-0.5, -0.5, 0.5, 0.5, 11, 11};
  const std::vector<IdwCase> cases = {
      {"every point", random, around, {}},
      {"power 1", random, around, {1.0}},
      {"power 3.5", random, around, {3.5}},
      {"power 0: the plain mean", random, around, {0.0}},
      {"radius", random, around, {2.0, 2.0}},
      {"nearest 5", random, around, {2.0, 0.0, 5}},
      {"nearest 5 within a radius", random, around, {2.0, 3.0, 5}},
      {"at least 3 within a radius: empty nodes", random, around, {2.0, 1.5, 0, 3}},
      {"at least 4 of the nearest 4", random, around, {2.0, 1.2, 4, 4}},
      {"lattice: nodes on points", Lattice(), halves, {}},
      {"lattice: ties at the third nearest", Lattice(), halves, {2.0, 0.0, 3}},
      {"lattice: a radius exactly through points", Lattice(), halves, {2.0, 1.0, 0, 2}},
      {"lattice: coincident points", coincident, halves, {2.0, 0.0, 6}},
      {"one point", {{3.0, 4.0, 5.5}}, around, {}},
      {"one point within a radius", {{3.0, 4.0, 5.5}}, around, {2.0, 2.5, 12}},
      {"no points", {}, around, {}},
  };
  for (const IdwCase& c : cases) {
    SCOPED_TRACE(c.name);
    Grid grid(c.layout);
    const GridderResult result =
        GridByInverseDistance(c.points, c.layout, c.options, grid.values.data(), grid.empty.data(), nullptr);
    test::ExpectGridMatches(grid, result, [&](double x, double y) { return IdwOracle(c.points, c.options, x, y); });
  }
}

// The nearest point alone carries all the weight: the nearest-point grid, ties included.
TEST(InverseDistance, OnePointIsTheNearestPointGrid) {
  const NodeLayout halves{-0.5, -0.5, 0.5, 0.5, 11, 11};
  for (const auto& points : {test::RandomPoints(40, 3, 0.0, 0.0, 5.0, 5.0), Lattice()}) {
    Grid idw(halves), nearest(halves);
    GridByInverseDistance(points, halves, {2.0, 0.0, 1}, idw.values.data(), idw.empty.data(), nullptr);
    GridByNearestPoint(points, halves, {}, nearest.values.data(), nearest.empty.data(), nullptr);
    EXPECT_EQ(idw.values, nearest.values);
    EXPECT_EQ(idw.empty, nearest.empty);
  }
}

// Points with a NaN or an infinity are left out, as if they were not there.
TEST(InverseDistance, LeavesOutPointsThatAreNotNumbers) {
  const std::vector<DataPoint> clean = test::RandomPoints(20, 5);
  std::vector<DataPoint> dirty = clean;
  dirty.insert(dirty.begin() + 3, {NAN, 1.0, 2.0});
  dirty.insert(dirty.begin() + 7, {1.0, INFINITY, 2.0});
  dirty.push_back({4.0, 4.0, NAN});
  const NodeLayout layout{0.0, 0.0, 1.0, 1.0, 9, 9};
  for (const IdwOptions& options : {IdwOptions{}, IdwOptions{2.0, 0.0, 4}}) {
    Grid expected(layout), grid(layout);
    GridByInverseDistance(clean, layout, options, expected.values.data(), expected.empty.data(), nullptr);
    const GridderResult result =
        GridByInverseDistance(dirty, layout, options, grid.values.data(), grid.empty.data(), nullptr);
    EXPECT_EQ(result.status, GridderResult::Status::Done);
    EXPECT_EQ(grid.values, expected.values);
  }
}

TEST(InverseDistance, RefusesOptionsWithoutMeaning) {
  const std::vector<DataPoint> points = test::RandomPoints(10, 2);
  const NodeLayout layout{0.0, 0.0, 1.0, 1.0, 4, 4};
  for (const IdwOptions& options :
       {IdwOptions{-1.0}, IdwOptions{NAN}, IdwOptions{2.0, -1.0}, IdwOptions{2.0, INFINITY}, IdwOptions{2.0, 0.0, -3},
        IdwOptions{2.0, 0.0, 0, -1}, IdwOptions{2.0, 0.0, 4, 5}}) {
    Grid grid(layout);
    const GridderResult result =
        GridByInverseDistance(points, layout, options, grid.values.data(), grid.empty.data(), nullptr);
    EXPECT_EQ(result.status, GridderResult::Status::Invalid);
    EXPECT_FALSE(result.problem.empty());
    EXPECT_EQ(grid.values, std::vector<float>(16, -7.0f));  // untouched
    EXPECT_EQ(grid.empty, std::vector<std::uint8_t>(16, 7));
  }
}

}  // namespace
}  // namespace gridora
