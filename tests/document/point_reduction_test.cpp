// Merging points at one position and block reduction.
#include "document/point_reduction.h"

#include <gtest/gtest.h>

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
