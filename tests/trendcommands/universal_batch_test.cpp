// The kriging options' drift through the batch mode: a regional gradient, ordinary
// against universal kriging, the same fit and cross-validation.
#include <fmt/format.h>
#include <gtest/gtest.h>

#include <cmath>
#include <iostream>
#include <random>
#include <string>

#include "document/grid_model.h"
#include "geostat/cross_validation.h"
#include "geostat/kriging_state.h"
#include "support/batch_run.h"

namespace gridora {
namespace {

// Heads on a regional gradient of 0.5 per unit with a short wave and some noise.
std::string GradientPoints() {
  std::mt19937 random(2024u);
  std::uniform_real_distribution<double> position(0.0, 100.0);
  std::normal_distribution<double> noise(0.0, 0.5);
  std::string text;
  for (int i = 0; i < 100; ++i) {
    const double x = position(random), y = position(random);
    const double z = 100.0 + 0.5 * x + 0.3 * y + 3.0 * std::sin(x / 8.0) * std::cos(y / 11.0) + noise(random);
    text += fmt::format("{:.6f} {:.6f} {:.6f}\r\n", x, y, z);
  }
  return text;
}

CrossValidation Validate(const std::string& drift) {
  test::BatchRun run;
  test::WriteFileBytes(run.folder / "points.xyz", GradientPoints());
  const std::string script =
      "open-random points.xyz\nkriging-options type=ordinary fit=wls fit-nugget=yes maxlag=40 drift=" + drift +
      "\nvariogram lag=5\ncross-validation\nprediction xmin=0 ymin=0 xmax=100 ymax=100 "
      "dx=10 dy=10\n";
  EXPECT_EQ(run.Run(script), 0) << run.err.str() << run.out.str();
  if (!run.doc.krigingState || !run.doc.krigingState->crossValidation) return {};
  return *run.doc.krigingState->crossValidation;
}

TEST(UniversalKrigingBatch, TheDriftTakesTheGradientOutOfTheErrors) {
  const CrossValidation ordinary = Validate("none");
  const CrossValidation universal = Validate("linear");
  const CrossValidation quadratic = Validate("quadratic");
  ASSERT_EQ(ordinary.points.size(), 100u);
  ASSERT_EQ(universal.points.size(), 100u);
  ASSERT_EQ(quadratic.points.size(), 100u);
  for (const auto& [name, cv] :
       {std::pair{"ordinary", &ordinary}, std::pair{"linear", &universal}, std::pair{"quadratic", &quadratic}})
    std::cout << fmt::format("{:>9}: mean error {:.4f}  RMSE {:.4f}  MSSE {:.3f}\n", name, cv->meanError,
                             cv->rootMeanSquareError, cv->meanStandardisedSquaredError);
  EXPECT_LT(universal.rootMeanSquareError, ordinary.rootMeanSquareError);
  EXPECT_LT(std::fabs(universal.meanStandardisedSquaredError - 1.0),
            std::fabs(ordinary.meanStandardisedSquaredError - 1.0));
}

// Universal kriging needs the ordinary type: the options are refused, the old ones stay.
TEST(UniversalKrigingBatch, ADriftWithSimpleKrigingIsRefused) {
  test::BatchRun run;
  EXPECT_EQ(run.Run("kriging-options type=simple drift=linear\n"), 2);
  EXPECT_NE(run.out.str().find("choose ordinary kriging"), std::string::npos) << run.out.str();
}

// indicator=2: the grid is the probability of exceeding 2; at a datum (no nugget) it is
// the datum's indicator, 1 only strictly above the threshold.
TEST(IndicatorKrigingBatch, TheGridIsAProbabilityThatHonoursTheIndicators) {
  test::BatchRun run;
  test::WriteFileBytes(run.folder / "points.xyz",
                       "0 0 1\r\n4 0 3\r\n0 4 2\r\n4 4 6\r\n2 1 4\r\n1 3 2.5\r\n3 3 0.5\r\n2 4 2\r\n");
  ASSERT_EQ(run.Run("open-random points.xyz\nkriging-options type=ordinary indicator=2\nvariogram lag=1\n"
                    "prediction xmin=0 ymin=0 xmax=4 ymax=4 dx=1 dy=1\n"),
            0)
      << run.err.str() << run.out.str();
  const GridModel& grid = *run.doc.grid;
  for (int i = 0; i < grid.NX; ++i)
    for (int j = 0; j < grid.NY; ++j) {
      EXPECT_GE(grid.Value(0, i, j), 0.0f);
      EXPECT_LE(grid.Value(0, i, j), 1.0f);
    }
  EXPECT_NEAR(grid.Value(0, 4, 0), 1.0f, 1e-5);  // z = 3
  EXPECT_NEAR(grid.Value(0, 0, 4), 0.0f, 1e-5);  // z = 2, not above 2
  EXPECT_NEAR(grid.Value(0, 0, 0), 0.0f, 1e-5);  // z = 1
}

TEST(LogKrigingBatch, NonPositiveValuesStopTheVariogram) {
  test::BatchRun run;
  test::WriteFileBytes(run.folder / "points.xyz", "0 0 1\r\n4 0 -3\r\n0 4 2\r\n4 4 6\r\n2 1 0\r\n");
  EXPECT_EQ(run.Run("open-random points.xyz\nkriging-options type=ordinary transform=log\nvariogram lag=1\n"), 2);
  EXPECT_NE(run.out.str().find("2 of the 5 points"), std::string::npos) << run.out.str();
  EXPECT_FALSE(run.doc.krigingState && run.doc.krigingState->primary);
}

}  // namespace
}  // namespace gridora
