// Cross-validation of kriging from local neighbourhoods, and the misfit at the data that
// tells a solved system from one singular to working accuracy.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <random>
#include <vector>

#include "geostat/cross_validation.h"
#include "geostat/kriging_prediction.h"
#include "geostat/kriging_state.h"
#include "geostat/kriging_test_support.h"

namespace gridora {
namespace {

// Gaussian elimination with partial pivoting, written out: the oracle's own solve.
std::vector<double> Solve(std::vector<std::vector<double>> a, std::vector<double> b) {
  const std::size_t n = b.size();
  for (std::size_t c = 0; c < n; ++c) {
    std::size_t pivot = c;
    for (std::size_t r = c + 1; r < n; ++r)
      if (std::fabs(a[r][c]) > std::fabs(a[pivot][c])) pivot = r;
    std::swap(a[c], a[pivot]);
    std::swap(b[c], b[pivot]);
    for (std::size_t r = c + 1; r < n; ++r) {
      const double f = a[r][c] / a[c][c];
      for (std::size_t k = c; k < n; ++k) a[r][k] -= f * a[c][k];
      b[r] -= f * b[c];
    }
  }
  std::vector<double> x(n);
  for (std::size_t r = n; r-- > 0;) {
    double s = b[r];
    for (std::size_t k = r + 1; k < n; ++k) s -= a[r][k] * x[k];
    x[r] = s / a[r][r];
  }
  return x;
}

class LocalCrossValidationTest : public test::InTempFolderTest {
 protected:
  void SetUp() override {
    test::InTempFolderTest::SetUp();
    std::mt19937 random(7);
    std::uniform_real_distribution<double> position(0.0, 60.0), noise(-0.2, 0.2);
    for (int i = 0; i < 45; ++i) {
      const double x = position(random), y = position(random);
      points_.push_back({x, y, 5.0 + std::sin(x / 11.0) + 0.04 * y + noise(random)});
    }
  }

  // A global state of the points (matrices and inverse) with the model's options.
  std::unique_ptr<KrigingState> GlobalState(const KrigingOptions& options, double range, double sill) {
    auto state = std::make_unique<KrigingState>(Folder(), 0);
    state->LoadVariable(static_cast<int>(points_.size()), points_.data(), 0, nullptr);
    state->primary->options = options;
    state->primary->a = range;
    state->primary->c = sill;
    state->primary->BuildKrigingMatrix();
    const DenseMatrix system = state->Ordinary() ? state->OrdinarySystem() : state->primary->covarianceMatrix;
    state->InvertSystem(system, nullptr, false);  // the callers look at the inverse
    return state;
  }

  std::vector<DataPoint> points_;
};

// With every other point in each neighbourhood the local cross-validation solves, point
// by point, what the global one reads off the inverse: the two agree to rounding, for
// leave-one-out and for k-fold (the same folds from the same seed).
TEST_F(LocalCrossValidationTest, EveryPointAsNeighbourGivesTheGlobalResult) {
  struct Case {
    const char* name;
    VariogramKind model;
    double nugget;
    KrigingType type;
    int folds;
  } cases[] = {
      {"exponential simple loo", VariogramKind::Exponential, 0.0, KrigingType::Simple, 0},
      {"spherical ordinary loo", VariogramKind::Spherical, 0.0, KrigingType::Ordinary, 0},
      {"exponential nugget ordinary 5-fold", VariogramKind::Exponential, 0.2, KrigingType::Ordinary, 5},
      {"spherical nugget simple 3-fold", VariogramKind::Spherical, 0.1, KrigingType::Simple, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    KrigingOptions options;
    options.model = c.model;
    options.nugget = c.nugget;
    options.type = c.type;
    const auto state = GlobalState(options, 15.0, 1.0);
    ASSERT_TRUE(state->inverse);
    CrossValidation global, local;
    ASSERT_TRUE(CrossValidate(*state, c.folds, 4, global, nullptr).Done());
    const LocalKrigingType type =
        c.type == KrigingType::Ordinary ? LocalKrigingType::Ordinary : LocalKrigingType::Simple;
    const Outcome validated =
        CrossValidateLocally(*state, state->primary->Model(), type, {100, 0.0, 3}, c.folds, 4, local, nullptr);
    ASSERT_TRUE(validated.Done()) << validated.text;
    ASSERT_EQ(local.points.size(), global.points.size());
    EXPECT_EQ(local.withoutEstimate, 0);
    for (std::size_t i = 0; i < local.points.size(); ++i) {
      EXPECT_EQ(local.points[i].observed, global.points[i].observed);
      EXPECT_NEAR(local.points[i].estimate, global.points[i].estimate, 1e-9) << i;
      EXPECT_NEAR(local.points[i].standardError, global.points[i].standardError, 1e-8) << i;
    }
    EXPECT_NEAR(local.rootMeanSquareError, global.rootMeanSquareError, 1e-9);
  }
}

// A small neighbourhood: each point's estimate is simple kriging from its k nearest
// other points, checked against a brute-force search and a solve written out here.
TEST_F(LocalCrossValidationTest, LeaveOneOutUsesTheNearestOtherPoints) {
  KrigingOptions options;
  const auto state = GlobalState(options, 12.0, 1.0);
  const VariogramModel& p = *state->primary;
  const CovarianceModel model = p.Model();
  constexpr int kNeighbours = 6;
  CrossValidation cv;
  ASSERT_TRUE(
      CrossValidateLocally(*state, model, LocalKrigingType::Simple, {kNeighbours, 0.0, 3}, 0, 0, cv, nullptr).Done());
  const int n = p.count;
  ASSERT_EQ(static_cast<int>(cv.points.size()), n);
  for (int i = 0; i < n; ++i) {
    std::vector<int> others;
    for (int j = 0; j < n; ++j)
      if (j != i) others.push_back(j);
    auto distance = [&](int j) { return std::hypot(p.x[j] - p.x[i], p.y[j] - p.y[i]); };
    std::sort(others.begin(), others.end(), [&](int a, int b) { return distance(a) < distance(b); });
    others.resize(kNeighbours);
    std::vector<std::vector<double>> K(kNeighbours, std::vector<double>(kNeighbours));
    std::vector<double> k(kNeighbours);
    for (int a = 0; a < kNeighbours; ++a) {
      for (int b = 0; b < kNeighbours; ++b)
        K[a][b] = model.sill *
                  std::exp(-std::hypot(p.x[others[a]] - p.x[others[b]], p.y[others[a]] - p.y[others[b]]) / model.range);
      k[a] = model.sill * std::exp(-distance(others[a]) / model.range);
    }
    const std::vector<double> w = Solve(K, k);
    double estimate = p.residualMean, explained = 0.0;
    for (int a = 0; a < kNeighbours; ++a) {
      estimate += w[a] * (p.values[others[a]] - p.residualMean);
      explained += w[a] * k[a];
    }
    const CrossValidationPoint& point = cv.points[i];
    EXPECT_NEAR(point.estimate, estimate * p.standardDeviation + p.mean, 1e-9) << i;
    EXPECT_NEAR(point.standardError, std::sqrt(model.sill - explained) * p.standardDeviation, 1e-9) << i;
  }
  EXPECT_NE(CrossValidationSummary(cv).find("itself left out"), std::string::npos);
}

// A maximum distance that leaves some points without three others is counted, and one
// that leaves every point without them is refused; so are fold counts out of range and
// cokriging.
TEST_F(LocalCrossValidationTest, PointsWithoutEnoughNeighboursAreLeftOutAndCounted) {
  KrigingOptions options;
  const auto state = GlobalState(options, 12.0, 1.0);
  const CovarianceModel model = state->primary->Model();
  CrossValidation some, none;
  ASSERT_TRUE(CrossValidateLocally(*state, model, LocalKrigingType::Ordinary, {8, 9.0, 3}, 0, 0, some, nullptr).Done());
  EXPECT_GT(some.withoutEstimate, 0);
  EXPECT_EQ(static_cast<int>(some.points.size()) + some.withoutEstimate, static_cast<int>(points_.size()));
  EXPECT_NE(CrossValidationSummary(some).find(std::to_string(some.withoutEstimate) + " point(s) kept too few"),
            std::string::npos);
  Outcome refused = CrossValidateLocally(*state, model, LocalKrigingType::Ordinary, {8, 0.01, 3}, 0, 0, none, nullptr);
  EXPECT_EQ(refused.kind, OutcomeKind::InvalidInput);
  EXPECT_NE(refused.text.find("No point keeps 3 neighbours"), std::string::npos) << refused.text;
  for (int folds : {1, -2, 46}) {
    refused = CrossValidateLocally(*state, model, LocalKrigingType::Simple, {8, 0.0, 3}, folds, 0, none, nullptr);
    EXPECT_EQ(refused.kind, OutcomeKind::InvalidInput) << folds;
    EXPECT_NE(refused.text.find("number of folds"), std::string::npos);
  }
}

// The estimates at the data give the data back when the system is solved to working
// accuracy, whatever the model; a Gaussian model without nugget whose range spans the
// data is inverted without a complaint and misses them by far more than the limit.
TEST_F(LocalCrossValidationTest, MisfitAtTheDataTellsASolvedSystemFromASingularOne) {
  struct Case {
    const char* name;
    VariogramKind model;
    double nugget, range;
    KrigingType type;
    bool trusted;
  } cases[] = {
      {"exponential", VariogramKind::Exponential, 0.0, 15.0, KrigingType::Simple, true},
      {"spherical ordinary", VariogramKind::Spherical, 0.0, 30.0, KrigingType::Ordinary, true},
      {"gaussian with nugget", VariogramKind::Gaussian, 0.01, 60.0, KrigingType::Ordinary, true},
      {"gaussian without nugget", VariogramKind::Gaussian, 0.0, 60.0, KrigingType::Ordinary, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    KrigingOptions options;
    options.model = c.model;
    options.nugget = c.nugget;
    options.type = c.type;
    const auto state = GlobalState(options, c.range, 1.0);
    ASSERT_TRUE(state->inverse);
    const DataMisfit misfit = MisfitAtData(*state);
    EXPECT_GT(misfit.dataRange, 0.0);
    if (c.trusted)
      EXPECT_LT(misfit.Relative(), 1e-8);
    else
      EXPECT_GT(misfit.Relative(), kLargestRelativeMisfit);
  }
}

}  // namespace
}  // namespace gridora
