#include "geostat/variogram_model.h"

#include <fmt/printf.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "geostat/kriging_state.h"
#include "geostat/kriging_test_support.h"
#include "geostat/variogram_fit.h"

namespace gridora {
namespace {

using test::CrLfLines;
using test::FromUtf16;

class Variogram : public test::InTempFolderTest {
 protected:
  // A standardised model whose cloud is given directly.
  VariogramModel CloudModel(std::vector<double> distances, std::vector<double> dissimilarities) {
    VariogramModel model(Folder(), 0);
    model.standardised = 1;
    model.cloudCount = distances.size();
    model.cloudMaximumDistance = *std::max_element(distances.begin(), distances.end());
    model.cloudDistance = std::move(distances);
    model.cloudDissimilarity = std::move(dissimilarities);
    return model;
  }
  std::vector<std::string> OptimisationLog() { return CrLfLines(FromUtf16(Bytes("variogram_optimization.txt"))); }
};

TEST(ExponentialVariogramModel, RisesFromZeroTowardsTheSill) {
  EXPECT_DOUBLE_EQ(ExponentialVariogram(0.0, 3.0, 2.0), 0.0);
  EXPECT_DOUBLE_EQ(ExponentialVariogram(3.0, 3.0, 2.0), 2.0 * (1.0 - std::exp(-1.0)));
  EXPECT_NEAR(ExponentialVariogram(300.0, 3.0, 2.0), 2.0, 1e-12);
}

TEST_F(Variogram, SetDataStandardisesWithThePopulationDeviationAndReports) {
  test::FakeUserInterface ui;
  VariogramModel model(Folder(), 1);
  double x[] = {5, 1, 3}, y[] = {2, 4, -1}, z[] = {1, 2, 3};
  model.SetData(3, x, y, z, 0, &ui);
  EXPECT_EQ(ui.messages, std::vector<std::string>{"Number of data=3 Mean=2.000000 SD=0.816497"});
  EXPECT_DOUBLE_EQ(model.mean, 2.0);
  EXPECT_DOUBLE_EQ(model.standardDeviation, std::sqrt(2.0 / 3.0));
  EXPECT_NEAR(model.values[0], -std::sqrt(1.5), 1e-12);
  EXPECT_NEAR(model.values[1], 0.0, 1e-12);
  EXPECT_NEAR(model.residualMean, 0.0, 1e-15);
  EXPECT_EQ(model.smallestX, 1.0);
  EXPECT_EQ(model.smallestY, -1.0);
  EXPECT_EQ(model.standardised, 1);
  EXPECT_DOUBLE_EQ(model.distanceMatrix(0, 1), std::sqrt(16.0 + 4.0));
  EXPECT_DOUBLE_EQ(model.dissimilarityMatrix(0, 2), 0.5 * 6.0);  // 0.5 (2 sqrt(1.5))^2

  // The unordered pairs, i ascending then j, with their largest distance and dissimilarity.
  EXPECT_EQ(model.BuildCloud(0), 3u);
  EXPECT_DOUBLE_EQ(model.cloudDistance[1], model.distanceMatrix(0, 2));
  EXPECT_DOUBLE_EQ(model.cloudDistance[2], model.distanceMatrix(1, 2));
  EXPECT_DOUBLE_EQ(model.cloudMaximumDistance, std::sqrt(29.0));
  EXPECT_DOUBLE_EQ(model.cloudMaximumDissimilarity, 3.0);
  EXPECT_FALSE(Exists("variogram_cloud.txt"));
}

TEST_F(Variogram, EmptyClassesAreDroppedBeforeTheFit) {
  VariogramModel model = CloudModel({1, 2, 8}, {0.5, 1.0, 2.0});
  EXPECT_EQ(model.FitVariogram(3.0, 0.1, 3, nullptr), 2);
  EXPECT_EQ(model.classLag, (std::vector<double>{1.5, 8.0}));
  EXPECT_EQ(model.classGamma, (std::vector<double>{0.75, 2.0}));
  EXPECT_EQ(model.largestClassLag, 8.0);
  EXPECT_EQ(model.lagColumn.rows, 2);
}

TEST_F(Variogram, ClassBoundsBelongToTheUpperClassAndTheLastBoundToNone) {
  struct Case {
    std::vector<double> distances;
    double width;
    std::vector<double> lags;
  };
  const Case cases[] = {
      {{1, 3, 4, 6}, 3.0, {1.0, 3.5}},               // 3 opens class 1; 6 = hMax = 2w falls in no class
      {{1, 3, 7}, 3.0, {1.0, 3.0, 7.0}},             // hMax / w not whole: the farthest pair is in the last class
      {{0.3, 0.6, 0.9, 1.2}, 0.3, {0.3, 0.6, 0.9}},  // bounds as products of a non-binary width
  };
  for (const Case& c : cases) {
    VariogramModel model = CloudModel(c.distances, std::vector<double>(c.distances.size(), 1.0));
    model.FitVariogram(c.width, 0.1, 3, nullptr);
    ASSERT_EQ(model.classLag.size(), c.lags.size()) << c.distances.back();
    for (std::size_t k = 0; k < c.lags.size(); ++k) EXPECT_DOUBLE_EQ(model.classLag[k], c.lags[k]);
  }
}

TEST_F(Variogram, InitialRangeIsCappedAndTheStandardisedSillStartsAtTwo) {
  struct Case {
    std::vector<double> distances;
    const char* firstLine;
  };
  const Case cases[] = {{{600, 1200}, "0 500.000000 2.000000 "}, {{150, 300}, "0 200.000000 2.000000 "}};
  for (const Case& c : cases) {
    VariogramModel model = CloudModel(c.distances, {1.0, 1.5});
    model.FitVariogram(70.0, 0.1, 3, nullptr);  // hMax is no multiple of 70
    const auto log = OptimisationLog();
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log[0].rfind(c.firstLine, 0), 0u) << log[0];
  }
}

TEST_F(Variogram, DegenerateLagWidthsAndCloudsAreRefusedWithoutFitting) {
  struct Case {
    std::vector<double> distances;
    double width;
    const char* says;
  };
  const Case cases[] = {
      {{1, 2}, 0.0, "greater than 0"}, {{1, 2}, -1.0, "greater than 0"}, {{1, 2}, NAN, "greater than 0"},
      {{1, 2}, 1e-9, "lag classes"},   {{4, 4}, 2.0, "No pair"},  // every pair at hMax = 2w
  };
  for (const Case& c : cases) {
    test::FakeUserInterface ui;
    VariogramModel model = CloudModel(c.distances, {1.0, 1.0});
    model.showMessages = 1;
    std::string refusal;
    EXPECT_EQ(model.FitVariogram(c.width, 0.1, 3, &ui, &refusal), 0);
    EXPECT_NE(refusal.find(c.says), std::string::npos) << refusal;
    EXPECT_EQ(model.a, 3.0);
    EXPECT_EQ(model.c, 1.0);
    EXPECT_EQ(model.classCount, 0);
    EXPECT_TRUE(ui.messages.empty());
  }
}

TEST_F(Variogram, FitReportsRangeAndSillAndLogsEveryIteration) {
  test::FakeUserInterface ui;
  VariogramModel model = CloudModel({1, 2, 3, 4, 5, 6}, {0.3, 0.6, 0.8, 0.9, 0.95, 1.0});
  model.showMessages = 1;
  EXPECT_EQ(model.FitVariogram(1.1, 0.1, 3, &ui), 6);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0], fmt::sprintf("Range=%f Sill=%f", model.a, model.c));
  const auto log = OptimisationLog();
  ASSERT_EQ(log.size(), 4u);
  EXPECT_EQ(log[3], fmt::sprintf("3 %f %f ", model.a, model.c));
  EXPECT_TRUE(Exists("inverse_matrix.txt"));  // each step's 2 x 2 inverse
}

// Class averages of gamma(h) = 1.5 (1 - exp(-h / 5)) at h = 1..10.
void ExactModel(DenseMatrix& lags, DenseMatrix& gammas) {
  lags = DenseMatrix(10, 1);
  gammas = DenseMatrix(10, 1);
  for (int i = 0; i < 10; ++i) {
    lags(i, 0) = i + 1;
    gammas(i, 0) = ExponentialVariogram(i + 1, 5.0, 1.5);
  }
}

TEST_F(Variogram, GaussNewtonStepsReachTheModelThatMadeTheData) {
  DenseMatrix lags, gammas;
  ExactModel(lags, gammas);
  const ExponentialFit fit = FitExponentialModel(Folder(), lags, gammas, 4.0f, 1.2f, 30, 1.0);
  EXPECT_NEAR(fit.a, 5.0, 1e-3);
  EXPECT_NEAR(fit.c, 1.5, 1e-3);
}

TEST_F(Variogram, AFitWhoseFirstUpdateRaisesTheErrorStopsWithTheStartingValues) {
  DenseMatrix lags, gammas;
  ExactModel(lags, gammas);
  // A negative step walks uphill.
  const ExponentialFit fit = FitExponentialModel(Folder(), lags, gammas, 3.0f, 1.0f, 3, -1.0);
  EXPECT_EQ(fit.success, 0);
  EXPECT_EQ(fit.a, 3.0);
  EXPECT_EQ(fit.c, 1.0);
  const auto log = OptimisationLog();
  ASSERT_EQ(log.size(), 4u);
  EXPECT_EQ(log[0].rfind("0 3.000000 1.000000 ", 0), 0u);
  EXPECT_EQ(log[1].rfind("1 ", 0), 0u);
  EXPECT_EQ(log[2], "Optimization interupted.");
  EXPECT_EQ(log[3], "3 3.000000 1.000000 ");  // the limit, not the iterations run
}

TEST_F(Variogram, MissingColumnsGiveNoFit) {
  DenseMatrix lags, gammas;
  ExactModel(lags, gammas);
  const ExponentialFit fit = FitExponentialModel(Folder(), DenseMatrix(), gammas, 3.0f, 1.0f, 3, 0.1);
  EXPECT_EQ(fit.success, 0);
  EXPECT_EQ(fit.a, 0.0);
  EXPECT_FALSE(Exists("variogram_optimization.txt"));
}

TEST_F(Variogram, CrossModelPairsEveryPrimaryWithEverySecondaryPointAndWritesItsFiles) {
  KrigingState state(Folder(), 0);
  const DataPoint primary[] = {{0, 0, 1}, {2, 0, 3}, {0, 2, 5}};
  const DataPoint secondary[] = {{0, 0, 10}, {1, 1, 20}};
  state.LoadVariable(3, primary, 0, nullptr);
  state.LoadVariable(2, secondary, 1, nullptr);
  VariogramModel cross(Folder(), 0);
  EXPECT_FALSE(cross.SetCross(nullptr, state.secondary.get()));
  EXPECT_TRUE(cross.SetCross(state.primary.get(), state.secondary.get()));
  EXPECT_EQ(cross.pairMode, 1);
  EXPECT_EQ(cross.variableKind, 2);
  EXPECT_EQ(cross.distanceMatrix.rows, 3);
  EXPECT_EQ(cross.distanceMatrix.columns, 2);
  // A secondary point at a primary position: distance 0, half the squared difference.
  EXPECT_EQ(cross.distanceMatrix(0, 0), 0.0);
  const double d = state.primary->values[0] - state.secondary->values[0];
  EXPECT_DOUBLE_EQ(cross.dissimilarityMatrix(0, 0), 0.5 * d * d);

  EXPECT_EQ(cross.BuildCloud(1), 6u);
  const auto cloud = CrLfLines(FromUtf16(Bytes("variogram_cloud_cross.txt")));
  ASSERT_EQ(cloud.size(), 6u);
  EXPECT_EQ(cloud[0], fmt::sprintf("0 0 0 %f %f", 0.0, cross.dissimilarityMatrix(0, 0)));
  EXPECT_EQ(cloud[3].rfind("1 1 3 ", 0), 0u);  // primary index outer, secondary inner
  const auto distances = CrLfLines(Bytes("cross_distance_matrix.txt"));
  ASSERT_EQ(distances.size(), 4u);
  EXPECT_EQ(distances[0], "3 2");
  EXPECT_EQ(distances[1], fmt::sprintf("%e %e ", 0.0, std::sqrt(2.0)));
  EXPECT_TRUE(Exists("cross_dissimilarity_matrix.txt"));
}

}  // namespace
}  // namespace gridora
