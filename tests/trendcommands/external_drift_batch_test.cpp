// Kriging with external drift through the batch mode: add-drift reads an ESRI ASCII grid
// (pixel centres at 2.5, 7.5, ..., 117.5 in x and 2.5, ..., 97.5 in y), refuses points
// and files it cannot take, leaves the nodes outside the raster empty, and the drift
// takes the raster's pattern out of the cross-validation errors.
#include <fmt/format.h>
#include <gtest/gtest.h>

#include <cmath>
#include <iostream>
#include <random>
#include <string>

#include "document/grid_model.h"
#include "geostat/cross_validation.h"
#include "geostat/kriging_state.h"
#include "render/recording_context.h"
#include "support/batch_run.h"
#include "trend/external_drift.h"
#include "view/variogram_chart.h"

namespace gridora {
namespace {

// The covariate: a valley along x = 60 and a wave in y.
double Covariate(double x, double y) { return 0.02 * (x - 60.0) * (x - 60.0) + 5.0 * std::sin(y / 15.0); }

// 24 x 20 pixels of 5 units from (0, 0); rows from the top, as the format has them.
std::string DriftGrid(int noDataColumn = -1) {
  std::string text = "ncols 24\nnrows 20\nxllcorner 0\nyllcorner 0\ncellsize 5\nNODATA_value -9999\n";
  for (int row = 19; row >= 0; --row) {
    for (int column = 0; column < 24; ++column)
      text += column == noDataColumn ? "-9999 " : fmt::format("{:.9g} ", Covariate(2.5 + 5 * column, 2.5 + 5 * row));
    text += "\n";
  }
  return text;
}

// Points over [10, 110] x [10, 90] on the covariate, and `outside` more beyond it.
std::string DriftPoints(int outside = 0) {
  std::mt19937 random(77u);
  std::uniform_real_distribution<double> px(10.0, 110.0), py(10.0, 90.0);
  std::normal_distribution<double> noise(0.0, 0.3);
  std::string text;
  for (int i = 0; i < 80; ++i) {
    const double x = px(random), y = py(random);
    const double z = 50.0 + 2.0 * Covariate(x, y) + 1.5 * std::sin(x / 9.0) * std::cos(y / 7.0) + noise(random);
    text += fmt::format("{:.6f} {:.6f} {:.6f}\r\n", x, y, z);
  }
  const double beyond[][2] = {{1.0, 50.0}, {119.0, 50.0}, {50.0, 99.0}, {50.0, 0.5}};
  for (int i = 0; i < outside; ++i) text += fmt::format("{} {} 10\r\n", beyond[i][0], beyond[i][1]);
  return text;
}

struct DriftRun : test::BatchRun {
  DriftRun(int outsidePoints = 0) {
    test::WriteFileBytes(folder / "points.xyz", DriftPoints(outsidePoints));
    test::WriteFileBytes(folder / "drift.asc", DriftGrid());
  }
  std::string Said() const { return out.str() + err.str(); }
};

TEST(ExternalDriftBatch, PointsOutsideTheRasterAreRefusedWithTheirCount) {
  {  // when the raster is added
    DriftRun run(3);
    EXPECT_EQ(run.Run("open-random points.xyz\nadd-drift drift.asc\n"), 2);
    EXPECT_NE(run.Said().find("3 of the 83 points lie outside the drift raster"), std::string::npos) << run.Said();
    EXPECT_TRUE(run.doc.driftRasters.empty());
  }
  {  // points opened after it: the variogram refuses them, the state stays as it was
    DriftRun run(4);
    test::WriteFileBytes(run.folder / "inside.xyz", DriftPoints(0));
    EXPECT_EQ(run.Run("open-random inside.xyz\nadd-drift drift.asc\nopen-random points.xyz\n"
                      "kriging-options type=ordinary\nvariogram lag=5\n"),
              2);
    EXPECT_NE(run.Said().find("4 of the 84 points lie outside a drift raster"), std::string::npos) << run.Said();
    EXPECT_EQ(run.doc.driftRasters.size(), 1u);
    EXPECT_FALSE(run.doc.krigingState && run.doc.krigingState->primary);
  }
}

// Hostile or missing files are refused by the confined reader; the rasters already added
// stay, and nothing else changes.
TEST(ExternalDriftBatch, RastersTheReaderRefusesLeaveTheDriftAsItWas) {
  DriftRun run;
  const std::string vrt =
      "<VRTDataset rasterXSize=\"24\" rasterYSize=\"20\"><VRTRasterBand dataType=\"Float32\" band=\"1\">"
      "<SimpleSource><SourceFilename relativeToVRT=\"1\">drift.asc</SourceFilename>"
      "<SourceBand>1</SourceBand></SimpleSource></VRTRasterBand></VRTDataset>";
  test::WriteFileBytes(run.folder / "drift.vrt", vrt);
  test::WriteFileBytes(run.folder / "disguised.tif", vrt);
  std::filesystem::create_directory(run.folder / "folder.asc");
  ASSERT_EQ(run.Run("open-random points.xyz\nadd-drift drift.asc\n"), 0) << run.Said();
  ASSERT_EQ(run.doc.driftRasters.size(), 1u);
  const auto kept = run.doc.driftRasters[0];
  for (const char* name : {"drift.vrt", "disguised.tif", "missing.asc", "folder.asc"}) {
    SCOPED_TRACE(name);
    run.out.str("");
    EXPECT_EQ(run.Run(fmt::format("add-drift {}\n", name)), 2);
    EXPECT_NE(run.Said().find("The drift is unchanged."), std::string::npos) << run.Said();
    ASSERT_EQ(run.doc.driftRasters.size(), 1u);
    EXPECT_EQ(run.doc.driftRasters[0], kept);
    EXPECT_EQ(run.doc.primaryData->count, 80);
  }
}

// Nodes beyond the pixel centres (x 0 and 120, y 0 and 100) and beside a no-data column
// stay empty in the grid's mask, globally and from neighbourhoods; the others have an
// estimate and a standard error.
TEST(ExternalDriftBatch, NodesWithoutTheRasterStayEmpty) {
  struct Case {
    const char* options;
    int noDataColumn;
  };
  const Case cases[] = {{"", -1}, {" neighbours=16", -1}, {"", 23}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.options) + std::to_string(c.noDataColumn));
    DriftRun run;
    test::WriteFileBytes(run.folder / "drift.asc", DriftGrid(c.noDataColumn));
    ASSERT_EQ(run.Run(std::string("open-random points.xyz\nadd-drift drift.asc\nkriging-options type=ordinary") +
                      c.options + "\nvariogram lag=5\nprediction xmin=0 ymin=0 xmax=120 ymax=100 dx=5 dy=5\n"),
              0)
        << run.Said();
    const GridModel& grid = *run.doc.grid;
    ASSERT_EQ(grid.NX, 25);
    ASSERT_EQ(grid.NY, 21);
    ASSERT_EQ(grid.emptyNodes.size(), grid.NodeCount());
    ASSERT_EQ(grid.layerCount, 2);
    std::size_t empty = 0;
    for (int i = 0; i < grid.NX; ++i)
      for (int j = 0; j < grid.NY; ++j) {
        const double x = 5.0 * i, y = 5.0 * j;
        // The no-data pixel column 23 has its centre at 117.5: its cells from 112.5.
        const bool besideNoData = c.noDataColumn == 23 && x > 112.5;
        const bool known = x >= 2.5 && x <= 117.5 && y >= 2.5 && y <= 97.5 && !besideNoData;
        const std::size_t k = static_cast<std::size_t>(i) * grid.NY + j;
        EXPECT_EQ(grid.emptyNodes[k], known ? 0 : 1) << x << "," << y;
        empty += grid.emptyNodes[k];
        if (known) {
          EXPECT_TRUE(std::isfinite(grid.Value(0, i, j)));
          EXPECT_GT(grid.Value(1, i, j), 0.0f);
        }
      }
    EXPECT_NE(run.Said().find(fmt::format("{} nodes outside the drift rasters are left empty", empty)),
              std::string::npos)
        << run.Said();
  }
}

CrossValidation Validate(const std::string& lines) {
  DriftRun run;
  EXPECT_EQ(run.Run("open-random points.xyz\n" + lines +
                    "kriging-options type=ordinary fit=wls fit-nugget=yes maxlag=60\nvariogram lag=5\n"
                    "cross-validation\n"),
            0)
      << run.Said();
  if (!run.doc.krigingState || !run.doc.krigingState->crossValidation) return {};
  return *run.doc.krigingState->crossValidation;
}

TEST(ExternalDriftBatch, CrossValidationWithTheDriftFollowsTheCovariate) {
  const CrossValidation ordinary = Validate("");
  const CrossValidation drift = Validate("add-drift drift.asc\n");
  const CrossValidation cleared = Validate("add-drift drift.asc\nclear-drift\n");
  ASSERT_EQ(ordinary.points.size(), 80u);
  ASSERT_EQ(drift.points.size(), 80u);
  for (const auto& [name, cv] : {std::pair{"ordinary", &ordinary}, std::pair{"drift", &drift}})
    std::cout << fmt::format("{:>9}: mean error {:.4f}  RMSE {:.4f}  MSSE {:.3f}\n", name, cv->meanError,
                             cv->rootMeanSquareError, cv->meanStandardisedSquaredError);
  EXPECT_LT(drift.rootMeanSquareError, 0.8 * ordinary.rootMeanSquareError);
  EXPECT_DOUBLE_EQ(cleared.rootMeanSquareError, ordinary.rootMeanSquareError);
}

TEST(ExternalDriftBatch, TheDriftNeedsOrdinaryKrigingOfThePrimaryValues) {
  struct Case {
    const char* options;
    const char* said;
  };
  const Case cases[] = {{"type=simple", "choose ordinary kriging"},
                        {"type=ordinary transform=log", "clear the drift to use it"}};
  for (const Case& c : cases) {
    DriftRun run;
    EXPECT_EQ(run.Run(fmt::format("open-random points.xyz\nadd-drift drift.asc\nkriging-options {}\nvariogram lag=5\n",
                                  c.options)),
              2);
    EXPECT_NE(run.Said().find(c.said), std::string::npos) << run.Said();
    EXPECT_FALSE(run.doc.krigingState && run.doc.krigingState->primary);
  }
}

// With a drift, polynomial or external, the chart's cloud is of the residuals and its
// title says so; without one the chart has no title.
TEST(ExternalDriftBatch, TheVariogramChartNamesTheResidualsOfADrift) {
  struct Case {
    const char* lines;
    bool titled;
  };
  const Case cases[] = {{"kriging-options type=ordinary\n", false},
                        {"add-drift drift.asc\nkriging-options type=ordinary\n", true},
                        {"kriging-options type=ordinary drift=linear\n", true},
                        {"add-drift drift.asc\nkriging-options type=ordinary drift=quadratic\n", true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.lines);
    DriftRun run;
    ASSERT_EQ(run.Run(std::string("open-random points.xyz\n") + c.lines + "variogram lag=5\n"), 0) << run.Said();
    RecordingContext dc;
    DrawVariogramChart(dc, run.doc, LogicalRect{0, 0, 2000, -1500});
    int titles = 0;
    for (const auto& call : dc.CallsOf("TextOut")) titles += call.text == kResidualsTitle;
    EXPECT_EQ(titles, c.titled ? 1 : 0);
  }
}

}  // namespace
}  // namespace gridora
