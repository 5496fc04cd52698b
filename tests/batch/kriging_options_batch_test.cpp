// The kriging options, cross-validation and standard-error commands from a script.
#include <fmt/printf.h>
#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "geostat/kriging_options.h"
#include "geostat/kriging_state.h"
#include "geostat/kriging_test_support.h"
#include "support/batch_run.h"

namespace gridora {
namespace {

using test::BatchRun;

// 60 points of a smooth surface with a little noise, as "x y z" lines.
std::string PointsFile() {
  std::mt19937 generator(11);
  std::uniform_real_distribution<double> position(0.0, 100.0), noise(-0.3, 0.3);
  std::string text;
  for (int i = 0; i < 60; ++i) {
    const double x = position(generator), y = position(generator);
    text += fmt::sprintf("%.3f %.3f %.4f\n", x, y, std::sin(x / 20.0) + 0.02 * y + noise(generator));
  }
  return text;
}

constexpr const char* kGrid = "prediction xmin=0 ymin=0 xmax=100 ymax=100 dx=10 dy=10\n";

class KrigingOptionsBatch : public ::testing::Test {
 protected:
  void SetUp() override { test::WriteFileBytes(run.folder / "points.xyz", PointsFile()); }
  BatchRun run;
};

TEST_F(KrigingOptionsBatch, OrdinaryKrigingWithNuggetKeepsAStandardErrorLayerAndCrossValidates) {
  ASSERT_EQ(run.Run(std::string("open-random points.xyz\n"
                                "kriging-options model=spherical nugget=0.1 fit=wls fit-nugget=yes type=ordinary "
                                "angle=30 ratio=0.5\n"
                                "variogram lag=8\n") +
                    kGrid + "standard-error\ncross-validation\ncross-validation folds=5 seed=3\n"),
            0)
      << run.err.str() << run.out.str();
  const KrigingOptions& options = *run.doc.krigingOptions;
  EXPECT_EQ(options.model, VariogramKind::Spherical);
  EXPECT_EQ(options.type, KrigingType::Ordinary);
  EXPECT_EQ(options.ratio, 0.5);
  EXPECT_EQ(run.doc.krigingState->inverse->rows, 61);  // the mean's border

  const GridModel& grid = *run.doc.grid;
  ASSERT_EQ(grid.layerCount, 2);
  EXPECT_EQ(run.doc.layerIndex, 1);
  for (int i = 0; i < grid.NX; ++i)
    for (int j = 0; j < grid.NY; ++j) {
      EXPECT_TRUE(std::isfinite(grid.Value(1, i, j)));
      EXPECT_GE(grid.Value(1, i, j), 0.0f);
    }
  EXPECT_GT(grid.layerMaximum[1], 0.0f);

  const std::string csv = test::ReadFileBytes(run.folder / "cross_validation.csv");
  EXPECT_EQ(csv.rfind("x,y,observed,estimate,residual,standard_error,standardised_residual\r\n", 0), 0u);
  EXPECT_NE(run.out.str().find("Cross-validation (leave-one-out) of 60 points"), std::string::npos);
  EXPECT_NE(run.out.str().find("Cross-validation (5-fold) of 60 points"), std::string::npos);
  EXPECT_NE(run.out.str().find("Weighted error="), std::string::npos);
  EXPECT_EQ(run.doc.chartMode, ChartMode::CrossValidation);  // the cross-validation chart
}

TEST_F(KrigingOptionsBatch, DefaultOptionsGiveTheOneLayerGridUnlessTheStandardErrorIsShown) {
  ASSERT_EQ(run.Run(std::string("open-random points.xyz\nvariogram lag=8\n") + kGrid), 0) << run.err.str();
  EXPECT_EQ(run.doc.grid->layerCount, 1);
  EXPECT_EQ(run.doc.krigingState->inverse->rows, 60);
  ASSERT_EQ(run.Run(std::string("standard-error\n") + kGrid), 0) << run.err.str();
  EXPECT_EQ(run.doc.grid->layerCount, 2);
  EXPECT_EQ(run.doc.layerIndex, 1);
  ASSERT_EQ(run.Run("standard-error\n"), 0);
  EXPECT_EQ(run.doc.layerIndex, 0);
}

TEST_F(KrigingOptionsBatch, BadParametersStopTheScriptWithAMessage) {
  const struct {
    const char* line;
    const char* message;
  } cases[] = {
      {"kriging-options nugget=-1", "nugget must be 0 or more"},
      {"kriging-options ratio=0", "ratio must be greater than 0"},
      {"kriging-options ratio=1.5", "ratio must be greater than 0"},
      {"kriging-options model=matern smoothness=3", "smoothness must lie between 0.5 and 2.5"},
      {"kriging-options model=cubic", "Enter an integer."},
      {"kriging-options fit-nugget=maybe", "Enter an integer."},
  };
  for (const auto& c : cases) {
    BatchRun fresh;
    EXPECT_EQ(fresh.Run(std::string(c.line) + "\n"), 2) << c.line;
    EXPECT_NE(fresh.out.str().find(c.message), std::string::npos) << c.line << ": " << fresh.out.str();
    EXPECT_FALSE(fresh.doc.krigingOptions && !(*fresh.doc.krigingOptions == KrigingOptions{})) << c.line;
  }
  // A maximum lag below every class refuses the fit and keeps the state as it was.
  ASSERT_EQ(run.Run("open-random points.xyz\nkriging-options fit=wls maxlag=0.001\n"), 0);
  EXPECT_EQ(run.Run("variogram lag=8\n"), 2);
  EXPECT_NE(run.out.str().find("No lag class lies within the maximum lag"), std::string::npos);
  EXPECT_FALSE(run.doc.krigingState && run.doc.krigingState->inverse);
  // Cross-validation needs a fitted model.
  EXPECT_EQ(run.Run("cross-validation\n"), 2);
}

TEST_F(KrigingOptionsBatch, OptionsPersistInTheProfile) {
  ASSERT_EQ(run.Run("kriging-options model=matern smoothness=1.5 neighbours=12 maxdist=40\n"), 0) << run.err.str();
  const KrigingOptions read = ReadKrigingOptions(run.profile);
  EXPECT_EQ(read.model, VariogramKind::Matern);
  EXPECT_EQ(read.smoothness, 1.5);
  EXPECT_EQ(read.neighbours, 12);
  EXPECT_EQ(read.maximumDistance, 40.0);
  EXPECT_EQ(ParseKrigingOptions(KrigingOptionsText(read)), read);
  EXPECT_FALSE(ParseKrigingOptions("1 -2 0.5 0 0 0 0 0 1 0 0"));  // a negative nugget
  EXPECT_FALSE(ParseKrigingOptions("garbage"));
}

TEST_F(KrigingOptionsBatch, OptionsTravelWithTheDocumentAndOlderDocumentsOpenWithDefaults) {
  ASSERT_EQ(run.Run("open-random points.xyz\nsave plain.snp\nkriging-options type=ordinary nugget=0.2\n"
                    "save chosen.snp\n"),
            0)
      << run.err.str();
  const std::string plain = test::ReadFileBytes(run.folder / "plain.snp");
  const std::string chosen = test::ReadFileBytes(run.folder / "chosen.snp");
  // The chosen options follow the unchanged file as its last part.
  const std::string text = KrigingOptionsText(*run.doc.krigingOptions);
  ASSERT_EQ(chosen.size(), plain.size() + 8 + text.size());
  EXPECT_EQ(chosen.substr(0, plain.size()), plain);
  EXPECT_EQ(chosen.substr(plain.size() + 8), text);

  BatchRun other;
  test::WriteFileBytes(other.folder / "chosen.snp", chosen);
  test::WriteFileBytes(other.folder / "plain.snp", plain);
  ASSERT_EQ(other.Run("open chosen.snp\n"), 0) << other.err.str();
  ASSERT_TRUE(other.doc.krigingOptions);
  EXPECT_EQ(other.doc.krigingOptions->type, KrigingType::Ordinary);
  EXPECT_EQ(other.doc.krigingOptions->nugget, 0.2);
  ASSERT_EQ(other.Run("open plain.snp\n"), 0) << other.err.str();
  EXPECT_EQ(*other.doc.krigingOptions, KrigingOptions{});
  // A cut or damaged last part is left aside: the document opens with the defaults.
  for (const std::string& damaged : {chosen.substr(0, chosen.size() - 3), plain + "KOPT\xff\xff\xff\x7f"}) {
    test::WriteFileBytes(other.folder / "damaged.snp", damaged);
    ASSERT_EQ(other.Run("open chosen.snp\nopen damaged.snp\n"), 0) << other.err.str();
    EXPECT_EQ(*other.doc.krigingOptions, KrigingOptions{});
  }
}

}  // namespace
}  // namespace gridora
