// Kriging results the user must not trust are refused or reported, and the local mode's
// variogram editing and cross-validation, from a script.
#include <fmt/printf.h>
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

#include "../geostat/kriging_test_support.h"
#include "geostat/cross_validation.h"
#include "geostat/kriging_checks.h"
#include "geostat/kriging_state.h"
#include "support/batch_run.h"

namespace gridora {
namespace {

using test::BatchRun;

// 60 points of a smooth surface with a little noise, as "x y z" lines; `scale` and
// `trend` multiply the values and add a plane rising along x.
std::string PointsFile(double scale = 1.0, double trend = 0.0) {
  std::mt19937 generator(23);
  std::uniform_real_distribution<double> position(0.0, 100.0), noise(-0.3, 0.3);
  std::string text;
  for (int i = 0; i < 60; ++i) {
    const double x = position(generator), y = position(generator);
    const double z = std::cos(x / 25.0) + 0.03 * y + noise(generator) + trend * x;
    text += fmt::sprintf("%.3f %.3f %.6g\n", x, y, z * scale);
  }
  return text;
}

constexpr const char* kGrid = "prediction xmin=0 ymin=0 xmax=100 ymax=100 dx=5 dy=5\n";

bool Says(const BatchRun& run, const std::string& text) { return run.out.str().find(text) != std::string::npos; }

// Each case: a script that ends in a result nobody should trust, the exit status, what
// the user is told, and whether the kriging state that the last command would have made
// is there.
TEST(KrigingTrustBatch, UntrustworthyModelsAreRefusedOrReported) {
  const struct {
    const char* name;
    std::string points;
    std::string script;
    int exit;
    const char* message;
  } cases[] = {
      // A Gaussian model without nugget whose range spans the data: the system is
      // inverted, but its estimates at the data lie far from them.
      {"gaussian without nugget", PointsFile(),
       "kriging-options model=gaussian type=ordinary\nvariogram lag=8\nset-variogram range=150 sill=1\n", 2,
       "Give the model a small nugget"},
      // The same model with a small nugget is solved and predicts.
      {"gaussian with nugget", PointsFile(),
       std::string("kriging-options model=gaussian type=ordinary nugget=0.01\nvariogram lag=8\n"
                   "set-variogram range=150 sill=1\n") +
           kGrid,
       0, "Prediction by Kriging completed!"},
      // Values near 1e32 with the largest nugget the dialog takes: the standard errors
      // would overflow the grid's numbers.
      {"nugget beyond the grid's numbers", PointsFile(1e32), "kriging-options nugget=1e15\nvariogram lag=8\n", 2,
       "Choose a smaller nugget"},
      {"nugget beyond the dialog", PointsFile(), "kriging-options nugget=1e16\n", 2, "The nugget must be at most"},
      {"one neighbour", PointsFile(), "kriging-options neighbours=1\n", 2,
       "must be 0 (all points) or at least 3 (it is 1)"},
      {"two neighbours", PointsFile(), "kriging-options neighbours=2\n", 2, "at least 3 (it is 2)"},
      {"three neighbours", PointsFile(), std::string("kriging-options neighbours=3\nvariogram lag=8\n") + kGrid, 0,
       "each node from the nearest 3 points"},
      // Values that rise along x without levelling off: the least-squares fit runs out
      // to a range far beyond the data. Said, and the fit kept.
      {"range beyond the data", PointsFile(1.0, 1.0), "kriging-options fit=wls\nvariogram lag=8\n", 0,
       "times the extent of the data"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    BatchRun run;
    test::WriteFileBytes(run.folder / "points.xyz", c.points);
    EXPECT_EQ(run.Run("open-random points.xyz\n" + c.script), c.exit) << run.out.str();
    EXPECT_TRUE(Says(run, c.message)) << run.out.str();
    EXPECT_FALSE(Says(run, "completed!") && c.exit != 0) << run.out.str();
  }
}

// A Gaussian model refused by "Set experimental variogram" leaves the model and the
// inverse as they were; the far range keeps its fit.
TEST(KrigingTrustBatch, RefusalsKeepTheStateAndTheFarRangeKeepsItsFit) {
  BatchRun gaussian;
  test::WriteFileBytes(gaussian.folder / "points.xyz", PointsFile());
  ASSERT_EQ(gaussian.Run("open-random points.xyz\nkriging-options type=ordinary\nvariogram lag=8\n"), 0)
      << gaussian.out.str();
  const double range = gaussian.doc.krigingState->primary->a;
  const DenseMatrix before = *gaussian.doc.krigingState->inverse;
  EXPECT_EQ(gaussian.Run("kriging-options model=gaussian type=ordinary\nset-variogram range=150 sill=1\n"), 2);
  EXPECT_TRUE(Says(gaussian, "Give the model a small nugget")) << gaussian.out.str();
  EXPECT_EQ(gaussian.doc.krigingState->primary->a, range);
  EXPECT_EQ(gaussian.doc.krigingState->primary->options.model, VariogramKind::Exponential);
  EXPECT_EQ(gaussian.doc.krigingState->inverse->rows, before.rows);
  EXPECT_EQ(gaussian.doc.krigingState->inverse->values[0][0], before.values[0][0]);

  BatchRun far;
  test::WriteFileBytes(far.folder / "points.xyz", PointsFile(1.0, 1.0));
  ASSERT_EQ(far.Run("open-random points.xyz\nkriging-options fit=wls\nvariogram lag=8\n"), 0) << far.out.str();
  const VariogramModel& model = *far.doc.krigingState->primary;
  EXPECT_GT(model.a, kFarRangeFactor * DataDiagonal(model));
  EXPECT_TRUE(far.doc.krigingState->inverse);
}

// A document whose mask of empty nodes or exact part is cut short says so when it is opened.
TEST(KrigingTrustBatch, ADamagedMaskOfEmptyNodesIsReported) {
  BatchRun run;
  test::WriteFileBytes(run.folder / "points.xyz", PointsFile());
  ASSERT_EQ(run.Run(std::string("open-random points.xyz\nkriging-options neighbours=8 maxdist=9\nvariogram lag=8\n") +
                    kGrid + "save local.snp\n"),
            0)
      << run.out.str();
  ASSERT_FALSE(run.doc.grid->emptyNodes.empty());
  // Cut inside the mask ("KEMP" and its marks), and inside the exact part after it ("KDBL").
  const std::string whole = test::ReadFileBytes(run.folder / "local.snp");
  const std::size_t mask = whole.rfind("KEMP"), exact = whole.rfind("KDBL");
  ASSERT_NE(mask, std::string::npos);
  ASSERT_NE(exact, std::string::npos);
  test::WriteFileBytes(run.folder / "cut.snp", whole.substr(0, mask + 10));
  test::WriteFileBytes(run.folder / "cut_exact.snp", whole.substr(0, exact + 20));

  const std::string intactPath = (run.folder / "local.snp").string(), cutPath = (run.folder / "cut.snp").string();
  BatchRun intact;
  ASSERT_EQ(intact.Run("open " + intactPath + "\n"), 0) << intact.out.str();
  EXPECT_FALSE(Says(intact, "cut short"));
  EXPECT_EQ(intact.doc.grid->emptyNodes, run.doc.grid->emptyNodes);
  BatchRun cut;
  ASSERT_EQ(cut.Run("open " + cutPath + "\n"), 0) << cut.out.str();
  EXPECT_TRUE(Says(cut, "mask of the nodes without an estimate is cut short")) << cut.out.str();
  BatchRun cutExact;
  ASSERT_EQ(cutExact.Run("open " + (run.folder / "cut_exact.snp").string() + "\n"), 0) << cutExact.out.str();
  EXPECT_TRUE(Says(cutExact, "part with the exact coordinates is damaged")) << cutExact.out.str();
  EXPECT_EQ(cutExact.doc.grid->emptyNodes, run.doc.grid->emptyNodes);
}

// The local mode's "Set experimental variogram": the new range and sill are the model
// the next prediction uses; a switch to every point in the options is refused.
TEST(KrigingTrustBatch, SetVariogramWorksInTheLocalMode) {
  BatchRun run;
  test::WriteFileBytes(run.folder / "points.xyz", PointsFile());
  ASSERT_EQ(run.Run(std::string("open-random points.xyz\nkriging-options neighbours=12\nvariogram lag=8\n") + kGrid), 0)
      << run.out.str();
  const std::vector<float> before = run.doc.grid->values;
  ASSERT_EQ(run.Run(std::string("variogram lag=8\nset-variogram range=40 sill=0.8\n") + kGrid), 0) << run.out.str();
  const VariogramModel& model = *run.doc.krigingState->primary;
  EXPECT_FLOAT_EQ(static_cast<float>(model.a), 40.0f);
  EXPECT_FLOAT_EQ(static_cast<float>(model.c), 0.8f);
  EXPECT_FALSE(run.doc.krigingState->inverse);
  EXPECT_NE(run.doc.grid->values, before);

  // The same grid as a local run whose model had that range and sill from the start:
  // the prediction at the data points (the verification file) is the local one.
  EXPECT_TRUE(Says(run, "Prediction by local kriging completed"));
  ASSERT_EQ(run.Run("variogram lag=8\nkriging-options neighbours=0\nset-variogram range=40 sill=0.8\n"), 2);
  EXPECT_TRUE(Says(run, "Run \"Variogram\" again")) << run.out.str();
}

// Cross-validation in the local mode writes the same file and shows the same chart; with
// every point a neighbour it is the global cross-validation.
TEST(KrigingTrustBatch, CrossValidationWorksInTheLocalMode) {
  BatchRun global, local;
  test::WriteFileBytes(global.folder / "points.xyz", PointsFile());
  test::WriteFileBytes(local.folder / "points.xyz", PointsFile());
  const std::string script = "variogram lag=8\ncross-validation folds=4 seed=9\n";
  ASSERT_EQ(global.Run("open-random points.xyz\nkriging-options type=ordinary nugget=0.1\n" + script), 0)
      << global.out.str();
  ASSERT_EQ(local.Run("open-random points.xyz\nkriging-options type=ordinary nugget=0.1 neighbours=60\n" + script), 0)
      << local.out.str();
  EXPECT_TRUE(Says(local, "Cross-validation (4-fold) of 60 points"));
  EXPECT_TRUE(Says(local, "its fold left out"));
  EXPECT_EQ(local.doc.chartMode, ChartMode::CrossValidation);
  const auto& a = *global.doc.krigingState->crossValidation;
  const auto& b = *local.doc.krigingState->crossValidation;
  ASSERT_EQ(a.points.size(), b.points.size());
  for (std::size_t i = 0; i < a.points.size(); ++i) EXPECT_NEAR(a.points[i].estimate, b.points[i].estimate, 1e-7);
  const std::string csv = test::ReadFileBytes(local.folder / "cross_validation.csv");
  EXPECT_EQ(csv.rfind("x,y,observed,estimate,residual,standard_error,standardised_residual\r\n", 0), 0u);
  EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 61);

  // A small neighbourhood: leave-one-out from each point's nearest others.
  ASSERT_EQ(local.Run("kriging-options type=ordinary nugget=0.1 neighbours=6\nvariogram lag=8\ncross-validation\n"), 0)
      << local.out.str();
  EXPECT_TRUE(Says(local, "Cross-validation (leave-one-out) of 60 points"));
  EXPECT_TRUE(Says(local, "itself left out"));
}

}  // namespace
}  // namespace gridora
