// Filters against a brute-force filter that compares every node with every other, and
// on grids whose result is known (a constant stays constant).
#include "gridops/grid_filter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "gridops/test_grid.h"

namespace gridora {
namespace {

using testing::Layout;
using testing::TestGrid;

GridResult Filter(const TestGrid& grid, FilterType type, double width) {
  GridResult result;
  std::string problem;
  EXPECT_TRUE(FilterGrid(grid.View(), type, width, result, problem)) << problem;
  return result;
}

// Every node against every node: the nodes with values within width/2 in map units,
// gaussian weights exp(-r^2 / (2 (width/6)^2)), boxcar 1, or their median.
std::vector<double> BruteForce(const TestGrid& grid, FilterType type, double width) {
  const NodeLayout& layout = grid.layout;
  const double sigma = width / 6;
  std::vector<double> out(layout.NodeCount(), NAN);
  auto has = [&](int ix, int iy) { return grid.empty.empty() || grid.empty[layout.Index(ix, iy)] == 0; };
  for (int px = 0; px < layout.nx; ++px) {
    for (int py = 0; py < layout.ny; ++py) {
      if (!has(px, py)) continue;
      double sum = 0, weights = 0;
      std::vector<double> inside;
      for (int qx = 0; qx < layout.nx; ++qx) {
        for (int qy = 0; qy < layout.ny; ++qy) {
          const double r = std::hypot(layout.X(qx) - layout.X(px), layout.Y(qy) - layout.Y(py));
          if (r > width / 2 || !has(qx, qy)) continue;
          const double w = type == FilterType::kGaussian ? std::exp(-r * r / (2 * sigma * sigma)) : 1.0;
          sum += w * grid.At(qx, qy);
          weights += w;
          inside.push_back(grid.At(qx, qy));
        }
      }
      std::sort(inside.begin(), inside.end());
      const std::size_t n = inside.size();
      out[layout.Index(px, py)] = type == FilterType::kMedian
                                      ? (n % 2 ? inside[n / 2] : (inside[n / 2 - 1] + inside[n / 2]) / 2)
                                      : sum / weights;
    }
  }
  return out;
}

// Pseudo-random values from a fixed linear congruential sequence.
TestGrid RandomGrid(NodeLayout layout) {
  std::uint32_t state = 12345;
  return TestGrid(layout, [&state](double, double) {
    state = state * 1664525u + 1013904223u;
    return static_cast<double>(state >> 8) / (1 << 24) * 100 - 50;
  });
}

// dx != dy, so the footprint is an ellipse of nodes; widths chosen so that no node lies
// on the rim (where the rounding of either side could decide). The grid without empty
// nodes takes the median's gather over whole footprints in its inner nodes.
TEST(GridFilter, AgreesWithABruteForceFilterWithUnequalSpacingsAndEmptyNodes) {
  const TestGrid full = RandomGrid(Layout(10, -3, 1.0, 0.6, 17, 23));
  TestGrid empties = full;
  empties.SetEmpty(8, 11);
  empties.SetEmpty(0, 0);
  empties.SetEmpty(9, 11);
  empties.SetEmpty(3, 20);
  for (const TestGrid* grid : {&full, static_cast<const TestGrid*>(&empties)}) {
    for (FilterType type : {FilterType::kGaussian, FilterType::kBoxcar, FilterType::kMedian}) {
      for (double width : {0.5, 2.3, 4.74, 9.1}) {
        SCOPED_TRACE(std::string(FilterTypeName(type)) + " width " + std::to_string(width) +
                     (grid == &full ? "" : " with empty nodes"));
        const GridResult result = Filter(*grid, type, width);
        const std::vector<double> expected = BruteForce(*grid, type, width);
        ASSERT_EQ(result.values.size(), expected.size());
        EXPECT_EQ(result.emptyCount, grid->empty.empty() ? 0u : 4u);
        for (std::size_t k = 0; k < expected.size(); ++k) {
          if (std::isnan(expected[k])) {
            EXPECT_EQ(result.empty[k], 1) << "node " << k;
            continue;
          }
          EXPECT_EQ(result.empty[k], 0) << "node " << k;
          ASSERT_NEAR(result.values[k], expected[k], 1e-5 * (1 + std::abs(expected[k]))) << "node " << k;
        }
      }
    }
  }
}

// The median of whole footprints is selected several rows at a time; the grid is large
// enough for many such blocks and for rows left over at a column's end. Values with
// many ties (a few levels) and without; footprints of 1 to about 260 nodes.
TEST(GridFilter, MedianOfWholeFootprintsAgreesWithSortingForSmallAndLargeFootprints) {
  const TestGrid random = RandomGrid(Layout(0, 0, 1.0, 1.0, 21, 33));
  std::uint32_t state = 7;
  const TestGrid ties(Layout(0, 0, 1.0, 1.0, 21, 33), [&state](double, double) {
    state = state * 1664525u + 1013904223u;
    return static_cast<double>((state >> 16) % 4);
  });
  for (const TestGrid* grid : {&random, &ties}) {
    for (double width : {0.5, 2.9, 5.0, 15.3, 18.3}) {
      SCOPED_TRACE("width " + std::to_string(width) + (grid == &ties ? " with ties" : ""));
      const GridResult result = Filter(*grid, FilterType::kMedian, width);
      const std::vector<double> expected = BruteForce(*grid, FilterType::kMedian, width);
      for (std::size_t k = 0; k < expected.size(); ++k)
        ASSERT_NEAR(result.values[k], expected[k], 1e-6 * (1 + std::abs(expected[k]))) << "node " << k;
    }
  }
}

// A constant stays the same constant everywhere, at the edges and beside empty nodes.
TEST(GridFilter, AConstantStaysConstantAtEdgesAndAroundEmptyNodes) {
  TestGrid grid(Layout(0, 0, 2.0, 0.5, 12, 30), [](double, double) { return 7.25; });
  grid.SetEmpty(5, 15);
  grid.SetEmpty(6, 15);
  grid.SetEmpty(0, 29);
  for (FilterType type : {FilterType::kGaussian, FilterType::kBoxcar, FilterType::kMedian}) {
    for (double width : {1.0, 5.0, 13.0, 100.0}) {
      SCOPED_TRACE(std::string(FilterTypeName(type)) + " width " + std::to_string(width));
      const GridResult result = Filter(grid, type, width);
      for (std::size_t k = 0; k < result.values.size(); ++k) {
        if (grid.empty[k]) {
          EXPECT_EQ(result.empty[k], 1);
        } else {
          ASSERT_EQ(result.values[k], 7.25f) << "node " << k;
        }
      }
    }
  }
}

// Two nodes within reach of each other: each footprint holds both, an even count.
TEST(GridFilter, MedianOfAnEvenCountIsTheMeanOfTheMiddleTwo) {
  TestGrid grid(Layout(0, 0, 1, 1, 1, 2), [](double, double) { return 0.0; });
  grid.values = {1.0f, 4.0f};
  const GridResult result = Filter(grid, FilterType::kMedian, 2.5);
  EXPECT_EQ(result.values, (std::vector<float>{2.5f, 2.5f}));
}

// Nodes exactly on the rim (distance W/2 exactly) belong to the footprint.
TEST(GridFilter, NodesOnTheRimAreInside) {
  TestGrid grid(Layout(0, 0, 0.1, 0.1, 1, 3), [](double, double) { return 0.0; });
  grid.values = {0.0f, 0.0f, 3.0f};
  const GridResult result = Filter(grid, FilterType::kBoxcar, 0.2);  // rim at one spacing
  EXPECT_FLOAT_EQ(result.values[1], 1.0f);
  EXPECT_FLOAT_EQ(result.values[2], 1.5f);
}

TEST(GridFilter, BadWidthsGiveAProblemAndLeaveTheResult) {
  const TestGrid grid(Layout(0, 0, 1, 1, 4, 4), [](double, double) { return 1.0; });
  GridValues noNodes = grid.View();
  noNodes.layout.nx = -3;
  for (double width : {0.0, -1.0, std::nan(""), HUGE_VAL, 1e9, 1e300}) {
    GridResult result;
    result.values = {42.0f};
    std::string problem;
    EXPECT_FALSE(FilterGrid(grid.View(), FilterType::kGaussian, width, result, problem)) << width;
    EXPECT_FALSE(problem.empty());
    EXPECT_EQ(result.values, std::vector<float>{42.0f});
  }
  GridResult result;
  std::string problem;
  EXPECT_FALSE(FilterGrid(noNodes, FilterType::kMedian, 2.0, result, problem));
}

TEST(GridFilter, TypeNamesRoundTrip) {
  for (FilterType type : {FilterType::kGaussian, FilterType::kBoxcar, FilterType::kMedian}) {
    FilterType parsed = FilterType::kGaussian;
    ASSERT_TRUE(ParseFilterType(FilterTypeName(type), parsed));
    EXPECT_EQ(parsed, type);
  }
  FilterType untouched = FilterType::kMedian;
  EXPECT_FALSE(ParseFilterType("mean", untouched));
  EXPECT_EQ(untouched, FilterType::kMedian);
}

}  // namespace
}  // namespace gridora
