// What the three quick gridders share: the cancel button, the layout checks, and a grid
// that does not depend on the number of threads.
#include <gtest/gtest.h>

#ifdef _OPENMP
#include <omp.h>
#endif

#include <functional>
#include <string>
#include <vector>

#include "gridders/gridder_test_support.h"
#include "gridders/inverse_distance.h"
#include "gridders/linear_triangulation.h"
#include "gridders/nearest_point.h"

namespace gridora {
namespace {

using test::Grid;

using Gridder =
    std::function<GridderResult(std::span<const DataPoint>, const NodeLayout&, float*, std::uint8_t*, Feedback*)>;

struct NamedGridder {
  std::string name;
  Gridder grid;
};

std::vector<NamedGridder> Gridders() {
  return {
      {"inverse distance, nearest 6",
       [](auto points, const auto& layout, auto values, auto empty, auto feedback) {
         return GridByInverseDistance(points, layout, {2.0, 0.0, 6}, values, empty, feedback);
       }},
      {"inverse distance within a radius",
       [](auto points, const auto& layout, auto values, auto empty, auto feedback) {
         return GridByInverseDistance(points, layout, {2.0, 1.5}, values, empty, feedback);
       }},
      {"nearest point", [](auto points, const auto& layout, auto values, auto empty,
                           auto feedback) { return GridByNearestPoint(points, layout, {}, values, empty, feedback); }},
      {"linear triangulation", GridByLinearTriangulation},
  };
}

// Canceled at the second look: the first block of columns is the full run's, every node
// after it empty and counted.
TEST(Gridders, CancelLeavesTheNodesNotReachedEmpty) {
  const std::vector<DataPoint> points = test::RandomPoints(40, 4);
  // 4096 nodes a column: eight columns a block (on up to eight threads), then four.
  const NodeLayout layout{0.5, 0.0, 0.8, 8.0 / 4095, 12, 4096};
  const std::size_t firstBlock = 8 * 4096;
  for (const NamedGridder& g : Gridders()) {
    SCOPED_TRACE(g.name);
    Grid full(layout), canceled(layout), atOnce(layout);
    g.grid(points, layout, full.values.data(), full.empty.data(), nullptr);
    test::CancelAtPoll second(1);
    const GridderResult result = g.grid(points, layout, canceled.values.data(), canceled.empty.data(), &second);
    ASSERT_EQ(result.status, GridderResult::Status::Canceled);
    EXPECT_DOUBLE_EQ(second.lastProgress, 8.0 / 12.0);
    std::size_t emptyNodes = 0;
    for (std::size_t k = 0; k < layout.NodeCount(); ++k) {
      if (k < firstBlock) {
        ASSERT_EQ(canceled.values[k], full.values[k]) << k;
        ASSERT_EQ(canceled.empty[k], full.empty[k]) << k;
      } else {
        ASSERT_EQ(canceled.values[k], 0.0f) << k;
        ASSERT_EQ(canceled.empty[k], 1) << k;
      }
      emptyNodes += canceled.empty[k];
    }
    EXPECT_EQ(result.emptyNodes, emptyNodes);
    test::CancelAtPoll first(0);
    EXPECT_EQ(g.grid(points, layout, atOnce.values.data(), atOnce.empty.data(), &first).emptyNodes, layout.NodeCount());
  }
}

TEST(Gridders, RefuseALayoutWithoutMeaning) {
  const std::vector<DataPoint> points = test::RandomPoints(10, 2);
  for (const NamedGridder& g : Gridders()) {
    SCOPED_TRACE(g.name);
    for (const NodeLayout& layout : {NodeLayout{NAN, 0.0, 1.0, 1.0, 3, 3}, NodeLayout{0.0, 0.0, INFINITY, 1.0, 3, 3}}) {
      Grid grid(layout);
      const GridderResult result = g.grid(points, layout, grid.values.data(), grid.empty.data(), nullptr);
      EXPECT_EQ(result.status, GridderResult::Status::Invalid);
      EXPECT_FALSE(result.problem.empty());
      EXPECT_EQ(grid.values, std::vector<float>(9, -7.0f));
    }
    const NodeLayout layout{0.0, 0.0, 1.0, 1.0, 3, 3};
    EXPECT_EQ(g.grid(points, layout, nullptr, nullptr, nullptr).status, GridderResult::Status::Invalid);
    const NodeLayout none{0.0, 0.0, 1.0, 1.0, 0, 5};
    EXPECT_EQ(g.grid(points, none, nullptr, nullptr, nullptr).status, GridderResult::Status::Done);
  }
}

#ifdef _OPENMP
TEST(Gridders, GridDoesNotDependOnTheNumberOfThreads) {
  const std::vector<DataPoint> points = test::RandomPoints(300, 8);
  const NodeLayout layout{-0.5, -0.5, 0.13, 0.11, 90, 80};
  const int threads = omp_get_max_threads();
  for (const NamedGridder& g : Gridders()) {
    SCOPED_TRACE(g.name);
    Grid one(layout), three(layout);
    omp_set_num_threads(1);
    g.grid(points, layout, one.values.data(), one.empty.data(), nullptr);
    omp_set_num_threads(3);
    g.grid(points, layout, three.values.data(), three.empty.data(), nullptr);
    omp_set_num_threads(threads);
    EXPECT_EQ(one.values, three.values);
    EXPECT_EQ(one.empty, three.empty);
  }
}
#endif

}  // namespace
}  // namespace gridora
