// Volumes against integrals known in closed form: each rule on the functions it
// integrates exactly, cut and fill of a tilted plane, and empty nodes.
#include "gridops/volume.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>

#include "gridops/test_grid.h"

namespace gridora {
namespace {

using testing::Layout;
using testing::TestGrid;

// A polynomial of degree 3 or less, c0 + c1 t + c2 t^2 + c3 t^3.
struct Cubic {
  std::array<double, 4> c;
  double operator()(double t) const { return c[0] + t * (c[1] + t * (c[2] + t * c[3])); }
  // The integral from a to b, from the antiderivative term by term.
  double Integral(double a, double b) const {
    auto antiderivative = [this](double t) {
      return c[0] * t + c[1] * t * t / 2 + c[2] * t * t * t / 3 + c[3] * t * t * t * t / 4;
    };
    return antiderivative(b) - antiderivative(a);
  }
};

VolumeResult Volume(const TestGrid& grid, double level, VolumeMethod method) {
  VolumeResult result;
  std::string problem;
  EXPECT_TRUE(ComputeVolume(grid.View(), level, method, result, problem)) << problem;
  return result;
}

// z = p(x) q(y) + r(x) on a grid whose nodes and values are exact in single precision:
// the rules that are exact for the degrees in play give the closed-form integral to
// rounding. `degreeX`/`degreeY` are the degrees each axis's rule integrates exactly for
// that case's interval count.
TEST(Volume, EachRuleIsExactForTheDegreesItIntegrates) {
  struct Case {
    VolumeMethod method;
    int nx, ny;
    int degreeX, degreeY;
  };
  const Case cases[] = {
      {VolumeMethod::kTrapezoid, 2, 2, 1, 1}, {VolumeMethod::kTrapezoid, 6, 9, 1, 1},
      {VolumeMethod::kSimpson, 3, 5, 3, 3},    // even interval counts
      {VolumeMethod::kSimpson, 4, 6, 3, 3},    // 3 and 5 intervals: the 3/8 rule at the end
      {VolumeMethod::kSimpson, 8, 7, 3, 3},    // 7 and 6 intervals
      {VolumeMethod::kSimpson, 2, 5, 1, 3},    // one interval: the trapezoid
      {VolumeMethod::kSimpson38, 4, 7, 3, 3},  // 3 and 6 intervals
      {VolumeMethod::kSimpson38, 3, 6, 3, 3},  // 2 intervals (Simpson), 5 = 3 + 2
      {VolumeMethod::kSimpson38, 5, 8, 1, 1},  // 4 = 3 + 1 and 7 = 6 + 1: the trapezoid at the end
      {VolumeMethod::kSimpson38, 2, 9, 1, 3},  // 1 interval; 8 = 6 + 2
  };
  const Cubic full[4] = {{{3, 0, 0, 0}}, {{3, -1, 0, 0}}, {{3, -1, 0.5, 0}}, {{3, -1, 0.5, -0.25}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(VolumeMethodName(c.method)) + " " + std::to_string(c.nx) + " x " + std::to_string(c.ny));
    const Cubic p = full[c.degreeX], q = full[c.degreeY], r = full[c.degreeX];
    const NodeLayout layout = Layout(-1.5, 0.25, 0.5, 0.25, c.nx, c.ny);
    const double x1 = layout.X(c.nx - 1), y1 = layout.Y(c.ny - 1);
    const TestGrid grid(layout, [&](double x, double y) { return p(x) * q(y) + r(x); });
    const double exact = p.Integral(-1.5, x1) * q.Integral(0.25, y1) + r.Integral(-1.5, x1) * (y1 - 0.25);
    const double level = -10;  // below the surface: everything is positive
    const VolumeResult volume = Volume(grid, level, c.method);
    const double area = (x1 + 1.5) * (y1 - 0.25);
    EXPECT_NEAR(volume.positive, exact - level * area, 1e-12 * std::abs(exact - level * area));
    EXPECT_EQ(volume.negative, 0.0);
    EXPECT_EQ(volume.net, volume.positive);
    EXPECT_NEAR(volume.areaPositive, area, 1e-12 * area);
    EXPECT_EQ(volume.areaNegative, 0.0);
  }
}

// z = x on [-1, 1] x [0, 2] against the level 0, which runs along the middle node column:
// max(z, 0) is linear in every cell, so every rule's cut and fill are exact, 1 each.
// The areas are the sums of the nodes' weights on each side: the middle column (z = 0)
// belongs to neither.
TEST(Volume, CutAndFillOfATiltedPlaneAgainstALevelThroughItsMiddle) {
  const TestGrid grid(Layout(-1, 0, 0.125, 0.25, 17, 9), [](double x, double) { return x; });
  for (VolumeMethod method : {VolumeMethod::kTrapezoid, VolumeMethod::kSimpson}) {
    SCOPED_TRACE(std::string(VolumeMethodName(method)));
    const VolumeResult volume = Volume(grid, 0.0, method);
    EXPECT_NEAR(volume.positive, 1.0, 1e-14);
    EXPECT_NEAR(volume.negative, 1.0, 1e-14);
    EXPECT_NEAR(volume.net, 0.0, 1e-14);
  }
  // Trapezoid areas: x > 0 holds 7 inner columns (weight dx) and the edge column (dx/2).
  const VolumeResult volume = Volume(grid, 0.0, VolumeMethod::kTrapezoid);
  EXPECT_NEAR(volume.areaPositive, 7.5 * 0.125 * 2, 1e-14);
  EXPECT_NEAR(volume.areaNegative, 7.5 * 0.125 * 2, 1e-14);
  // A lower surface z/2 leaves x/2: a half on each side.
  const TestGrid lower(grid.layout, [](double x, double) { return x / 2; });
  VolumeResult between;
  std::string problem;
  ASSERT_TRUE(ComputeVolume(grid.View(), lower.View(), VolumeMethod::kTrapezoid, between, problem)) << problem;
  EXPECT_NEAR(between.positive, 0.5, 1e-14);
  EXPECT_NEAR(between.negative, 0.5, 1e-14);
}

// Trapezoid with empty nodes: a constant 1 on a 5 x 5 grid of unit cells (16 cells) loses
// the cells that touch an empty node, in either surface.
TEST(Volume, TrapezoidLeavesOutTheCellsAroundEmptyNodes) {
  struct Case {
    const char* name;
    std::vector<std::array<int, 2>> emptyInGrid, emptyInLower;
    double cells;
  };
  const Case cases[] = {
      {"inner node", {{2, 2}}, {}, 12},
      {"corner", {{0, 0}}, {}, 15},
      {"edge", {}, {{4, 2}}, 14},
      {"one in each", {{1, 1}}, {{3, 3}}, 8},
      // Every node of row 1 empty: the cells of rows 0 and 1 go; node row 0 keeps no
      // complete cell, so its nodes weigh nothing.
      {"a whole row", {{0, 1}, {1, 1}, {2, 1}, {3, 1}, {4, 1}}, {}, 8},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TestGrid grid(Layout(0, 0, 1, 1, 5, 5), [](double, double) { return 1.0; });
    TestGrid lower(grid.layout, [](double, double) { return 0.0; });
    for (auto [ix, iy] : c.emptyInGrid) grid.SetEmpty(ix, iy);
    for (auto [ix, iy] : c.emptyInLower) lower.SetEmpty(ix, iy);
    VolumeResult volume;
    std::string problem;
    ASSERT_TRUE(ComputeVolume(grid.View(), lower.View(), VolumeMethod::kTrapezoid, volume, problem)) << problem;
    EXPECT_DOUBLE_EQ(volume.positive, c.cells);
    EXPECT_DOUBLE_EQ(volume.areaPositive, c.cells);
    // The Simpson rules need every node.
    for (VolumeMethod method : {VolumeMethod::kSimpson, VolumeMethod::kSimpson38}) {
      VolumeResult untouched;
      untouched.positive = 42;
      EXPECT_FALSE(ComputeVolume(grid.View(), lower.View(), method, untouched, problem));
      EXPECT_NE(problem.find("trapezoid"), std::string::npos) << problem;
      EXPECT_EQ(untouched.positive, 42);
    }
  }
  // A mask without an empty node is no obstacle.
  TestGrid grid(Layout(0, 0, 1, 1, 5, 5), [](double, double) { return 1.0; });
  grid.empty.assign(25, 0);
  EXPECT_DOUBLE_EQ(Volume(grid, 0.0, VolumeMethod::kSimpson).positive, 16.0);
}

TEST(Volume, AnAxisOfOneNodeGivesZero) {
  for (VolumeMethod method : {VolumeMethod::kTrapezoid, VolumeMethod::kSimpson, VolumeMethod::kSimpson38}) {
    for (auto [nx, ny] : {std::array<int, 2>{1, 7}, {7, 1}, {1, 1}}) {
      const TestGrid grid(Layout(0, 0, 1, 1, nx, ny), [](double, double) { return 5.0; });
      const VolumeResult volume = Volume(grid, 0.0, method);
      EXPECT_EQ(volume.positive, 0.0);
      EXPECT_EQ(volume.areaPositive, 0.0);
    }
  }
}

// A million nodes of 0.1f: the total must keep double precision, which a plain running
// sum over the nodes loses.
TEST(Volume, ALargeSumKeepsDoublePrecision) {
  const int n = 1001;
  const TestGrid grid(Layout(0, 0, 0.1, 0.1, n, n), [](double, double) { return 0.1; });
  const double value = static_cast<double>(0.1f);
  const double side = (n - 1) * 0.1;
  const VolumeResult volume = Volume(grid, 0.0, VolumeMethod::kTrapezoid);
  EXPECT_NEAR(volume.positive, value * side * side, 1e-15 * value * side * side);
  EXPECT_NEAR(volume.areaPositive, side * side, 1e-15 * side * side);
}

TEST(Volume, BadArgumentsGiveAProblem) {
  const TestGrid grid(Layout(0, 0, 1, 1, 3, 3), [](double, double) { return 1.0; });
  const TestGrid otherNodes(Layout(0, 0, 1, 1, 3, 4), [](double, double) { return 1.0; });
  GridValues noNodes = grid.View();
  noNodes.layout.nx = 0;
  GridValues negativeSpacing = grid.View();
  negativeSpacing.layout.dy = -1;
  VolumeResult volume;
  volume.net = 42;
  std::string problem;
  EXPECT_FALSE(ComputeVolume(grid.View(), std::nan(""), VolumeMethod::kTrapezoid, volume, problem));
  EXPECT_FALSE(problem.empty());
  EXPECT_FALSE(ComputeVolume(noNodes, 0.0, VolumeMethod::kTrapezoid, volume, problem));
  EXPECT_FALSE(ComputeVolume(negativeSpacing, 0.0, VolumeMethod::kSimpson, volume, problem));
  EXPECT_FALSE(ComputeVolume(grid.View(), otherNodes.View(), VolumeMethod::kTrapezoid, volume, problem));
  EXPECT_EQ(volume.net, 42);
}

TEST(Volume, CsvTextHasTheHeaderAndSeventeenDigits) {
  VolumeResult volume;
  volume.positive = 0.1;
  volume.negative = 2;
  volume.net = -1.9;
  volume.areaPositive = 1e20;
  volume.areaNegative = 0;
  EXPECT_EQ(VolumeCsv(VolumeMethod::kSimpson38, volume),
            "method,positive,negative,net,area_positive,area_negative\r\n"
            "simpson38,0.10000000000000001,2,-1.8999999999999999,1e+20,0\r\n");
}

}  // namespace
}  // namespace gridora
