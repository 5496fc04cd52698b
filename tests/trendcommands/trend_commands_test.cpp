#include <gtest/gtest.h>

#include <cmath>

#include "commands/command_ids.h"
#include "document/grid_model.h"
#include "support/test_support.h"
#include "trend/trend_surface.h"
#include "trendcommands/trend_dialog.h"

namespace gridora {
namespace {

double Plane(double x, double y) { return 3.0 + 0.5 * x - 0.25 * y; }

struct TrendCommandFixture : test::DocumentFixture {
  test::TempFolder folder;
  TrendCommandFixture() {
    doc->dataFolder = folder.Path().string();
    RandomData& data = *doc->primaryData;
    data.count = 0;
    data.StartRanges();
    const double bumps[] = {0.1, -0.2, 0.05, 0.3, -0.1, -0.15};
    for (int i = 0; i < 6; ++i) {
      const double x = i % 3 * 2.0, y = i / 3 * 3.0 + i * 0.1;
      data.points[data.count++] = {x, y, Plane(x, y) + bumps[i]};
      data.ExtendRanges(data.points[i]);
    }
  }
  void Degree(int degree) {
    ui.dialogHandlers.push_back([degree](DialogData& d) {
      dynamic_cast<TrendDialog&>(d).degree = degree - 1;
      return true;
    });
  }
};

// The points keep their residuals, the file the coefficients, and "Add trend" puts the
// plane back on a grid of zeros node by node.
TEST(TrendCommands, TrendThenAddTrendRestoresThePlane) {
  TrendCommandFixture f;
  EXPECT_FALSE(f.State(ID_ADD_TREND).enabled);
  f.Degree(1);
  ASSERT_EQ(f.Run(ID_TREND), CommandStatus::Done) << (f.ui.messages.empty() ? "" : f.ui.messages.back());
  ASSERT_TRUE(f.doc->trend);
  const RandomData& data = *f.doc->primaryData;
  double sum = 0.0;
  for (int i = 0; i < data.count; ++i) sum += data.points[i].z;
  EXPECT_NEAR(sum, 0.0, 1e-12);  // least-squares residuals with a constant term sum to 0
  EXPECT_NE(test::ReadFileBytes(f.folder / "trend.csv").find("term,coefficient\r\n1,"), std::string::npos);

  f.doc->grid = CreateGridModel(f.profile);
  GridModel& grid = *f.doc->grid;
  ASSERT_TRUE(grid.Reshape(1, 4, 3));
  grid.x0 = -1.0;
  grid.y0 = 2.0;
  grid.DX = 1.5;
  grid.DY = 2.0;
  std::fill(grid.values.begin(), grid.values.end(), 0.0f);
  ASSERT_TRUE(f.State(ID_ADD_TREND).enabled);
  ASSERT_EQ(f.Run(ID_ADD_TREND), CommandStatus::Done);
  for (int i = 0; i < 4; ++i)
    for (int j = 0; j < 3; ++j) EXPECT_NEAR(grid.Value(0, i, j), f.doc->trend->At(-1.0 + 1.5 * i, 2.0 + 2.0 * j), 1e-5);
}

// A degree the points cannot carry is refused; the points stay as they were.
TEST(TrendCommands, RefusedFitLeavesThePointsAlone) {
  TrendCommandFixture f;
  const double before = f.doc->primaryData->points[2].z;
  f.Degree(3);
  EXPECT_EQ(f.Run(ID_TREND), CommandStatus::Failed);
  EXPECT_EQ(f.doc->primaryData->points[2].z, before);
  EXPECT_FALSE(f.doc->trend);
  EXPECT_FALSE(std::filesystem::exists(f.folder / "trend.csv"));
}

}  // namespace
}  // namespace gridora
