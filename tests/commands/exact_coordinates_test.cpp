// Projected coordinates (eastings of 353238.3 m, northings of 4100033.1 m) keep every
// digit through the commands: reading, gridding, the grid's dialog and a save and open.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>

#include "support/batch_run.h"

namespace gridora {
namespace {

using test::BatchRun;

void ExpectSame(double actual, double expected) {
  EXPECT_EQ(std::bit_cast<std::uint64_t>(actual), std::bit_cast<std::uint64_t>(expected)) << actual << " " << expected;
}

// "property" without keys is OK pressed at once: the grid stays exactly where it is.
TEST(ExactCoordinates, PropertyWithoutAnEditMovesNothing) {
  struct Case {
    double x0, y0, dx, dy;
  } cases[] = {
      {353238.3, 4100033.1, 0.1, 0.25},
      {0.1, 1e-7, 1e-7, 0.30000000000000004},
      {-0.0, -4100033.17, 1e15, 2.5},
      {222.038223, 1.0 / 3.0, 1.0 / 7.0, 353238.3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.x0);
    BatchRun run;
    GridModel& grid = *run.doc.grid;
    ASSERT_TRUE(grid.Reshape(1, 3, 3));
    grid.x0 = c.x0;
    grid.y0 = c.y0;
    grid.DX = c.dx;
    grid.DY = c.dy;
    ASSERT_EQ(run.Run("property\n"), 0) << run.err.str();
    ExpectSame(grid.x0, c.x0);
    ExpectSame(grid.y0, c.y0);
    ExpectSame(grid.DX, c.dx);
    ExpectSame(grid.DY, c.dy);
  }
}

TEST(ExactCoordinates, GriddingSavingAndOpeningKeepEveryDigit) {
  BatchRun run;
  test::WriteFileBytes(run.folder / "points.xyz",
                       "353238.30 4100033.10 12.5\r\n353250.71 4100041.93 14.25\r\n353244.05 4100037.46 13.1\r\n");
  ASSERT_EQ(run.Run("open-random points.xyz\n"), 0) << run.err.str();
  EXPECT_NE(run.out.str().find("Y : min. = 4100033.100000 max. = 4100041.930000"), std::string::npos) << run.out.str();
  ASSERT_EQ(run.Run("min-curvature dx=0.5 dy=0.5\nsave exact.snp\n"), 0) << run.err.str();
  const GridModel& grid = *run.doc.grid;
  ExpectSame(grid.x0, 353238.3);
  ExpectSame(grid.y0, 4100033.1);
  ExpectSame(grid.DX, 0.5);
  EXPECT_EQ(grid.NX, 26);  // counted in single precision, as always
  ExpectSame(run.doc.primaryData->xMaximum, 353250.71);

  BatchRun other;
  test::WriteFileBytes(other.folder / "exact.snp", test::ReadFileBytes(run.folder / "exact.snp"));
  ASSERT_EQ(other.Run("open exact.snp\n"), 0) << other.err.str();
  ExpectSame(other.doc.grid->x0, 353238.3);
  ExpectSame(other.doc.grid->y0, 4100033.1);
  ASSERT_EQ(other.doc.primaryData->count, 3);
  ExpectSame(other.doc.primaryData->points[1].x, 353250.71);
  ExpectSame(other.doc.primaryData->points[1].y, 4100041.93);
  ExpectSame(other.doc.primaryData->points[2].z, 13.1);
  EXPECT_EQ(other.doc.grid->values, grid.values);
}

}  // namespace
}  // namespace gridora
