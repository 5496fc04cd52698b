// Merging points at one position and block reduction.
#include "document/point_reduction.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "document/random_data.h"

namespace gridora {
namespace {

std::unique_ptr<RandomData> Points(std::initializer_list<DataPoint> points) {
  auto data = CreateRandomData();
  for (const DataPoint& p : points) data->points[data->count++] = p;
  return data;
}

struct MergeCase {
  const char* name;
  double tolerance;
  MergeMethod method;
  int merged, positions, left;
  DataPoint first;  // the point that replaces the first group
};

class Merging : public ::testing::TestWithParam<MergeCase> {};

TEST_P(Merging, GroupsCountsAndValues) {
  // Three points at (0, 0), one a little off it, one alone, one pair at (5, 5).
  auto data = Points({{0, 0, 1}, {5, 5, 10}, {0, 0, 2}, {0.05, 0, 9}, {0, 0, 6}, {2, 2, 7}, {5, 5, 20}});
  const MergeCase& c = GetParam();
  const MergeResult result = MergeDuplicatePoints(*data, c.tolerance, c.method);
  EXPECT_EQ(result.pointsMerged, c.merged);
  EXPECT_EQ(result.positions, c.positions);
  ASSERT_EQ(data->count, c.left);
  EXPECT_NEAR(data->points[0].x, c.first.x, 1e-12);
  EXPECT_NEAR(data->points[0].y, c.first.y, 1e-12);
  EXPECT_NEAR(data->points[0].z, c.first.z, 1e-12);
  EXPECT_EQ(data->points[1].z, c.method == MergeMethod::First ? 10.0 : 15.0);  // the (5, 5) pair, in order
  EXPECT_FLOAT_EQ(data->zMaximum, c.method == MergeMethod::First ? 10.0f : 15.0f);
}

INSTANTIATE_TEST_SUITE_P(
    Methods, Merging,
    ::testing::Values(MergeCase{"SamePositionMean", 0.0, MergeMethod::Mean, 5, 2, 4, {0, 0, 3}},
                      MergeCase{"SamePositionMedian", 0.0, MergeMethod::Median, 5, 2, 4, {0, 0, 2}},
                      MergeCase{"SamePositionFirst", 0.0, MergeMethod::First, 5, 2, 4, {0, 0, 1}},
                      MergeCase{"ToleranceMean", 0.1, MergeMethod::Mean, 6, 2, 3, {0.0125, 0, 4.5}},
                      MergeCase{"ToleranceMedianOfFour", 0.1, MergeMethod::Median, 6, 2, 3, {0.0125, 0, 4}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Merging, SummaryAndNothingToMerge) {
  auto data = Points({{0, 0, 1}, {1, 0, 2}});
  const MergeResult result = MergeDuplicatePoints(*data, 0.0, MergeMethod::Mean);
  EXPECT_EQ(MergeSummary(result), "0 points merged into 0 positions");
  EXPECT_EQ(data->count, 2);
  EXPECT_EQ(MergeSummary({5, 2}), "5 points merged into 2 positions");
}

TEST(BlockReduction, OnePointPerCellAtTheMeanPosition) {
  auto data = Points({{0, 0, 1}, {0.9, 0.9, 3}, {1.5, 0.2, 5}, {0.1, 1.2, 7}, {0.5, 0.5, 100}});
  EXPECT_EQ(BlockReducePoints(*data, 1.0, MergeMethod::Mean), 3);
  // Cells by column: (0, 0) with three points, (0, 1), then (1, 0).
  EXPECT_NEAR(data->points[0].x, 1.4 / 3, 1e-12);
  EXPECT_NEAR(data->points[0].z, 104.0 / 3, 1e-12);
  EXPECT_EQ(data->points[1].z, 7.0);
  EXPECT_EQ(data->points[2].z, 5.0);

  auto median = Points({{0, 0, 1}, {0.9, 0.9, 3}, {0.5, 0.5, 100}});
  EXPECT_EQ(BlockReducePoints(*median, 1.0, MergeMethod::Median), 1);
  EXPECT_EQ(median->points[0].z, 3.0);
}

}  // namespace
}  // namespace gridora

namespace gridora {
namespace {

// The merge as documented, pair by pair: each point not yet taken starts a group of
// every point not yet taken within the tolerance of it.
std::vector<std::vector<int>> BruteForceGroups(const std::vector<DataPoint>& points, double tolerance) {
  std::vector<int> taken(points.size(), 0);
  std::vector<std::vector<int>> groups;
  for (std::size_t i = 0; i < points.size(); ++i) {
    if (taken[i]) continue;
    groups.push_back({});
    for (std::size_t j = i; j < points.size(); ++j) {
      const double dx = points[j].x - points[i].x, dy = points[j].y - points[i].y;
      const bool within = tolerance > 0.0 ? std::hypot(dx, dy) <= tolerance : dx == 0.0 && dy == 0.0;
      if (!taken[j] && within) {
        taken[j] = 1;
        groups.back().push_back(static_cast<int>(j));
      }
    }
  }
  return groups;
}

struct ExtremeMergeCase {
  const char* name;
  double tolerance;
  std::vector<DataPoint> points;
};

class MergingExtremes : public ::testing::TestWithParam<ExtremeMergeCase> {};

// Tolerances far below or above the coordinates' scale, coordinates spread over the
// range of doubles: the groups are those of the pairwise definition.
TEST_P(MergingExtremes, GroupsAreThoseOfThePairwiseDefinition) {
  const ExtremeMergeCase& c = GetParam();
  auto data = CreateRandomData();
  for (const DataPoint& p : c.points) data->points[data->count++] = p;
  const auto groups = BruteForceGroups(c.points, c.tolerance);
  const MergeResult result = MergeDuplicatePoints(*data, c.tolerance, MergeMethod::First);
  ASSERT_EQ(data->count, static_cast<int>(groups.size()));
  int merged = 0, positions = 0;
  for (std::size_t g = 0; g < groups.size(); ++g) {
    if (groups[g].size() > 1) merged += static_cast<int>(groups[g].size()), ++positions;
    const DataPoint& first = c.points[static_cast<std::size_t>(groups[g].front())];
    EXPECT_EQ(data->points[g].x, first.x) << g;
    EXPECT_EQ(data->points[g].y, first.y) << g;
    EXPECT_EQ(data->points[g].z, first.z) << g;
  }
  EXPECT_EQ(result.pointsMerged, merged);
  EXPECT_EQ(result.positions, positions);
}

constexpr double kTwo53 = 9007199254740992.0;

INSTANTIATE_TEST_SUITE_P(
    Tolerances, MergingExtremes,
    ::testing::Values(
        ExtremeMergeCase{"SpreadOverTenToThe300",
                         1.0,
                         {{-1e300, 0, 1},
                          {0, 0, 2},
                          {0.5, 0, 3},
                          {1e300, 0, 4},
                          {3, 0, 5},
                          {1e300, 0.5, 6},
                          {3.2, 0.1, 7},
                          {-1e300, 2, 8},
                          {1e300, -1e300, 9}}},
        ExtremeMergeCase{"TinyToleranceOnProjectedCoordinates",
                         1e-300,
                         {{5e6, 4e6, 1}, {std::nextafter(5e6, 1e7), 4e6, 2}, {5e6, 4e6, 3}, {5e6, 4e6 + 1e-9, 4}}},
        ExtremeMergeCase{"DenormalTolerance",
                         4.9e-324,
                         {{1e10, 1, 1}, {1e10, 1, 2}, {-1e10, 1, 3}, {0, 0, 4}, {4.9e-324, 0, 5}, {-0.0, 0, 6}}},
        ExtremeMergeCase{"ToleranceHugeAgainstTheExtent", 1e30, {{0, 0, 1}, {1, 1, 2}, {-3, 2, 3}, {1e20, 0, 4}}},
        ExtremeMergeCase{
            "BeyondTwoToThe53Tolerances",
            1.0,
            {{kTwo53, 0, 1}, {kTwo53 + 2, 0, 2}, {kTwo53, 0.5, 3}, {kTwo53 * 4, 0, 4}, {kTwo53 * 4 + 8, 0, 5}}},
        ExtremeMergeCase{"SignedZeros", 0.5, {{-0.0, -0.0, 1}, {0.0, 0.0, 2}, {-0.3, 0, 3}, {0.3, 0, 4}}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(BlockReduction, CellsTooSmallToCountAreRefusedAndTheDataKept) {
  struct Case {
    const char* name;
    double cell;
    std::vector<DataPoint> points;
  };
  const Case cases[] = {
      {"tiny cell", 1e-300, {{0, 0, 1}, {10, 10, 2}}},
      {"denormal cell", 4.9e-324, {{0, 0, 1}, {1, 0, 2}}},
      {"micro cell on projected coordinates", 1e-9, {{5e6, 4e6, 1}, {5.1e6, 4e6, 2}}},
      {"points over 10^300", 1.0, {{-1e300, 0, 1}, {1e300, 0, 2}}},
      {"extent beyond doubles", 1e300, {{-1.7e308, 0, 1}, {1.7e308, 0, 2}}},
      {"zero", 0.0, {{0, 0, 1}, {1, 0, 2}}},
      {"not a number", std::nan(""), {{0, 0, 1}, {1, 0, 2}}},
      {"infinite", HUGE_VAL, {{0, 0, 1}, {1, 0, 2}}},
  };
  for (const Case& c : cases) {
    auto data = CreateRandomData();
    for (const DataPoint& p : c.points) data->points[data->count++] = p;
    EXPECT_FALSE(BlockCellRefusal(*data, c.cell).empty()) << c.name;
    EXPECT_EQ(BlockReducePoints(*data, c.cell, MergeMethod::Mean), static_cast<int>(c.points.size())) << c.name;
    for (std::size_t i = 0; i < c.points.size(); ++i) EXPECT_EQ(data->points[i].x, c.points[i].x) << c.name;
  }
}

TEST(BlockReduction, SmallCellsOnLargeCoordinatesKeepEveryCellApart) {
  // A millimetre cell over a kilometre of projected coordinates: a point on the lower
  // edge of cell 0, then points at the centres of cells 0, 1 (two), 2 and 10^9 - 1. Four
  // cells, never fewer.
  const double x0 = 5e6, cell = 1e-3;
  auto data = CreateRandomData();
  data->points[data->count++] = {x0, 4e6, 0.0};
  for (double k : {0.0, 1.0, 1.0, 2.0, 1e9 - 1.0}) data->points[data->count++] = {x0 + (k + 0.5) * cell, 4e6, k};
  EXPECT_TRUE(BlockCellRefusal(*data, cell).empty());
  EXPECT_EQ(BlockReducePoints(*data, cell, MergeMethod::Mean), 4);
  EXPECT_EQ(data->points[1].z, 1.0);
  EXPECT_EQ(data->points[3].z, 1e9 - 1.0);
}

}  // namespace
}  // namespace gridora
