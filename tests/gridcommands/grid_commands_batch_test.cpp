// The Grid menu's commands from a script: grid math, volume, filter and residuals on
// small grids whose results are worked out by hand, and the refusals that must leave
// the document as it was.
#include <fmt/format.h>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>
#include <vector>

#include "commands/menu_layout.h"
#include "document/grid_model.h"
#include "document/random_data.h"
#include "formats/snp_save.h"
#include "menus/command_catalogue.h"
#include "support/batch_run.h"

namespace gridora {
namespace {

using test::BatchRun;

// Gives the document a one-layer grid on `layout` with the values column by column
// (index ix*ny + iy); `empty` (if any) marks nodes without a value.
void SetGrid(Document& doc, const NodeLayout& layout, const std::vector<float>& values,
             const std::vector<std::uint8_t>& empty = {}) {
  GridModel& grid = *doc.grid;
  ASSERT_TRUE(grid.Reshape(1, layout.nx, layout.ny));
  grid.SetLayout(layout);
  ASSERT_EQ(values.size(), grid.NodeCount());
  grid.values = values;
  grid.emptyNodes = empty;
  grid.ComputeLayerRange(0);
}

// Saves a one-layer document file with the grid on `layout`.
void SaveGridFile(const std::filesystem::path& path, const NodeLayout& layout, const std::vector<float>& values,
                  const std::vector<std::uint8_t>& empty = {}) {
  GridModel grid;
  ASSERT_TRUE(grid.Reshape(1, layout.nx, layout.ny));
  grid.SetLayout(layout);
  grid.values = values;
  grid.emptyNodes = empty;
  grid.ComputeLayerRange(0);
  auto points = CreateRandomData();
  std::string problem;
  ASSERT_TRUE(SaveSnpFile(grid, *points, path.string(), problem)) << problem;
}

void SetPoints(Document& doc, const std::vector<DataPoint>& points) {
  RandomData& data = *doc.primaryData;
  data.StartRanges();
  for (const DataPoint& p : points) {
    data.points[data.count++] = p;
    data.ExtendRanges(p);
  }
}

bool IsEmpty(const GridModel& grid, std::size_t k) { return !grid.emptyNodes.empty() && grid.emptyNodes[k] != 0; }

// 3 x 2 nodes at x = 10, 12, 14 and y = 5, 6.
const NodeLayout kSmall{10, 5, 2, 1, 3, 2};
const std::vector<float> kSmallValues = {4, -2, 1, 0, 8, 3};

TEST(GridMathBatch, EachOperationWithAConstantGivesTheHandValuesAtEveryNode) {
  struct Case {
    const char* line;
    std::vector<float> expected;
  };
  const Case cases[] = {
      {"grid-math op=add value=2.5", {6.5f, 0.5f, 3.5f, 2.5f, 10.5f, 5.5f}},
      {"grid-math op=subtract value=1", {3, -3, 0, -1, 7, 2}},
      {"grid-math op=multiply value=-2", {-8, 4, -2, 0, -16, -6}},
      {"grid-math op=divide value=4", {1, -0.5f, 0.25f, 0, 2, 0.75f}},
      {"grid-math op=minimum value=1", {1, -2, 1, 0, 1, 1}},
      {"grid-math op=maximum value=1", {4, 1, 1, 1, 8, 3}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    BatchRun run;
    SetGrid(run.doc, kSmall, kSmallValues);
    ASSERT_EQ(run.Run(std::string(c.line) + "\n"), 0) << run.err.str();
    const GridModel& grid = *run.doc.grid;
    EXPECT_EQ(grid.values, c.expected);
    EXPECT_TRUE(grid.emptyNodes.empty());
    EXPECT_EQ(grid.layerCount, 1);
    EXPECT_EQ(grid.Layout().x0, 10);
    EXPECT_EQ(grid.NX, 3);
    EXPECT_NE(run.out.str().find("Grid math completed"), std::string::npos);
  }
}

TEST(GridMathBatch, ADivisionByAZeroNodeOfASecondGridLeavesThatNodeEmpty) {
  BatchRun run;
  SetGrid(run.doc, kSmall, kSmallValues);
  // The second grid has an empty node too: its node stays empty whatever the operation.
  SaveGridFile(run.folder / "second.snp", kSmall, {2, 0, 4, 1, -1, 3}, {0, 0, 0, 0, 0, 1});
  ASSERT_EQ(run.Run("grid-math second.snp op=divide\n"), 0) << run.err.str();
  const GridModel& grid = *run.doc.grid;
  ASSERT_EQ(grid.emptyNodes.size(), 6u);
  const std::vector<std::uint8_t> empty = {0, 1, 0, 0, 0, 1};
  EXPECT_EQ(grid.emptyNodes, empty);
  for (std::size_t k : {0u, 2u, 3u, 4u}) EXPECT_EQ(grid.values[k], (std::vector<float>{2, 0, 0.25f, 0, -8, 1})[k]);
  // The range follows the nodes with values.
  EXPECT_EQ(grid.layerMinimum[0], -8.0f);
  EXPECT_EQ(grid.layerMaximum[0], 2.0f);
  EXPECT_NE(run.out.str().find("4 nodes with values, 2 empty"), std::string::npos) << run.out.str();
}

TEST(GridMathBatch, ARasterOnOtherNodesIsResampledBilinearlyAndNodesOutsideItGoEmpty) {
  BatchRun run;
  // Nodes x = 0 .. 4, y = 0 .. 2; every value 100.
  const NodeLayout layout{0, 0, 1, 1, 5, 3};
  SetGrid(run.doc, layout, std::vector<float>(15, 100.0f));
  // Pixel centres at x = 0, 2 and y = 0, 2 holding z = 10x + y (the first row is the
  // northern one): bilinear reproduces the plane at the nodes between them.
  test::WriteFileBytes(run.folder / "plane.asc",
                       "ncols 2\nnrows 2\nxllcorner -1\nyllcorner -1\ncellsize 2\n2 22\n0 20\n");
  ASSERT_EQ(run.Run("grid-math plane.asc op=add\n"), 0) << run.err.str() << run.out.str();
  const GridModel& grid = *run.doc.grid;
  ASSERT_EQ(grid.emptyNodes.size(), 15u);
  for (int ix = 0; ix < 5; ++ix)
    for (int iy = 0; iy < 3; ++iy) {
      SCOPED_TRACE(testing::Message() << ix << "," << iy);
      const std::size_t k = layout.Index(ix, iy);
      if (ix > 2) {
        EXPECT_TRUE(IsEmpty(grid, k));
      } else {
        EXPECT_FALSE(IsEmpty(grid, k));
        EXPECT_EQ(grid.values[k], 100.0f + 10 * ix + iy);
      }
    }
}

TEST(GridMathBatch, ARastersNoDataPixelEmptiesTheNodesItWeighsOn) {
  BatchRun run;
  const NodeLayout layout{0, 0, 1, 1, 3, 3};
  SetGrid(run.doc, layout, std::vector<float>(9, 100.0f));
  // The pixel centred at (0, 2) is no-data: every node within a pixel spacing of it
  // (x < 2 and y > 0) gives it a weight above 0 and goes empty.
  test::WriteFileBytes(run.folder / "holed.asc",
                       "ncols 2\nnrows 2\nxllcorner -1\nyllcorner -1\ncellsize 2\nNODATA_value -9999\n"
                       "-9999 22\n0 20\n");
  ASSERT_EQ(run.Run("grid-math holed.asc op=subtract\n"), 0) << run.err.str() << run.out.str();
  const GridModel& grid = *run.doc.grid;
  ASSERT_EQ(grid.emptyNodes.size(), 9u);
  for (int ix = 0; ix < 3; ++ix)
    for (int iy = 0; iy < 3; ++iy) {
      SCOPED_TRACE(testing::Message() << ix << "," << iy);
      const std::size_t k = layout.Index(ix, iy);
      EXPECT_EQ(IsEmpty(grid, k), ix < 2 && iy > 0);
      if (!IsEmpty(grid, k)) {
        EXPECT_EQ(grid.values[k], 100.0f - (10 * ix + iy));
      }
    }
}

TEST(GridMathBatch, RefusalsTellWhyAndLeaveTheGridAsItWas) {
  struct Case {
    const char* script;
    const char* said;  // in the printed message or the error line
  };
  const Case cases[] = {
      {"grid-math missing.snp op=add\n", "missing.snp"},
      {"grid-math op=divide value=0\n", "Every node of the result would be empty"},
      {"grid-math far.asc op=add\n", "does not cover any node"},
      {"grid-math points.snp op=add\n", "holds no grid"},
      {"grid-math far.asc op=add value=3\n", "value= is the constant"},
      {"grid-math op=power value=2\n", "refused by the dialog"},
      {"grid-math op=add value=nan\n", "refused by the dialog"},
      {"filter type=boxcar width=0\n", "The filter width must be greater than 0"},
      {"filter type=gaussian width=-3\n", "The filter width must be greater than 0"},
      {"filter type=boxcar width=1e9\n", "covers more than"},
      {"volume missing.tif\n", "missing.tif"},
      {"volume far.asc method=trapezoid level=2\n", "level= is the level"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.script);
    BatchRun run;
    SetGrid(run.doc, kSmall, kSmallValues);
    // A raster far beside the grid, and a document file with points only.
    test::WriteFileBytes(run.folder / "far.asc",
                         "ncols 2\nnrows 2\nxllcorner 1000\nyllcorner 1000\ncellsize 1\n1 2\n3 4\n");
    {
      GridModel none;
      auto points = CreateRandomData();
      points->points[0] = {1, 2, 3};
      points->count = 1;
      std::string problem;
      ASSERT_TRUE(SaveSnpFile(none, *points, (run.folder / "points.snp").string(), problem)) << problem;
    }
    EXPECT_EQ(run.Run(c.script), 2);
    EXPECT_NE((run.out.str() + run.err.str()).find(c.said), std::string::npos) << run.out.str() << run.err.str();
    const GridModel& grid = *run.doc.grid;
    EXPECT_EQ(grid.values, kSmallValues);
    EXPECT_TRUE(grid.emptyNodes.empty());
    EXPECT_EQ(grid.NX, 3);
  }
}

TEST(GridMathBatch, EveryCommandIsDisabledWithoutAGridAndResidualsWithoutPoints) {
  for (const char* line : {"grid-math op=add value=1\n", "grid-math x.snp\n", "volume\n", "volume x.snp\n",
                           "filter width=1\n", "residuals\n"}) {
    SCOPED_TRACE(line);
    BatchRun run;
    EXPECT_EQ(run.Run(line), 2);
    EXPECT_NE(run.err.str().find("is disabled now"), std::string::npos) << run.err.str();
  }
  BatchRun run;
  SetGrid(run.doc, kSmall, kSmallValues);
  EXPECT_EQ(run.Run("residuals\n"), 2);
  EXPECT_NE(run.err.str().find("is disabled now"), std::string::npos) << run.err.str();
}

// 3 x 3 nodes, dx = 2, dy = 1, against the level 1. Node weights of the trapezoid rule
// (dx*dy = 2): corners 0.5, edges 1, the middle 2. z - 1 by column:
//   ix = 0: -1  0  1      ix = 1: 2  3  4      ix = 2: -2 -1  5
// positive = 1*0.5 + 2*1 + 3*2 + 4*1 + 5*0.5 = 15
// negative = 1*0.5 + 2*0.5 + 1*1 = 2.5, net = 12.5
// area above = 0.5 + 1 + 2 + 1 + 0.5 = 5, area below = 0.5 + 0.5 + 1 = 2
const NodeLayout kVolumeNodes{0, 0, 2, 1, 3, 3};
const std::vector<float> kVolumeValues = {0, 1, 2, 3, 4, 5, -1, 0, 6};

TEST(VolumeBatch, TrapezoidToALevelAndToTheSameLevelAsALowerSurfaceMatchTheHandSums) {
  const char* kExpected = "method,positive,negative,net,area_positive,area_negative\r\ntrapezoid,15,2.5,12.5,5,2\r\n";
  {
    BatchRun run;
    SetGrid(run.doc, kVolumeNodes, kVolumeValues);
    ASSERT_EQ(run.Run("volume level=1 method=trapezoid\n"), 0) << run.err.str();
    EXPECT_EQ(test::ReadFileBytes(run.folder / "volume.csv"), kExpected);
    EXPECT_NE(run.out.str().find("net (above - below): 12.5"), std::string::npos) << run.out.str();
    EXPECT_EQ(run.doc.grid->values, kVolumeValues);  // the volume changes nothing
  }
  {
    BatchRun run;
    SetGrid(run.doc, kVolumeNodes, kVolumeValues);
    SaveGridFile(run.folder / "lower.snp", kVolumeNodes, std::vector<float>(9, 1.0f));
    ASSERT_EQ(run.Run("volume lower.snp\n"), 0) << run.err.str();
    EXPECT_EQ(test::ReadFileBytes(run.folder / "volume.csv"), kExpected);
  }
}

// The same grid with node (2, 2) empty: the cell at the top right goes, so each node
// weighs (complete cells around it)/4 * 2:
//   (0,0) 0.5 (0,1) 1 (0,2) 0.5 (1,0) 1 (1,1) 1.5 (1,2) 0.5 (2,0) 0.5 (2,1) 0.5
// positive = 1*0.5 + 2*1 + 3*1.5 + 4*0.5 = 9, negative = 0.5 + 2*0.5 + 1*0.5 = 2
// area above = 0.5 + 1 + 1.5 + 0.5 = 3.5, area below = 0.5 + 0.5 + 0.5 = 1.5
TEST(VolumeBatch, AnEmptyNodeTakesItsCellsOutOfTheTrapezoidAndIsRefusedBySimpson) {
  const std::vector<std::uint8_t> empty = {0, 0, 0, 0, 0, 0, 0, 0, 1};
  BatchRun run;
  SetGrid(run.doc, kVolumeNodes, kVolumeValues, empty);
  ASSERT_EQ(run.Run("volume level=1\n"), 0) << run.err.str();
  EXPECT_EQ(test::ReadFileBytes(run.folder / "volume.csv"),
            "method,positive,negative,net,area_positive,area_negative\r\ntrapezoid,9,2,7,3.5,1.5\r\n");
  EXPECT_EQ(run.Run("volume level=1 method=simpson\n"), 2);
  EXPECT_NE(run.out.str().find("use the trapezoid method"), std::string::npos) << run.out.str();
}

TEST(FilterBatch, EveryFilterKeepsEmptyNodesEmptyAndLeavesThemOutOfItsNeighbours) {
  // 5 x 5 nodes of z = 10x + y; the middle node is empty and holds a value that must
  // not reach its neighbours.
  const NodeLayout layout{0, 0, 1, 1, 5, 5};
  std::vector<float> values(25);
  for (int ix = 0; ix < 5; ++ix)
    for (int iy = 0; iy < 5; ++iy) values[layout.Index(ix, iy)] = static_cast<float>(10 * ix + iy);
  const std::size_t middle = layout.Index(2, 2);
  values[middle] = 1000;
  std::vector<std::uint8_t> empty(25, 0);
  empty[middle] = 1;
  // Width 2.5: the footprint is the node and its four neighbours along the axes, a
  // neighbour at distance 1 weighing exp(-1 / (2 sigma^2)), sigma = 2.5 / 6, in the
  // Gaussian.
  const double w = std::exp(-1.0 / (2 * (2.5 / 6) * (2.5 / 6)));
  struct Case {
    const char* type;
    double beside;  // node (1, 2): itself 12, (0, 2) 2, (1, 1) 11, (1, 3) 13
    double corner;  // node (0, 0): itself 0, (1, 0) 10, (0, 1) 1
  };
  const Case cases[] = {
      {"boxcar", (12 + 2 + 11 + 13) / 4.0, 11 / 3.0},
      {"median", (11 + 12) / 2.0, 1},
      {"gaussian", (12 + w * (2 + 11 + 13)) / (1 + 3 * w), w * (10 + 1) / (1 + 2 * w)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.type);
    BatchRun run;
    SetGrid(run.doc, layout, values, empty);
    ASSERT_EQ(run.Run(std::string("filter width=2.5 type=") + c.type + "\n"), 0) << run.err.str();
    const GridModel& grid = *run.doc.grid;
    ASSERT_EQ(grid.emptyNodes.size(), 25u);
    for (std::size_t k = 0; k < 25; ++k) EXPECT_EQ(grid.emptyNodes[k] != 0, k == middle) << k;
    EXPECT_FLOAT_EQ(grid.values[layout.Index(1, 2)], static_cast<float>(c.beside));
    EXPECT_FLOAT_EQ(grid.values[layout.Index(0, 0)], static_cast<float>(c.corner));
    // A whole, symmetric footprint keeps a linear surface.
    EXPECT_FLOAT_EQ(grid.values[layout.Index(1, 1)], 11.0f);
  }
}

TEST(ResidualsBatch, BilinearGridValuesAtThePointsAndTheOnesOutsideCounted) {
  // z = 2x + 3y + 1 on 5 x 5 nodes: bilinear interpolation reproduces the plane.
  const NodeLayout layout{0, 0, 1, 1, 5, 5};
  std::vector<float> values(25);
  for (int ix = 0; ix < 5; ++ix)
    for (int iy = 0; iy < 5; ++iy) values[layout.Index(ix, iy)] = static_cast<float>(2 * ix + 3 * iy + 1);
  BatchRun run;
  SetGrid(run.doc, layout, values);
  SetPoints(run.doc, {{1.5, 2.25, 10}, {0, 0, 2}, {5, 1, 0}, {4, 4, 21}, {-0.1, 2, 0}});
  ASSERT_EQ(run.Run("residuals\n"), 0) << run.err.str();
  EXPECT_EQ(test::ReadFileBytes(run.folder / "residuals.csv"),
            "x,y,observed,grid,residual\r\n"
            "1.5,2.25,10,10.75,-0.75\r\n"
            "0,0,2,1,1\r\n"
            "4,4,21,21,0\r\n");
  const std::string out = run.out.str();
  EXPECT_NE(out.find(fmt::format("mean = {:.10g}, RMS = {:.10g}", 0.25 / 3, std::sqrt(1.5625 / 3))), std::string::npos)
      << out;
  EXPECT_NE(out.find("2 points outside the grid skipped"), std::string::npos) << out;
}

TEST(GridMenu, TheGridMenuComesAfterTheFirstReleasesMenus) {
  const std::vector<Menu> bar = MenuBar(BuildCommandTable());
  ASSERT_GE(bar.size(), 2u);
  EXPECT_EQ(bar[bar.size() - 2].title, "&Help");
  EXPECT_EQ(bar.back().title, "&Grid");
}

}  // namespace
}  // namespace gridora
