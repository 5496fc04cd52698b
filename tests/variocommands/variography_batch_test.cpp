// The variography commands and the simulation from a script: their files, their
// messages, and the automatic model choice against its own table.
#include <fmt/printf.h>
#include <gdal_priv.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <regex>
#include <string>

#include "geostat/kriging_state.h"
#include "support/batch_run.h"
#include "view/document.h"

namespace gridora {
namespace {

using test::BatchRun;

// 80 points of a surface stretched along x, with a little noise, as "x y z" lines.
std::string PointsFile() {
  std::mt19937 generator(9);
  std::uniform_real_distribution<double> position(0.0, 100.0), noise(-0.2, 0.2);
  std::string text;
  for (int i = 0; i < 80; ++i) {
    const double x = position(generator), y = position(generator);
    text += fmt::sprintf("%.3f %.3f %.5f\n", x, y, std::cos(x / 40.0) + std::sin(y / 9.0) + noise(generator));
  }
  return text;
}

BatchRun& Loaded(BatchRun& run) {
  test::WriteFileBytes(run.folder / "points.xyz", PointsFile());
  return run;
}

TEST(VariographyBatch, DirectionalVariogramWritesItsClassesAndShowsTheChart) {
  BatchRun run;
  ASSERT_EQ(Loaded(run).Run("open-random points.xyz\n"
                            "directional-variogram angles=0,90 tolerance=30 lag=10 cutoff=50\n"),
            0)
      << run.err.str();
  const std::string csv = test::ReadFileBytes(run.folder / "directional_variogram.csv");
  EXPECT_EQ(csv.rfind("angle,lag,distance,gamma,pairs\r\n", 0), 0u);
  EXPECT_NE(csv.find("\r\n0,0,"), std::string::npos);
  EXPECT_NE(csv.find("\r\n90,4,"), std::string::npos);
  EXPECT_EQ(csv.find("\r\n0,5,"), std::string::npos);  // 5 * 10 is the cutoff
  EXPECT_EQ(run.doc.chartMode, ChartMode::Directional);
  // A bad list is the dialog's refusal: exit 2, nothing written over.
  EXPECT_EQ(run.Run("directional-variogram angles=north\n"), 2);
  EXPECT_EQ(test::ReadFileBytes(run.folder / "directional_variogram.csv"), csv);
}

TEST(VariographyBatch, VariogramMapPrintsTheProposalWhichTheOptionsTakeInOneClick) {
  BatchRun run;
  ASSERT_EQ(Loaded(run).Run("open-random points.xyz\nvariogram-map lag=8 cells=6\n"), 0) << run.err.str();
  EXPECT_NE(run.out.str().find("Proposed anisotropy: angle="), std::string::npos) << run.out.str();
  EXPECT_EQ(test::ReadFileBytes(run.folder / "variogram_map.csv").rfind("dx,dy,gamma,pairs\r\n", 0), 0u);
  EXPECT_EQ(run.doc.chartMode, ChartMode::VariogramMap);
  ASSERT_GT(run.doc.proposedRatio, 0.0);
  // The stretched surface varies slowly along x: the longest continuity lies near 0 degrees.
  EXPECT_TRUE(run.doc.proposedAngle < 30.0 || run.doc.proposedAngle > 150.0) << run.doc.proposedAngle;
}

// The family kept is the one with the smallest weighted error in the printed table, and
// it is the model the kriging then uses.
TEST(VariographyBatch, AutomaticModelKeepsTheSmallestErrorOfItsTable) {
  BatchRun run;
  ASSERT_EQ(Loaded(run).Run("open-random points.xyz\nkriging-options model=auto\nvariogram lag=8\n"), 0)
      << run.err.str();
  const std::string out = run.out.str();
  const std::regex line(
      "\n(exponential|spherical|gaussian|matern) range=\\S+ sill=\\S+ nugget=\\S+ weighted "
      "error=(\\S+)( \\(chosen\\))?");
  double smallest = INFINITY, chosenError = NAN;
  std::string chosen, smallestName;
  int rows = 0;
  for (std::sregex_iterator it(out.begin(), out.end(), line), end; it != end; ++it) {
    ++rows;
    const double error = std::stod((*it)[2].str());
    if (error < smallest) {  // the first of equal errors, as the choice keeps it
      smallest = error;
      smallestName = (*it)[1].str();
    }
    if ((*it)[3].matched) {
      chosen = (*it)[1].str();
      chosenError = error;
    }
  }
  EXPECT_EQ(rows, 4) << out;
  EXPECT_EQ(chosen, smallestName);
  EXPECT_EQ(chosenError, smallest);
  static const char* const names[] = {"exponential", "spherical", "gaussian", "matern"};
  ASSERT_TRUE(run.doc.krigingState && run.doc.krigingState->primary);
  EXPECT_EQ(names[static_cast<int>(run.doc.krigingState->primary->options.model)], chosen);
}

TEST(VariographyBatch, SimulationWritesEveryRealisationAndTheirMomentsBecomeTheGrid) {
  BatchRun run;
  ASSERT_EQ(Loaded(run).Run("open-random points.xyz\nkriging-options neighbours=12\nvariogram lag=8\n"
                            "simulate sims.tif xmin=0 ymin=0 xmax=100 ymax=100 dx=10 dy=10 realisations=4 seed=3\n"),
            0)
      << run.err.str() << run.out.str();
  EXPECT_NE(run.out.str().find("Sequential Gaussian simulation completed! 4 realisations"), std::string::npos);
  GDALAllRegister();
  GDALDataset* file = GDALDataset::Open((run.folder / "sims.tif").string().c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY);
  ASSERT_NE(file, nullptr);
  EXPECT_EQ(file->GetRasterCount(), 4);
  EXPECT_EQ(file->GetRasterXSize(), 11);
  // The grid's mean at node (3, 7) from the four bands (row 0 of the file is the north).
  double sum = 0.0, squares = 0.0;
  for (int b = 1; b <= 4; ++b) {
    float v = 0.0f;
    ASSERT_EQ(file->GetRasterBand(b)->RasterIO(GF_Read, 3, 10 - 7, 1, 1, &v, 1, 1, GDT_Float32, 0, 0), CE_None);
    sum += v;
    squares += static_cast<double>(v) * v;
  }
  GDALClose(file);
  const GridModel& grid = *run.doc.grid;
  ASSERT_EQ(grid.layerCount, 2);
  EXPECT_NEAR(grid.Value(0, 3, 7), sum / 4.0, 1e-5);
  const double variance = (squares - sum * sum / 4.0) / 3.0;
  EXPECT_NEAR(grid.Value(1, 3, 7), std::sqrt(std::max(0.0, variance)), 1e-4);
}

TEST(VariographyBatch, SimulationNeedsAFittedModel) {
  BatchRun run;
  EXPECT_EQ(Loaded(run).Run("open-random points.xyz\nsimulate s.tif realisations=2\n"), 2);
  EXPECT_FALSE(std::filesystem::exists(run.folder / "s.tif"));
}

}  // namespace
}  // namespace gridora
