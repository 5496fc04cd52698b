// Universal kriging (drift=linear|quadratic) against the textbook system solved
// directly: for each node the bordered system in the data's own units and raw x, y,
//
//     [ C    F ] [ w  ]   [ c0 ]       estimate  sum w_i z_i
//     [ F^T  0 ] [ mu ] = [ f0 ],      variance  C(0) - w^T c0 - mu^T f0,
//
// F_il = x_i^a y_i^b, written out here and solved by Gaussian elimination in long
// double; nothing is shared with the kriging's own scaling, factor or inverse.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "../geostat/kriging_test_support.h"
#include "geostat/cross_validation.h"
#include "geostat/kriging_prediction.h"
#include "geostat/kriging_state.h"
#include "geostat/kriging_variance.h"
#include "geostat/local_prediction.h"
#include "support/dense_solve.h"
#include "trend/polynomial_drift.h"

namespace gridora {
namespace {

using Real = long double;

std::vector<DataPoint> GradientPoints(int n, unsigned seed) {
  std::mt19937 generator(seed);
  std::uniform_real_distribution<double> u(0.0, 10.0);
  std::normal_distribution<double> noise(0.0, 0.3);
  std::vector<DataPoint> points;
  for (int i = 0; i < n; ++i) {
    const double x = 1000.0 + u(generator), y = 5000.0 + u(generator);
    points.push_back({x, y, 2.0 * (x - 1000.0) - 0.5 * (y - 5000.0) + std::sin(x) + noise(generator)});
  }
  return points;
}

struct Reference {
  double estimate, error;
};

// The direct solve of the UK system at (px, py) in the data's units.
Reference DirectUniversal(const std::vector<DataPoint>& pts, const CovarianceModel& standardModel, double sd, int order,
                          double px, double py) {
  auto drift = [order](Real x, Real y) {
    std::vector<Real> f = {1, x, y};
    if (order == 2) f.insert(f.end(), {x * x, x * y, y * y});
    return f;
  };
  const std::size_t n = pts.size(), p = order == 1 ? 3 : 6, N = n + p;
  auto cov = [&](double dx, double dy) { return static_cast<Real>(sd) * sd * standardModel.Covariance(dx, dy); };
  std::vector<Real> A(N * N, 0), b(N, 0);
  for (std::size_t i = 0; i < n; ++i) {
    for (std::size_t j = 0; j < n; ++j) A[i * N + j] = cov(pts[i].x - pts[j].x, pts[i].y - pts[j].y);
    const std::vector<Real> f = drift(pts[i].x, pts[i].y);
    for (std::size_t l = 0; l < p; ++l) A[i * N + n + l] = A[(n + l) * N + i] = f[l];
    b[i] = cov(px - pts[i].x, py - pts[i].y);
  }
  const std::vector<Real> f0 = drift(px, py);
  for (std::size_t l = 0; l < p; ++l) b[n + l] = f0[l];
  const std::vector<Real> w = test::SolveDense(A, b);
  Real estimate = 0, explained = 0;
  for (std::size_t i = 0; i < n; ++i) {
    estimate += w[i] * pts[i].z;
    explained += w[i] * b[i];
  }
  for (std::size_t l = 0; l < p; ++l) explained += w[n + l] * f0[l];
  const Real variance = cov(0, 0) - explained;
  return {static_cast<double>(estimate), static_cast<double>(std::sqrt(std::max<Real>(variance, 0)))};
}

KrigingOptions UniversalOptions(DriftKind drift, VariogramKind kind, double nugget) {
  KrigingOptions o;
  o.type = KrigingType::Ordinary;
  o.drift = drift;
  o.model = kind;
  o.nugget = nugget;
  return o;
}

// A state as the Variogram command leaves it, with a model chosen here.
std::unique_ptr<KrigingState> UniversalState(const std::vector<DataPoint>& pts, const KrigingOptions& options) {
  auto state = std::make_unique<KrigingState>(".", 0);
  state->writeMatrixFiles = false;
  state->LoadVariable(static_cast<int>(pts.size()), pts.data(), 0, nullptr);
  VariogramModel& model = *state->primary;
  model.writeMatrixFiles = false;
  model.options = options;
  model.a = 2.5;
  model.c = 0.8;
  model.BuildKrigingMatrix();
  state->drift = MakePolynomialDrift(options.drift, pts.size(), model.x.data(), model.y.data());
  EXPECT_TRUE(state->InvertSystem(state->OrdinarySystem(), nullptr, false).Done());
  return state;
}

double Range(const std::vector<DataPoint>& pts) {
  double lo = pts[0].z, hi = pts[0].z;
  for (const DataPoint& p : pts) lo = std::min(lo, p.z), hi = std::max(hi, p.z);
  return hi - lo;
}

struct Case {
  DriftKind drift;
  VariogramKind kind;
  double nugget;
};
const Case kCases[] = {
    {DriftKind::Linear, VariogramKind::Exponential, 0.0},
    {DriftKind::Quadratic, VariogramKind::Exponential, 0.0},
    {DriftKind::Linear, VariogramKind::Spherical, 0.1},
    {DriftKind::Quadratic, VariogramKind::Gaussian, 0.05},
};

const NodeLayout kLayout{998.0, 4999.0, 2.3, 1.9, 7, 7};  // reaches beyond the points

TEST(UniversalKriging, GlobalGridMatchesTheDirectSolveNodeByNode) {
  test::TempFolder folder;
  const std::vector<DataPoint> pts = GradientPoints(40, 3u);
  const double tolerance = 1e-6 * Range(pts);
  for (const Case& c : kCases) {
    SCOPED_TRACE(static_cast<int>(c.drift) * 10 + static_cast<int>(c.kind));
    const auto state = UniversalState(pts, UniversalOptions(c.drift, c.kind, c.nugget));
    ASSERT_EQ(state->inverse->rows, 40 + (c.drift == DriftKind::Linear ? 3 : 6));
    std::vector<float> estimate(kLayout.NodeCount()), error(kLayout.NodeCount());
    ASSERT_TRUE(PredictGrid(*state, kLayout, estimate.data(), nullptr).Done());
    ASSERT_TRUE(StandardErrorGrid(*state, kLayout, error.data(), nullptr).outcome.Done());
    const VariogramModel& m = *state->primary;
    for (int i = 0; i < kLayout.nx; ++i)
      for (int j = 0; j < kLayout.ny; ++j) {
        const Reference r = DirectUniversal(pts, m.Model(), m.standardDeviation, c.drift == DriftKind::Linear ? 1 : 2,
                                            kLayout.X(i), kLayout.Y(j));
        const std::size_t k = static_cast<std::size_t>(i) * kLayout.ny + j;
        EXPECT_NEAR(estimate[k], r.estimate, tolerance + 4e-7 * std::fabs(r.estimate)) << i << "," << j;
        EXPECT_NEAR(error[k], r.error, tolerance + 4e-7 * r.error) << i << "," << j;
      }
    EXPECT_LT(MisfitAtData(*state).Relative(), 1e-9);
  }
}

// Every point in every neighbourhood: the local systems are the global one.
TEST(UniversalKriging, LocalGridMatchesTheDirectSolve) {
  const std::vector<DataPoint> pts = GradientPoints(30, 5u);
  const double tolerance = 1e-6 * Range(pts);
  for (const Case& c : kCases) {
    const auto state = UniversalState(pts, UniversalOptions(c.drift, c.kind, c.nugget));
    const VariogramModel& m = *state->primary;
    LocalNeighbourhood all;
    all.neighbours = 30;
    std::vector<float> estimate(kLayout.NodeCount()), error(kLayout.NodeCount());
    const LocalPrediction local = PredictGridLocally(m, m.Model(), LocalKrigingType::Ordinary, all, kLayout,
                                                     estimate.data(), error.data(), nullptr, nullptr, state->drift);
    ASSERT_TRUE(local.grid.outcome.Done());
    ASSERT_EQ(local.grid.emptyNodes, 0u);
    for (int i = 0; i < kLayout.nx; ++i)
      for (int j = 0; j < kLayout.ny; ++j) {
        const Reference r = DirectUniversal(pts, m.Model(), m.standardDeviation, c.drift == DriftKind::Linear ? 1 : 2,
                                            kLayout.X(i), kLayout.Y(j));
        const std::size_t k = static_cast<std::size_t>(i) * kLayout.ny + j;
        EXPECT_NEAR(estimate[k], r.estimate, tolerance + 4e-7 * std::fabs(r.estimate));
        EXPECT_NEAR(error[k], r.error, tolerance + 4e-7 * r.error);
      }
  }
}

// Leave-one-out from the inverse (global) and point by point (local, every point a
// neighbour) agree with the direct solve over the other points.
TEST(UniversalKriging, CrossValidationLeavesEachPointOutOfTheUniversalSystem) {
  const std::vector<DataPoint> pts = GradientPoints(25, 9u);
  const auto state = UniversalState(pts, UniversalOptions(DriftKind::Linear, VariogramKind::Exponential, 0.05));
  CrossValidation global, local;
  ASSERT_TRUE(CrossValidate(*state, 0, 1u, global, nullptr).Done());
  LocalNeighbourhood all;
  all.neighbours = 25;
  const VariogramModel& m = *state->primary;
  ASSERT_TRUE(CrossValidateLocally(*state, m.Model(), LocalKrigingType::Ordinary, all, 0, 1u, local, nullptr,
                                   state->drift.get())
                  .Done());
  ASSERT_EQ(global.points.size(), 25u);
  ASSERT_EQ(local.points.size(), 25u);
  for (int i = 0; i < 25; ++i) {
    std::vector<DataPoint> others = pts;
    others.erase(others.begin() + i);
    const Reference r = DirectUniversal(others, m.Model(), m.standardDeviation, 1, pts[i].x, pts[i].y);
    EXPECT_NEAR(global.points[i].estimate, r.estimate, 1e-7 * Range(pts)) << i;
    EXPECT_NEAR(global.points[i].standardError, r.error, 1e-7 * Range(pts)) << i;
    EXPECT_NEAR(local.points[i].estimate, r.estimate, 1e-7 * Range(pts)) << i;
    EXPECT_NEAR(local.points[i].standardError, r.error, 1e-7 * Range(pts)) << i;
  }
}

}  // namespace
}  // namespace gridora
