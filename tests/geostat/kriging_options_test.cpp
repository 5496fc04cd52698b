// Kriging with the options: every model with and without nugget and anisotropy, simple
// and ordinary, checked against a direct long-double solve of the same system per
// position; leave-one-out against explicit re-solves without the point; the
// least-squares fit against a brute-force minimum.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "geostat/cross_validation.h"
#include "geostat/kriging_prediction.h"
#include "geostat/kriging_state.h"
#include "geostat/kriging_test_support.h"
#include "geostat/kriging_variance.h"
#include "geostat/variogram_wls_fit.h"
#include "support/dense_solve.h"

namespace gridora {
namespace {

using Long = long double;

// Twelve scattered points with a trend, so that ordinary and simple kriging differ.
std::vector<DataPoint> Points() {
  std::mt19937 generator(7);
  std::uniform_real_distribution<double> position(0.0, 10.0), noise(-1.0, 1.0);
  std::vector<DataPoint> points;
  for (int i = 0; i < 12; ++i) {
    const double x = position(generator), y = position(generator);
    points.push_back({x, y, 0.4 * x - 0.2 * y + noise(generator)});
  }
  return points;
}

// The estimate and kriging variance (standardised) of one position by a direct solve.
struct Direct {
  Long estimate, variance;
};

Direct DirectKriging(const VariogramModel& m, const CovarianceModel& model, bool ordinary, double x, double y) {
  const int n = m.count, size = ordinary ? n + 1 : n;
  std::vector<std::vector<Long>> A(size, std::vector<Long>(size, 0.0L));
  std::vector<Long> k(size, 1.0L);
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) A[i][j] = model.Covariance(m.x[j] - m.x[i], m.y[j] - m.y[i]);
    if (ordinary) A[i][n] = A[n][i] = 1.0L;
    k[i] = model.Covariance(x - m.x[i], y - m.y[i]);
  }
  const std::vector<Long> w = test::SolveDense(A, k);
  Long estimate = 0.0L, quadratic = 0.0L;
  for (int i = 0; i < n; ++i) {
    estimate += w[i] * (ordinary ? Long(m.values[i]) : Long(m.values[i]) - m.residualMean);
    quadratic += w[i] * k[i];
  }
  if (ordinary)
    quadratic += w[n];  // the multiplier times the border's 1
  else
    estimate += m.residualMean;
  return {estimate * m.standardDeviation + m.mean, Long(model.nugget + model.sill) - quadratic};
}

struct OptionCase {
  const char* name;
  VariogramKind kind;
  double smoothness, nugget, angle, ratio;
  KrigingType type;
};

const OptionCase kCases[] = {
    {"exponential simple", VariogramKind::Exponential, 0.5, 0.0, 0, 1.0, KrigingType::Simple},
    {"exponential ordinary", VariogramKind::Exponential, 0.5, 0.0, 0, 1.0, KrigingType::Ordinary},
    {"spherical nugget", VariogramKind::Spherical, 0.5, 0.2, 0, 1.0, KrigingType::Simple},
    {"spherical ordinary anisotropic", VariogramKind::Spherical, 0.5, 0.1, 35, 0.4, KrigingType::Ordinary},
    {"gaussian nugget ordinary", VariogramKind::Gaussian, 0.5, 0.3, 0, 1.0, KrigingType::Ordinary},
    {"gaussian anisotropic", VariogramKind::Gaussian, 0.5, 0.05, -60, 0.5, KrigingType::Simple},
    {"matern 1.5 nugget", VariogramKind::Matern, 1.5, 0.25, 0, 1.0, KrigingType::Simple},
    {"matern 2.5 ordinary anisotropic", VariogramKind::Matern, 2.5, 0.2, 120, 0.3, KrigingType::Ordinary},
    {"exponential anisotropic nugget", VariogramKind::Exponential, 0.5, 0.4, 10, 0.6, KrigingType::Simple},
};

class KrigingOptionsTest : public test::InTempFolderTest {
 protected:
  // A state with the case's options, range 4 and sill 0.9, and its inverted system.
  std::unique_ptr<KrigingState> StateFor(const OptionCase& c) {
    const std::vector<DataPoint> points = Points();
    auto state = std::make_unique<KrigingState>(Folder(), 0);
    state->LoadVariable(static_cast<int>(points.size()), points.data(), 0, nullptr);
    VariogramModel& m = *state->primary;
    m.options.model = c.kind;
    m.options.smoothness = c.smoothness;
    m.options.nugget = c.nugget;
    m.options.angleDegrees = c.angle;
    m.options.ratio = c.ratio;
    m.options.type = c.type;
    m.a = 4.0;
    m.c = 0.9;
    m.BuildKrigingMatrix();
    const DenseMatrix system = state->Ordinary() ? state->OrdinarySystem() : m.covarianceMatrix;
    EXPECT_EQ(state->InvertSystem(system, nullptr).kind, OutcomeKind::Done);
    return state;
  }
};

TEST_F(KrigingOptionsTest, EstimatesAndStandardErrorsMatchADirectSolvePerPosition) {
  const NodeLayout layout{-1.0f, -0.5f, 2.5f, 2.0f, 5, 6};  // nodes around and between the points
  for (const OptionCase& c : kCases) {
    SCOPED_TRACE(c.name);
    auto state = StateFor(c);
    const VariogramModel& m = *state->primary;
    std::vector<float> estimates(30), errors(30);
    ASSERT_EQ(PredictGrid(*state, layout, estimates.data(), nullptr).kind, OutcomeKind::Done);
    ASSERT_EQ(StandardErrorGrid(*state, layout, errors.data(), nullptr).outcome.kind, OutcomeKind::Done);
    std::vector<double> xs, ys;
    for (int i = 0; i < layout.nx; ++i)
      for (int j = 0; j < layout.ny; ++j) {
        xs.push_back(layout.x0 + i * double(layout.dx));
        ys.push_back(layout.y0 + j * double(layout.dy));
      }
    // Positions on the data points too: there the variance is 0 (the nugget included).
    for (int i = 0; i < 3; ++i) {
      xs.push_back(m.x[i]);
      ys.push_back(m.y[i]);
    }
    std::vector<double> se(xs.size()), variance(xs.size());
    StandardErrorsAt(*state, static_cast<int>(xs.size()), xs.data(), ys.data(), se.data(), nullptr, variance.data());
    // Without the covariance matrix at hand the variances come from the product with the
    // inverse instead of the factor of the covariance matrix: the same numbers.
    KrigingState withoutCovariance(Folder(), 0);
    withoutCovariance.primary = std::make_unique<VariogramModel>(m);
    withoutCovariance.primary->covarianceMatrix = DenseMatrix();
    withoutCovariance.inverse = std::make_unique<DenseMatrix>(*state->inverse);
    std::vector<double> byProduct(xs.size());
    StandardErrorsAt(withoutCovariance, static_cast<int>(xs.size()), xs.data(), ys.data(), se.data(), nullptr,
                     byProduct.data());
    for (std::size_t p = 0; p < xs.size(); ++p) {
      EXPECT_NEAR(byProduct[p], variance[p], 1e-9 * (c.nugget + 0.9)) << p;
      const Direct d = DirectKriging(m, m.Model(), state->Ordinary(), xs[p], ys[p]);
      const double estimate = m.Predict(xs[p], ys[p], state->inverse.get());
      EXPECT_NEAR(estimate, double(d.estimate), 1e-9 * std::max(1.0L, std::fabs(d.estimate))) << p;
      EXPECT_NEAR(variance[p], double(d.variance), 1e-9 * (c.nugget + 0.9)) << p;
      if (p < 30) {
        EXPECT_NEAR(estimates[p], double(d.estimate), 1e-5 * std::max(1.0L, std::fabs(d.estimate))) << p;
        EXPECT_NEAR(errors[p], std::sqrt(std::max(0.0, variance[p])) * m.standardDeviation, 1e-6) << p;
      } else {
        EXPECT_NEAR(variance[p], 0.0, 1e-9) << p;
      }
    }
  }
}

TEST_F(KrigingOptionsTest, LeaveOneOutMatchesExplicitReSolvesWithoutThePoint) {
  for (const OptionCase& c : kCases) {
    SCOPED_TRACE(c.name);
    auto state = StateFor(c);
    const VariogramModel& m = *state->primary;
    CrossValidation cv;
    const Outcome validated = CrossValidate(*state, 0, 0, cv, nullptr);
    ASSERT_EQ(validated.kind, OutcomeKind::Done) << validated.text;
    ASSERT_EQ(cv.points.size(), 12u);
    double squares = 0.0;
    for (int i = 0; i < m.count; ++i) {
      // The same model on the other eleven points, estimating point i.
      VariogramModel rest(Folder(), 0);
      rest = m;
      rest.count = m.count - 1;
      rest.x.erase(rest.x.begin() + i);
      rest.y.erase(rest.y.begin() + i);
      rest.values.erase(rest.values.begin() + i);
      const Direct d = DirectKriging(rest, m.Model(), state->Ordinary(), m.x[i], m.y[i]);
      const CrossValidationPoint& p = cv.points[i];
      const double observed = m.values[i] * m.standardDeviation + m.mean;
      EXPECT_NEAR(p.observed, observed, 1e-12);
      EXPECT_NEAR(p.estimate, double(d.estimate), 1e-9 * std::max(1.0, std::fabs(observed))) << i;
      const double se = std::sqrt(double(d.variance)) * m.standardDeviation;
      EXPECT_NEAR(p.standardError, se, 1e-9 * se) << i;
      EXPECT_NEAR(p.standardisedResidual, (observed - double(d.estimate)) / se, 1e-8) << i;
      squares += p.residual * p.residual;
    }
    EXPECT_NEAR(cv.rootMeanSquareError, std::sqrt(squares / 12), 1e-12);
  }
}

TEST_F(KrigingOptionsTest, KFoldWithOnePointPerFoldIsLeaveOneOutAndFoldsFollowTheSeed) {
  auto state = StateFor(kCases[3]);
  CrossValidation loo, twelve, a, b, other;
  ASSERT_EQ(CrossValidate(*state, 0, 0, loo, nullptr).kind, OutcomeKind::Done);
  ASSERT_EQ(CrossValidate(*state, 12, 5, twelve, nullptr).kind, OutcomeKind::Done);
  for (int i = 0; i < 12; ++i) {
    EXPECT_NEAR(twelve.points[i].estimate, loo.points[i].estimate, 1e-9);
    EXPECT_NEAR(twelve.points[i].standardError, loo.points[i].standardError, 1e-9);
  }
  ASSERT_EQ(CrossValidate(*state, 3, 11, a, nullptr).kind, OutcomeKind::Done);
  ASSERT_EQ(CrossValidate(*state, 3, 11, b, nullptr).kind, OutcomeKind::Done);
  ASSERT_EQ(CrossValidate(*state, 3, 12, other, nullptr).kind, OutcomeKind::Done);
  bool differs = false;
  for (int i = 0; i < 12; ++i) {
    EXPECT_EQ(a.points[i].estimate, b.points[i].estimate);
    differs = differs || a.points[i].estimate != other.points[i].estimate;
    // Leaving out more points loses information: never a smaller error than leave-one-out.
    EXPECT_GE(a.points[i].standardError, loo.points[i].standardError - 1e-12);
  }
  EXPECT_TRUE(differs);

  std::string problem;
  for (int folds : {1, -2, 13}) {
    const Outcome refused = CrossValidate(*state, folds, 0, a, nullptr);
    EXPECT_EQ(refused.kind, OutcomeKind::InvalidInput);
    problem = refused.text;
  }
  EXPECT_NE(problem.find("folds"), std::string::npos);
}

TEST_F(KrigingOptionsTest, CrossValidationFileHasItsHeaderAndALinePerPoint) {
  auto state = StateFor(kCases[0]);
  CrossValidation cv;
  ASSERT_EQ(CrossValidate(*state, 0, 0, cv, nullptr).kind, OutcomeKind::Done);
  std::string problem;
  ASSERT_TRUE(WriteCrossValidationCsv(cv, folder_ / "cross_validation.csv", problem)) << problem;
  const std::vector<std::string> lines = test::CrLfLines(Bytes("cross_validation.csv"));
  ASSERT_EQ(lines.size(), 13u);
  EXPECT_EQ(lines[0], "x,y,observed,estimate,residual,standard_error,standardised_residual");
  EXPECT_FALSE(WriteCrossValidationCsv(cv, folder_ / "missing" / "cv.csv", problem));
  EXPECT_NE(problem.find("Cannot write"), std::string::npos);
}

TEST_F(KrigingOptionsTest, CokrigingEstimatesAndStandardErrorsMatchADirectSolve) {
  const std::vector<DataPoint> primaryPoints = Points();
  std::vector<DataPoint> secondaryPoints;
  for (int i = 0; i < 7; ++i) secondaryPoints.push_back({1.3 * i + 0.4, 9.0 - 1.1 * i, 3.0 + 0.5 * i * i});
  KrigingState state(Folder(), 0);
  state.LoadVariable(12, primaryPoints.data(), 0, nullptr);
  state.LoadVariable(7, secondaryPoints.data(), 1, nullptr);
  state.cross = std::make_unique<VariogramModel>(Folder(), 0);
  KrigingOptions options;
  options.model = VariogramKind::Gaussian;
  options.nugget = 0.15;
  options.angleDegrees = 20.0;
  options.ratio = 0.7;
  VariogramModel* models[] = {state.primary.get(), state.secondary.get(), state.cross.get()};
  const double sills[] = {0.9, 0.8, 0.3};
  for (int k = 0; k < 3; ++k) {
    models[k]->options = options;
    models[k]->a = 3.0;
    models[k]->c = sills[k];
  }
  state.cross->SetCross(state.primary.get(), state.secondary.get());
  for (VariogramModel* m : models) m->BuildKrigingMatrix();
  ASSERT_EQ(state.InvertSystem(state.CokrigingSystem(), nullptr).kind, OutcomeKind::Done);

  const VariogramModel& p = *state.primary;
  const VariogramModel& q = *state.secondary;
  CovarianceModel crossModel = state.cross->Model();
  crossModel.nugget = 0.0;
  const int n = 19;
  std::vector<std::vector<Long>> A(n, std::vector<Long>(n));
  auto point = [&](int i) { return i < 12 ? std::pair{p.x[i], p.y[i]} : std::pair{q.x[i - 12], q.y[i - 12]}; };
  auto covariance = [&](int i, int j, double dx, double dy) -> Long {
    if (i < 12 && j < 12) return p.Model().Covariance(dx, dy);
    if (i >= 12 && j >= 12) return q.Model().Covariance(dx, dy);
    return crossModel.Covariance(dx, dy);
  };
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j)
      A[i][j] = covariance(i, j, point(j).first - point(i).first, point(j).second - point(i).second);
  for (auto [x, y] : {std::pair{2.0, 3.0}, {7.5, 1.0}, {5.0, 5.0}, {p.x[4], p.y[4]}}) {
    std::vector<Long> k(n);
    for (int i = 0; i < n; ++i) k[i] = covariance(0, i, x - point(i).first, y - point(i).second);
    const std::vector<Long> w = test::SolveDense(A, k);
    Long estimate = p.residualMean, quadratic = 0.0L;
    for (int i = 0; i < n; ++i) {
      estimate += w[i] * (i < 12 ? Long(p.values[i]) - p.residualMean : Long(q.values[i - 12]) - q.residualMean);
      quadratic += w[i] * k[i];
    }
    const double variance = double(Long(0.9 + 0.15) - quadratic);
    double se = 0.0, raw = 0.0;
    StandardErrorsAt(state, 1, &x, &y, &se, nullptr, &raw);
    EXPECT_NEAR(raw, variance, 1e-9);
    EXPECT_NEAR(state.CoPredict(x, y, state.inverse.get(), nullptr), double(estimate * p.standardDeviation + p.mean),
                1e-9 * p.standardDeviation);
  }
}

// Class averages of a known model with some scatter.
LagClasses SyntheticClasses(const CovarianceModel& truth) {
  LagClasses classes;
  std::mt19937 generator(3);
  std::normal_distribution<double> noise(0.0, 0.03);
  for (int j = 1; j <= 15; ++j) {
    const double h = 10.0 * j;
    classes.lag.push_back(h);
    classes.gamma.push_back(truth.Variogram(h, 0.0) + noise(generator));
    classes.pairs.push_back(40 + 7 * j);
  }
  return classes;
}

TEST(VariogramWlsFit, ReachesTheBruteForceMinimumOfTheWeightedError) {
  struct FitCase {
    VariogramKind kind;
    bool fitNugget;
    FitWeights weights;
  };
  const FitCase cases[] = {{VariogramKind::Exponential, false, FitWeights::PairsOverLagSquared},
                           {VariogramKind::Spherical, true, FitWeights::PairsOverLagSquared},
                           {VariogramKind::Gaussian, true, FitWeights::PairsOverModelSquared},
                           {VariogramKind::Matern, false, FitWeights::PairsOverModelSquared}};
  for (const FitCase& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.kind));
    CovarianceModel truth;
    truth.kind = c.kind;
    truth.smoothness = 1.5;
    truth.range = 40.0;
    truth.sill = 0.9;
    truth.nugget = c.fitNugget ? 0.1 : 0.0;
    const LagClasses classes = SyntheticClasses(truth);
    CovarianceModel start = truth;
    start.range = 120.0;
    start.sill = 2.0;
    start.nugget = 0.0;
    const WlsFit fit = FitVariogramWls(classes, start, c.fitNugget, c.weights);
    ASSERT_TRUE(fit.converged);
    EXPECT_EQ(fit.weightedError, WeightedVariogramError(classes, fit.model, c.weights));

    // A fine search around the fit and over the whole plausible box: nothing lower.
    double best = HUGE_VAL;
    CovarianceModel probe = start;
    for (double range = 5.0; range <= 150.0; range *= 1.02)
      for (double sill = 0.3; sill <= 2.0; sill *= 1.02)
        for (double nugget = 0.0; nugget <= (c.fitNugget ? 0.4 : 0.0); nugget += 0.005) {
          probe.range = range;
          probe.sill = sill;
          probe.nugget = nugget;
          best = std::min(best, WeightedVariogramError(classes, probe, c.weights));
        }
    EXPECT_LE(fit.weightedError, best * (1.0 + 1e-9));
    EXPECT_NEAR(fit.model.range, 40.0, 12.0);
    EXPECT_GE(fit.model.nugget, 0.0);
  }
}

TEST(VariogramWlsFit, KeepsTheNuggetAtItsBound) {
  // Classes that a negative nugget would fit best: the fit stays at 0.
  CovarianceModel truth;
  truth.range = 30.0;
  LagClasses classes = SyntheticClasses(truth);
  for (double& g : classes.gamma) g -= 0.2;
  const WlsFit fit = FitVariogramWls(classes, truth, true, FitWeights::PairsOverLagSquared);
  ASSERT_TRUE(fit.converged);
  EXPECT_EQ(fit.model.nugget, 0.0);

  // Nothing to fit (every lag 0): no convergence, and the start comes back untouched.
  LagClasses empty;
  empty.lag = {0.0, 0.0};
  empty.gamma = {0.5, 0.7};
  empty.pairs = {3, 4};
  const WlsFit none = FitVariogramWls(empty, truth, true, FitWeights::PairsOverLagSquared);
  EXPECT_FALSE(none.converged);
  EXPECT_EQ(none.model.range, truth.range);
  EXPECT_EQ(none.model.sill, truth.sill);
}

}  // namespace
}  // namespace gridora
