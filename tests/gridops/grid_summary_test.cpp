#include "gridops/grid_summary.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "document/grid_model.h"
#include "document/random_data.h"

namespace gridora {
namespace {

// The node-by-point comparison, exactly as the distances are defined.
float BruteForceDistance(const GridModel& grid, const RandomData& data, int i, int j) {
  float d = 1.0e9f;
  for (int p = 0; p < data.count; ++p) {
    const float px = static_cast<float>(data.points[p].x - static_cast<double>(data.xMinimum));
    const float py = static_cast<float>(data.points[p].y - static_cast<double>(data.yMinimum));
    const float dx = static_cast<float>(i) * static_cast<float>(grid.DX) - px;
    const float dy = static_cast<float>(j) * static_cast<float>(grid.DY) - py;
    const float r = static_cast<float>(std::sqrt(static_cast<double>(dx * dx + dy * dy)));
    if (r < d) d = r;
  }
  return d;
}

TEST(DataDistance, EqualsTheNodeByPointComparison) {
  struct Case {
    const char* what;
    int nx, ny;
    float DX, DY;
    double x0, y0, width, height;  // where the points lie
    int count;
  } cases[] = {
      {"points spread over the grid", 23, 17, 1.0f, 1.0f, 0, 0, 22, 16, 60},
      {"points clustered in a corner, nodes far away", 40, 40, 1.0f, 1.0f, 0, 0, 3, 2, 25},
      {"points outside the grid", 12, 9, 0.5f, 2.0f, -30, -10, 60, 40, 200},
      {"large coordinates, fine spacing", 30, 20, 0.1f, 0.1f, 512000.0, 4100000.0, 3, 2, 80},
      {"many duplicate points", 10, 10, 1.0f, 1.0f, 2, 2, 0, 0, 50},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    auto data = CreateRandomData();
    std::mt19937 random(5);
    std::uniform_real_distribution<double> u(0.0, 1.0);
    for (int p = 0; p < c.count; ++p) data->points[p] = {c.x0 + u(random) * c.width, c.y0 + u(random) * c.height, 1.0};
    data->count = c.count;
    data->xMinimum = static_cast<float>(c.x0);
    data->yMinimum = static_cast<float>(c.y0);
    GridModel grid;
    ASSERT_TRUE(grid.Reshape(1, c.nx, c.ny));
    grid.DX = c.DX;
    grid.DY = c.DY;
    ASSERT_TRUE(ComputeDataDistance(grid, *data));
    for (int i = 0; i < c.nx; ++i)
      for (int j = 0; j < c.ny; ++j)
        ASSERT_EQ(grid.Distance(i, j), BruteForceDistance(grid, *data, i, j)) << i << "," << j;
  }
}

TEST(DataDistance, NoPointsGiveOneBillion) {
  auto data = CreateRandomData();
  GridModel grid;
  ASSERT_TRUE(grid.Reshape(1, 3, 2));
  ASSERT_TRUE(ComputeDataDistance(grid, *data));
  for (float d : grid.dataDistance) EXPECT_EQ(d, 1.0e9f);
}

}  // namespace
}  // namespace gridora
