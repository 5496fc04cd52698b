// Block kriging against the block system written out: the right-hand side the mean of
// the covariances (nugget left out) between each datum and the n x n centres of the
// block's sub-squares, the variance's C(B, B) the mean over every pair of those centres,
// a drift's f(x0) the mean of f over them; solved directly in long double.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "geostat/kriging_prediction.h"
#include "geostat/kriging_state.h"
#include "geostat/kriging_variance.h"
#include "geostat/local_prediction.h"
#include "support/dense_solve.h"
#include "trend/polynomial_drift.h"

namespace gridora {
namespace {

using Real = long double;

std::vector<DataPoint> Points(int n) {
  std::mt19937 random(29u);
  std::uniform_real_distribution<double> u(0.0, 10.0);
  std::vector<DataPoint> points;
  for (int i = 0; i < n; ++i) {
    const double x = u(random), y = u(random);
    points.push_back({x, y, 5.0 + 0.4 * x + std::cos(y) + 0.1 * u(random)});
  }
  return points;
}

struct Block {
  double estimate, error;
};

// Ordinary (order 0) or universal (order 1) block kriging at the block centred on (px, py).
Block DirectBlock(const std::vector<DataPoint>& pts, const CovarianceModel& standard, double sd, int order, double side,
                  int n, double px, double py) {
  auto cov = [&](double dx, double dy, bool structure) -> Real {
    if (structure && dx == 0.0 && dy == 0.0) return static_cast<Real>(sd) * sd * standard.sill;
    return static_cast<Real>(sd) * sd * standard.Covariance(dx, dy);
  };
  std::vector<double> dx, dy;  // the block's points
  for (int a = 0; a < n; ++a)
    for (int b = 0; b < n; ++b) {
      dx.push_back(px - side / 2 + (a + 0.5) * side / n);
      dy.push_back(py - side / 2 + (b + 0.5) * side / n);
    }
  const std::size_t N = dx.size(), m = pts.size(), p = order == 0 ? 1 : 3, size = m + p;
  std::vector<Real> A(size * size, 0), rhs(size, 0);
  for (std::size_t i = 0; i < m; ++i) {
    for (std::size_t j = 0; j < m; ++j) A[i * size + j] = cov(pts[i].x - pts[j].x, pts[i].y - pts[j].y, false);
    const Real f[] = {1, pts[i].x, pts[i].y};
    for (std::size_t l = 0; l < p; ++l) A[i * size + m + l] = A[(m + l) * size + i] = f[l];
    for (std::size_t k = 0; k < N; ++k) rhs[i] += cov(dx[k] - pts[i].x, dy[k] - pts[i].y, true) / N;
  }
  for (std::size_t k = 0; k < N; ++k) {
    const Real f[] = {1, dx[k], dy[k]};
    for (std::size_t l = 0; l < p; ++l) rhs[m + l] += f[l] / N;
  }
  Real cbb = 0;
  for (std::size_t k = 0; k < N; ++k)
    for (std::size_t l = 0; l < N; ++l) cbb += cov(dx[k] - dx[l], dy[k] - dy[l], true) / (N * N);
  const std::vector<Real> w = test::SolveDense(A, rhs);
  Real estimate = 0, explained = 0;
  for (std::size_t i = 0; i < m; ++i) estimate += w[i] * pts[i].z;
  for (std::size_t i = 0; i < size; ++i) explained += w[i] * rhs[i];
  return {static_cast<double>(estimate), static_cast<double>(std::sqrt(cbb - explained))};
}

TEST(BlockKriging, GlobalAndLocalMatchTheBlockSystemNodeByNode) {
  const std::vector<DataPoint> pts = Points(35);
  double lo = pts[0].z, hi = lo;
  for (const DataPoint& p : pts) lo = std::min(lo, p.z), hi = std::max(hi, p.z);
  const double tolerance = 1e-6 * (hi - lo);
  const NodeLayout layout{0.5, 0.5, 2.25, 2.25, 5, 5};
  for (int order = 0; order <= 1; ++order)
    for (int n : {1, 3, 4}) {
      SCOPED_TRACE(order * 10 + n);
      KrigingState state(".", 0);
      state.writeMatrixFiles = false;
      state.LoadVariable(35, pts.data(), 0, nullptr);
      VariogramModel& m = *state.primary;
      m.writeMatrixFiles = false;
      m.options.type = KrigingType::Ordinary;
      m.options.model = VariogramKind::Spherical;
      m.options.nugget = 0.15;
      m.options.drift = order == 0 ? DriftKind::None : DriftKind::Linear;
      m.options.block = 1.5;
      m.options.blockPoints = n;
      m.a = 5.0;
      m.c = 0.8;
      m.BuildKrigingMatrix();
      state.drift = MakePolynomialDrift(m.options.drift, 35, m.x.data(), m.y.data());
      ASSERT_TRUE(state.InvertSystem(state.OrdinarySystem(), nullptr, false).Done());
      std::vector<float> estimate(layout.NodeCount()), error(layout.NodeCount());
      std::vector<float> localEstimate(layout.NodeCount()), localError(layout.NodeCount());
      ASSERT_TRUE(PredictGrid(state, layout, estimate.data(), nullptr).Done());
      ASSERT_TRUE(StandardErrorGrid(state, layout, error.data(), nullptr).outcome.Done());
      LocalNeighbourhood all;
      all.neighbours = 35;
      ASSERT_TRUE(PredictGridLocally(m, m.Model(), LocalKrigingType::Ordinary, all, layout, localEstimate.data(),
                                     localError.data(), nullptr, nullptr, state.drift, m.options.Block())
                      .grid.outcome.Done());
      for (int i = 0; i < layout.nx; ++i)
        for (int j = 0; j < layout.ny; ++j) {
          const Block b = DirectBlock(pts, m.Model(), m.standardDeviation, order, 1.5, n, layout.X(i), layout.Y(j));
          const std::size_t k = static_cast<std::size_t>(i) * layout.ny + j;
          EXPECT_NEAR(estimate[k], b.estimate, tolerance + 4e-7 * std::fabs(b.estimate));
          EXPECT_NEAR(error[k], b.error, tolerance + 4e-7 * b.error);
          EXPECT_NEAR(localEstimate[k], b.estimate, tolerance + 4e-7 * std::fabs(b.estimate));
          EXPECT_NEAR(localError[k], b.error, tolerance + 4e-7 * b.error);
        }
    }
}

}  // namespace
}  // namespace gridora
