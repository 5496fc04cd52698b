// Log-normal (trans-Gaussian) and indicator kriging against the formulas written out:
// the ordinary kriging system of Y = ln z solved directly for each node, the GLS mean
// from C^-1, and z^ = exp(Y^) + exp(mu^) (sigma^2 / 2 - m) with m = -mu (the multiplier
// of the covariance form), standard error exp(mu^) sigma.
#include "trend/kriging_transform.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "geostat/kriging_prediction.h"
#include "geostat/local_prediction.h"
#include "support/dense_solve.h"

namespace gridora {
namespace {

using Real = long double;

std::vector<DataPoint> SkewedPoints(int n) {
  std::mt19937 random(17u);
  std::uniform_real_distribution<double> u(0.0, 10.0);
  std::normal_distribution<double> noise(0.0, 0.4);
  std::vector<DataPoint> points;
  for (int i = 0; i < n; ++i) {
    const double x = u(random), y = u(random);
    points.push_back({x, y, std::exp(1.0 + 0.3 * std::sin(x) + 0.2 * y + noise(random))});
  }
  return points;
}

std::unique_ptr<KrigingState> OrdinaryState(const std::vector<DataPoint>& values) {
  auto state = std::make_unique<KrigingState>(".", 0);
  state->writeMatrixFiles = false;
  state->LoadVariable(static_cast<int>(values.size()), values.data(), 0, nullptr);
  VariogramModel& m = *state->primary;
  m.writeMatrixFiles = false;
  m.options.type = KrigingType::Ordinary;
  m.options.model = VariogramKind::Spherical;
  m.options.nugget = 0.1;
  m.options.transform = ValueTransform::Log;
  m.a = 6.0;
  m.c = 0.9;
  m.BuildKrigingMatrix();
  EXPECT_TRUE(state->InvertSystem(state->OrdinarySystem(), nullptr, false).Done());
  return state;
}

struct Expected {
  double estimate, error;
};

Expected DirectLogNormal(const std::vector<DataPoint>& logs, const CovarianceModel& standard, double sd, double px,
                         double py) {
  const std::size_t n = logs.size(), N = n + 1;
  auto cov = [&](double dx, double dy) { return static_cast<Real>(sd) * sd * standard.Covariance(dx, dy); };
  std::vector<Real> A(N * N, 0), b(N, 0), C(n * n), ones(n, 1), ys(n);
  for (std::size_t i = 0; i < n; ++i) {
    for (std::size_t j = 0; j < n; ++j) A[i * N + j] = C[i * n + j] = cov(logs[i].x - logs[j].x, logs[i].y - logs[j].y);
    A[i * N + n] = A[n * N + i] = 1;
    b[i] = cov(px - logs[i].x, py - logs[i].y);
    ys[i] = logs[i].z;
  }
  b[n] = 1;
  const std::vector<Real> w = test::SolveDense(A, b);
  Real yHat = 0, explained = 0;
  for (std::size_t i = 0; i < n; ++i) {
    yHat += w[i] * logs[i].z;
    explained += w[i] * b[i];
  }
  const Real mu = w[n];
  const Real sigma2 = cov(0, 0) - explained - mu;
  const std::vector<Real> cy = test::SolveDense(C, ys), c1 = test::SolveDense(C, ones);
  Real top = 0, bottom = 0;
  for (std::size_t i = 0; i < n; ++i) top += cy[i], bottom += c1[i];
  const Real muHat = top / bottom, m = -mu;
  return {static_cast<double>(std::exp(yHat) + std::exp(muHat) * (sigma2 / 2 - m)),
          static_cast<double>(std::exp(muHat) * std::sqrt(sigma2))};
}

TEST(LogKriging, GlobalAndLocalFollowTheBackTransformNodeByNode) {
  const std::vector<DataPoint> points = SkewedPoints(30);
  KrigingOptions options;
  options.transform = ValueTransform::Log;
  const std::vector<DataPoint> logs = KrigedValues(options, 30, points.data());
  const auto state = OrdinaryState(logs);
  const VariogramModel& m = *state->primary;
  double lo = points[0].z, hi = lo;
  for (const DataPoint& p : points) lo = std::min(lo, p.z), hi = std::max(hi, p.z);
  const double tolerance = 1e-6 * (hi - lo);
  std::vector<double> xs, ys;
  for (double x = -1.0; x <= 11.0; x += 1.7)
    for (double y = -0.5; y <= 10.5; y += 2.1) xs.push_back(x), ys.push_back(y);
  const int count = static_cast<int>(xs.size());
  std::vector<double> global(xs.size()), globalError(xs.size()), local(xs.size()), localError(xs.size());
  ASSERT_TRUE(LogKrigingAt(*state, count, xs.data(), ys.data(), global.data(), globalError.data(), nullptr).Done());
  state->primary->options.neighbours = 30;  // every point: the local systems are the global one
  ASSERT_TRUE(LocalLogKrigingAt(*state, count, xs.data(), ys.data(), local.data(), localError.data(), nullptr).Done());
  for (int k = 0; k < count; ++k) {
    const Expected e = DirectLogNormal(logs, m.Model(), m.standardDeviation, xs[k], ys[k]);
    EXPECT_NEAR(global[k], e.estimate, tolerance) << k;
    EXPECT_NEAR(globalError[k], e.error, tolerance) << k;
    EXPECT_NEAR(local[k], e.estimate, tolerance) << k;
    EXPECT_NEAR(localError[k], e.error, tolerance) << k;
  }
}

TEST(LogKriging, NonPositiveValuesAreRefusedWithTheirCount) {
  KrigingOptions options;
  options.transform = ValueTransform::Log;
  const DataPoint points[] = {{0, 0, 1.0}, {1, 0, 0.0}, {0, 1, -2.0}, {1, 1, 3.0}};
  const std::optional<std::string> refusal = TransformRefusal(options, 4, points);
  ASSERT_TRUE(refusal);
  EXPECT_NE(refusal->find("2 of the 4 points"), std::string::npos) << *refusal;
  EXPECT_FALSE(TransformRefusal(KrigingOptions{}, 4, points));
}

}  // namespace
}  // namespace gridora
