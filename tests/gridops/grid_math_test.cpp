// Node-by-node arithmetic and bilinear resampling against values worked out by hand.
#include "gridops/grid_math.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "gridops/test_grid.h"

namespace gridora {
namespace {

using testing::Layout;
using testing::TestGrid;

constexpr float kEmpty = std::numeric_limits<float>::quiet_NaN();  // marks an expected empty node

// Four nodes in one column: 6, -2, 0, 1.5.
TestGrid FourNodes() {
  TestGrid grid(Layout(0, 0, 1, 1, 1, 4), [](double, double) { return 0.0; });
  grid.values = {6.0f, -2.0f, 0.0f, 1.5f};
  return grid;
}

void ExpectNodes(const GridResult& result, const std::vector<float>& expected) {
  ASSERT_EQ(result.values.size(), expected.size());
  ASSERT_EQ(result.empty.size(), expected.size());
  std::size_t emptyCount = 0;
  for (std::size_t k = 0; k < expected.size(); ++k) {
    if (std::isnan(expected[k])) {
      EXPECT_EQ(result.empty[k], 1) << "node " << k;
      EXPECT_EQ(result.values[k], 0.0f) << "node " << k;
      ++emptyCount;
    } else {
      EXPECT_EQ(result.empty[k], 0) << "node " << k;
      EXPECT_EQ(result.values[k], expected[k]) << "node " << k;
    }
  }
  EXPECT_EQ(result.emptyCount, emptyCount);
}

TEST(GridMath, EachOperationWithAConstant) {
  struct Case {
    GridOperation operation;
    double constant;
    std::vector<float> expected;
  };
  const Case cases[] = {
      {GridOperation::kAdd, 2, {8, 0, 2, 3.5f}},
      {GridOperation::kSubtract, 2, {4, -4, -2, -0.5f}},
      {GridOperation::kMultiply, -2, {-12, 4, 0, -3}},
      {GridOperation::kDivide, 4, {1.5f, -0.5f, 0, 0.375f}},
      {GridOperation::kDivide, 0, {kEmpty, kEmpty, kEmpty, kEmpty}},  // +inf, -inf, NaN, +inf
      {GridOperation::kMinimum, 1, {1, -2, 0, 1}},
      {GridOperation::kMaximum, 1, {6, 1, 1, 1.5f}},
      {GridOperation::kMultiply, 1e38, {kEmpty, -2e38f, 0, 1.5e38f}},  // 6e38: beyond single precision
  };
  const TestGrid grid = FourNodes();
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(GridOperationName(c.operation)) + " " + std::to_string(c.constant));
    GridResult result;
    std::string problem;
    ASSERT_TRUE(ApplyGridMath(grid.View(), c.operation, c.constant, result, problem)) << problem;
    ExpectNodes(result, c.expected);
  }
}

TEST(GridMath, SecondGridAndEmptyNodesOfEither) {
  TestGrid a = FourNodes();
  TestGrid b = FourNodes();
  b.values = {3, 0, 5, -1};
  a.SetEmpty(0, 2);
  b.SetEmpty(0, 3);
  GridResult result;
  std::string problem;
  ASSERT_TRUE(ApplyGridMath(a.View(), GridOperation::kDivide, b.View(), result, problem)) << problem;
  ExpectNodes(result, {2, kEmpty, kEmpty, kEmpty});  // 6/3, -2/0, empty in a, empty in b
  ASSERT_TRUE(ApplyGridMath(a.View(), GridOperation::kMaximum, b.View(), result, problem)) << problem;
  ExpectNodes(result, {6, 0, kEmpty, kEmpty});
}

TEST(GridMath, SameGridIsExactAfterResamplingOntoItsOwnLayout) {
  // Node positions x0 + i*dx that are not exact in binary, and neighbours of very
  // different size: any weight left on a neighbour would show.
  const TestGrid grid(Layout(0.1, -7.3, 0.7, 0.3, 13, 11),
                      [](double x, double y) { return std::sin(3 * x) * std::pow(10.0, std::fmod(7 * y + 30, 30.0)); });
  GridResult same;
  std::string problem;
  ASSERT_TRUE(ResampleBilinear(grid.View(), grid.layout, same, problem)) << problem;
  EXPECT_EQ(same.emptyCount, 0u);
  EXPECT_EQ(same.values, grid.values);
  const GridValues resampled{grid.layout, same.values.data(), same.empty.data()};
  GridResult difference, ratio;
  ASSERT_TRUE(ApplyGridMath(grid.View(), GridOperation::kSubtract, resampled, difference, problem)) << problem;
  ASSERT_TRUE(ApplyGridMath(grid.View(), GridOperation::kDivide, resampled, ratio, problem)) << problem;
  for (std::size_t k = 0; k < grid.values.size(); ++k) {
    EXPECT_EQ(difference.values[k], 0.0f);
    if (grid.values[k] != 0) {
      EXPECT_EQ(ratio.values[k], 1.0f);
    }
  }
}

TEST(GridMath, ResampleReproducesABilinearSurfaceAndEmptiesOutsideAndAtEmptyNodes) {
  auto f = [](double x, double y) { return 2 + 0.5 * x - 0.25 * y + 0.125 * x * y; };
  TestGrid source(Layout(-2, 1, 1, 0.5, 5, 9), f);  // x in [-2, 2], y in [1, 5]
  // A finer target shifted by a quarter of a source spacing, reaching beyond the source.
  const NodeLayout target = Layout(-2.75, 0.625, 0.25, 0.25, 20, 20);
  GridResult result;
  std::string problem;
  ASSERT_TRUE(ResampleBilinear(source.View(), target, result, problem)) << problem;
  for (int ix = 0; ix < target.nx; ++ix) {
    for (int iy = 0; iy < target.ny; ++iy) {
      const double x = target.X(ix), y = target.Y(iy);
      const std::size_t k = target.Index(ix, iy);
      const bool inside = x >= -2 && x <= 2 && y >= 1 && y <= 5;
      EXPECT_EQ(result.empty[k], inside ? 0 : 1) << x << ", " << y;
      if (inside) {
        EXPECT_FLOAT_EQ(result.values[k], static_cast<float>(f(x, y))) << x << ", " << y;
      }
    }
  }
  // One empty source node empties the target nodes in the four cells around it only.
  source.SetEmpty(2, 4);  // (0, 3)
  ASSERT_TRUE(ResampleBilinear(source.View(), target, result, problem)) << problem;
  for (int ix = 0; ix < target.nx; ++ix) {
    for (int iy = 0; iy < target.ny; ++iy) {
      const double x = target.X(ix), y = target.Y(iy);
      const bool inside = x >= -2 && x <= 2 && y >= 1 && y <= 5;
      const bool nearEmpty = std::abs(x) < 1 && std::abs(y - 3) < 0.5;
      EXPECT_EQ(result.empty[target.Index(ix, iy)], !inside || nearEmpty ? 1 : 0) << x << ", " << y;
    }
  }
}

TEST(GridMath, BadArgumentsGiveAProblemAndLeaveTheResult) {
  const TestGrid grid = FourNodes();
  TestGrid other(Layout(0, 0, 1, 1, 1, 3), [](double, double) { return 1.0; });
  TestGrid shifted(Layout(0.5, 0, 1, 1, 1, 4), [](double, double) { return 1.0; });
  GridValues noNodes = grid.View();
  noNodes.layout.ny = 0;
  GridValues badSpacing = grid.View();
  badSpacing.layout.dx = std::nan("");
  GridValues noValues = grid.View();
  noValues.values = nullptr;
  GridResult result;
  result.values = {42.0f};
  std::string problem;
  EXPECT_FALSE(ApplyGridMath(grid.View(), GridOperation::kAdd, std::nan(""), result, problem));
  EXPECT_FALSE(problem.empty());
  EXPECT_FALSE(ApplyGridMath(grid.View(), GridOperation::kAdd, INFINITY, result, problem));
  EXPECT_FALSE(ApplyGridMath(noNodes, GridOperation::kAdd, 1.0, result, problem));
  EXPECT_FALSE(ApplyGridMath(badSpacing, GridOperation::kAdd, 1.0, result, problem));
  EXPECT_FALSE(ApplyGridMath(noValues, GridOperation::kAdd, 1.0, result, problem));
  EXPECT_FALSE(ApplyGridMath(grid.View(), GridOperation::kAdd, other.View(), result, problem));
  EXPECT_FALSE(ApplyGridMath(grid.View(), GridOperation::kAdd, shifted.View(), result, problem));
  EXPECT_NE(problem.find("resample"), std::string::npos) << problem;
  EXPECT_FALSE(ResampleBilinear(grid.View(), Layout(0, 0, 0, 1, 3, 3), result, problem));
  EXPECT_FALSE(ResampleBilinear(grid.View(), Layout(0, 0, 1, 1, 0, 3), result, problem));
  EXPECT_EQ(result.values, std::vector<float>{42.0f});
}

TEST(GridMath, OperationNamesRoundTrip) {
  for (GridOperation op : {GridOperation::kAdd, GridOperation::kSubtract, GridOperation::kMultiply,
                           GridOperation::kDivide, GridOperation::kMinimum, GridOperation::kMaximum}) {
    GridOperation parsed = GridOperation::kAdd;
    ASSERT_TRUE(ParseGridOperation(GridOperationName(op), parsed));
    EXPECT_EQ(parsed, op);
  }
  GridOperation untouched = GridOperation::kDivide;
  EXPECT_FALSE(ParseGridOperation("plus", untouched));
  EXPECT_EQ(untouched, GridOperation::kDivide);
}

}  // namespace
}  // namespace gridora
