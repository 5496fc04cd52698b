// Bilinear sampling and residuals against surfaces it must reproduce and hand-made cases.
#include "gridops/grid_sampling.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "document/random_data.h"
#include "gridops/test_grid.h"

namespace gridora {
namespace {

using testing::Layout;
using testing::TestGrid;

double Bilinear(double x, double y) { return 1.5 - 0.75 * x + 0.5 * y + 0.25 * x * y; }

TEST(GridSampling, ReproducesABilinearFunctionAnywhereInside) {
  const TestGrid grid(Layout(-4, 2, 0.5, 0.25, 17, 13), Bilinear);  // values exact in single precision
  std::uint32_t state = 7;
  auto next = [&state] {
    state = state * 1664525u + 1013904223u;
    return static_cast<double>(state) / 4294967296.0;
  };
  for (int n = 0; n < 500; ++n) {
    const double x = -4 + 8 * next(), y = 2 + 3 * next();
    double value = 0;
    ASSERT_TRUE(SampleBilinear(grid.View(), x, y, value)) << x << ", " << y;
    EXPECT_NEAR(value, Bilinear(x, y), 1e-12) << x << ", " << y;
  }
  // The corners and edges of the node rectangle are inside.
  for (auto [x, y] : {std::pair{-4.0, 2.0}, {4.0, 5.0}, {4.0, 3.3}, {-1.1, 5.0}}) {
    double value = 0;
    ASSERT_TRUE(SampleBilinear(grid.View(), x, y, value)) << x << ", " << y;
    EXPECT_NEAR(value, Bilinear(x, y), 1e-12);
  }
}

TEST(GridSampling, OnANodeGivesItsValueExactlyWhateverTheNeighbours) {
  TestGrid grid(Layout(0.1, 0.2, 0.7, 0.3, 3, 3), [](double, double) { return 1e30; });
  grid.values[grid.layout.Index(1, 1)] = 1.0f;
  double value = 0;
  ASSERT_TRUE(SampleBilinear(grid.View(), 0.1 + 0.7, 0.2 + 0.3, value));
  EXPECT_EQ(value, 1.0);
}

TEST(GridSampling, NoValueOutsideOrBesideEmptyNodes) {
  TestGrid grid(Layout(0, 0, 1, 1, 4, 4), [](double x, double y) { return x + y; });
  grid.SetEmpty(2, 2);
  struct Case {
    double x, y;
    bool has;
  };
  const Case cases[] = {
      {-0.001, 1, false}, {3.001, 1, false}, {1, -0.5, false},
      {1, 3.5, false},    {NAN, 1, false},   {1.5, 1.5, false},  // a cell with the empty corner
      {2.5, 2.9, false},  {2, 2, false},                         // on the empty node
      {2, 1, true},                                              // a node beside it
      {1, 2.5, true},  // on a node line beside it: only the nodes of the line count
      {0.5, 0.5, true},   {3, 3, true},
  };
  for (const Case& c : cases) {
    double value = -1;
    EXPECT_EQ(SampleBilinear(grid.View(), c.x, c.y, value), c.has) << c.x << ", " << c.y;
    if (c.has) {
      EXPECT_DOUBLE_EQ(value, c.x + c.y);
    }
  }
}

TEST(GridSampling, ResidualsCountsMeanRmsAndCsv) {
  TestGrid grid(Layout(0, 0, 1, 1, 3, 3), [](double x, double y) { return 10 * x + y; });
  grid.SetEmpty(2, 2);
  const std::vector<DataPoint> points = {
      {0.5, 0.5, 8.5},  // grid 5.5: residual 3
      {1, 2, 11},       // grid 12: residual -1
      {5, 0, 0},        // outside
      {1.5, 1.5, 0},    // beside the empty node
      {2, 0, 20},       // grid 20: residual 0
      {0, NAN, 1},      // not a number
  };
  ResidualReport report;
  std::string problem;
  ASSERT_TRUE(ComputeResiduals(grid.View(), points, report, problem)) << problem;
  ASSERT_EQ(report.points.size(), 3u);
  EXPECT_EQ(report.outside, 1u);
  EXPECT_EQ(report.atEmptyNodes, 1u);
  EXPECT_EQ(report.notFinite, 1u);
  EXPECT_DOUBLE_EQ(report.points[0].grid, 5.5);
  EXPECT_DOUBLE_EQ(report.points[0].residual, 3);
  EXPECT_DOUBLE_EQ(report.points[1].residual, -1);
  EXPECT_DOUBLE_EQ(report.mean, 2.0 / 3);
  EXPECT_DOUBLE_EQ(report.rms, std::sqrt(10.0 / 3));
  EXPECT_EQ(ResidualsCsv(report),
            "x,y,observed,grid,residual\r\n"
            "0.5,0.5,8.5,5.5,3\r\n"
            "1,2,11,12,-1\r\n"
            "2,0,20,20,0\r\n");
  // 17 significant digits.
  ResidualReport one;
  one.points.push_back({0.1, 0.2, 0.3, 0.1, 0.19999999999999998});
  EXPECT_EQ(ResidualsCsv(one),
            "x,y,observed,grid,residual\r\n"
            "0.10000000000000001,0.20000000000000001,0.29999999999999999,0.10000000000000001,0."
            "19999999999999998\r\n");
}

TEST(GridSampling, ResidualsRefuseABadGridAndLeaveTheReport) {
  TestGrid grid(Layout(0, 0, 1, 1, 3, 3), [](double, double) { return 1.0; });
  GridValues bad = grid.View();
  bad.layout.dy = 0;
  ResidualReport report;
  report.outside = 42;
  std::string problem;
  const std::vector<DataPoint> points = {{1, 1, 1}};
  EXPECT_FALSE(ComputeResiduals(bad, points, report, problem));
  EXPECT_FALSE(problem.empty());
  EXPECT_EQ(report.outside, 42u);
}

}  // namespace
}  // namespace gridora
