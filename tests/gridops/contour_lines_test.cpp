// Contour lines of grids whose true contours are known.
#include "gridops/contour_lines.h"

#include <gtest/gtest.h>

#include <cmath>

#include "document/grid_model.h"

namespace gridora {
namespace {

// A cone around (cx, cy): value = distance to the apex, so the level r is a circle.
GridModel Cone(int n, float spacing, double cx, double cy) {
  GridModel grid;
  grid.layerCount = 1;
  grid.NX = n;
  grid.NY = n;
  grid.DX = grid.DY = spacing;
  grid.x0 = 100.0f;
  grid.y0 = -50.0f;
  EXPECT_TRUE(grid.AllocateGrid());
  for (int ix = 0; ix < n; ++ix)
    for (int iy = 0; iy < n; ++iy)
      grid.Value(0, ix, iy) = static_cast<float>(std::hypot(grid.x0 + ix * spacing - cx, grid.y0 + iy * spacing - cy));
  return grid;
}

TEST(ContourLines, ConeGivesOneClosedChainedCirclePerLevelWithinHalfACell) {
  const float spacing = 2.0f;
  const double cx = 100.0 + 30.3, cy = -50.0 + 29.1;  // the apex off the nodes
  const GridModel grid = Cone(31, spacing, cx, cy);
  ContourRequest request;
  request.levels = {5.0, 12.5, 20.0, 27.0};
  const std::vector<ContourLine> lines = TraceContours(grid, request);
  ASSERT_EQ(lines.size(), request.levels.size());
  for (std::size_t k = 0; k < lines.size(); ++k) {
    const ContourLine& line = lines[k];
    EXPECT_EQ(line.level, request.levels[k]);
    EXPECT_TRUE(line.closed);
    ASSERT_GT(line.points.size(), 8u);
    EXPECT_EQ(line.points.front().x, line.points.back().x);
    EXPECT_EQ(line.points.front().y, line.points.back().y);
    double turned = 0.0;  // a simple ring around the apex turns once
    for (std::size_t i = 0; i + 1 < line.points.size(); ++i) {
      const PlanePoint& p = line.points[i];
      const PlanePoint& q = line.points[i + 1];
      EXPECT_NEAR(std::hypot(p.x - cx, p.y - cy), line.level, spacing / 2.0) << "level " << line.level;
      // Chained: consecutive points lie in one cell, never farther apart than its diagonal.
      EXPECT_LE(std::hypot(q.x - p.x, q.y - p.y), spacing * std::sqrt(2.0) + 1e-9);
      turned += std::remainder(std::atan2(q.y - cy, q.x - cx) - std::atan2(p.y - cy, p.x - cx), 2 * M_PI);
    }
    EXPECT_NEAR(std::abs(turned), 2 * M_PI, 1e-6);
  }
}

TEST(ContourLines, LinesEndAtTheEdgeAndAtHiddenNodes) {
  GridModel grid = Cone(21, 1.0f, 100.0, -50.0);  // apex at the south-west corner node
  ContourRequest request;
  request.levels = {10.0};
  std::vector<ContourLine> lines = TraceContours(grid, request);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_FALSE(lines[0].closed);  // a quarter circle from the south edge to the west edge

  // Hiding the node on the diagonal that the arc crosses splits it in two.
  request.hidden.assign(grid.NodeCount(), 0);
  request.hidden[static_cast<std::size_t>(7) * grid.NY + 7] = 1;
  lines = TraceContours(grid, request);
  EXPECT_EQ(lines.size(), 2u);
  for (const ContourLine& line : lines) EXPECT_FALSE(line.closed);
}

TEST(ContourLines, LogValuesReportTheLevelInTheGridsUnits) {
  GridModel grid = Cone(11, 1.0f, 105.0, -45.0);
  for (float& v : grid.values) v = std::pow(10.0f, v / 2.0f);  // 10^(r/2)
  ContourRequest request;
  request.levels = {1.0};  // log10 = 1: r = 2
  request.logValues = true;
  const std::vector<ContourLine> lines = TraceContours(grid, request);
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_DOUBLE_EQ(lines[0].level, 10.0);
  EXPECT_TRUE(lines[0].closed);
}

TEST(ContourLines, NothingFromAGridWithoutValuesOrALevelOutsideTheRange) {
  ContourRequest request;
  request.levels = {1.0};
  EXPECT_TRUE(TraceContours(GridModel{}, request).empty());
  request.levels = {1000.0};
  EXPECT_TRUE(TraceContours(Cone(5, 1.0f, 102.0, -48.0), request).empty());
}

}  // namespace
}  // namespace gridora
