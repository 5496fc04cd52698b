#include "geostat/variogram_wls_fit.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace gridora {
namespace {

constexpr int kIterationLimit = 500;
constexpr double kLargestDamping = 1e16;

double ModelGamma(const CovarianceModel& model, double h) {
  CovarianceModel isotropic = model;
  isotropic.ratio = 1.0;
  return isotropic.Variogram(h, 0.0);
}

// r_j with S = sum r_j^2; an empty vector when the model gives no usable value.
std::vector<double> Residuals(const LagClasses& c, const CovarianceModel& model, FitWeights weights) {
  std::vector<double> r;
  r.reserve(c.lag.size());
  for (std::size_t j = 0; j < c.lag.size(); ++j) {
    const double h = c.lag[j];
    if (!(h > 0.0)) continue;
    const double g = ModelGamma(model, h);
    const double n = c.pairs.empty() ? 1.0 : c.pairs[j];
    double value;
    if (weights == FitWeights::PairsOverLagSquared) {
      value = std::sqrt(n) / h * (c.gamma[j] - g);
    } else {
      if (!(g > 0.0)) return {};
      value = std::sqrt(n) * (c.gamma[j] / g - 1.0);
    }
    if (!std::isfinite(value)) return {};
    r.push_back(value);
  }
  return r;
}

double SumOfSquares(const std::vector<double>& r) {
  double s = 0.0;
  for (double v : r) s += v * v;
  return s;
}

// Parameters p = (log range, log sill, nugget).
CovarianceModel WithParameters(CovarianceModel model, const std::array<double, 3>& p) {
  model.range = std::exp(p[0]);
  model.sill = std::exp(p[1]);
  model.nugget = p[2];
  return model;
}

// Solves the k x k system A x = b (k <= 3) by elimination with partial pivoting; false
// when singular.
bool Solve(int k, std::array<std::array<double, 3>, 3> A, std::array<double, 3> b, std::array<double, 3>& x) {
  for (int col = 0; col < k; ++col) {
    int pivot = col;
    for (int r = col + 1; r < k; ++r)
      if (std::fabs(A[r][col]) > std::fabs(A[pivot][col])) pivot = r;
    if (!(std::fabs(A[pivot][col]) > 0.0)) return false;
    std::swap(A[col], A[pivot]);
    std::swap(b[col], b[pivot]);
    for (int r = col + 1; r < k; ++r) {
      const double f = A[r][col] / A[col][col];
      for (int cc = col; cc < k; ++cc) A[r][cc] -= f * A[col][cc];
      b[r] -= f * b[col];
    }
  }
  for (int r = k - 1; r >= 0; --r) {
    double s = b[r];
    for (int cc = r + 1; cc < k; ++cc) s -= A[r][cc] * x[cc];
    x[r] = s / A[r][r];
  }
  return true;
}

}  // namespace

double WeightedVariogramError(const LagClasses& classes, const CovarianceModel& model, FitWeights weights) {
  const std::vector<double> r = Residuals(classes, model, weights);
  return r.empty() ? HUGE_VAL : SumOfSquares(r);
}

WlsFit FitVariogramWls(const LagClasses& classes, const CovarianceModel& start, bool fitNugget, FitWeights weights) {
  WlsFit result;
  result.model = start;
  std::array<double, 3> p = {std::log(start.range), std::log(start.sill), start.nugget};
  const int k = fitNugget ? 3 : 2;
  std::vector<double> r = Residuals(classes, start, weights);
  if (r.empty() || !std::isfinite(p[0]) || !std::isfinite(p[1])) return result;
  double S = SumOfSquares(r);
  double damping = 1e-3;

  for (int iteration = 1; iteration <= kIterationLimit; ++iteration) {
    result.iterations = iteration;
    // Forward-difference Jacobian of the residuals.
    std::vector<std::array<double, 3>> J(r.size());
    for (int q = 0; q < k; ++q) {
      std::array<double, 3> shifted = p;
      const double step = 1e-7 * std::max(1.0, std::fabs(p[q]));
      shifted[q] += step;
      const std::vector<double> rs = Residuals(classes, WithParameters(start, shifted), weights);
      if (rs.size() != r.size()) return result;
      for (std::size_t j = 0; j < r.size(); ++j) J[j][q] = (rs[j] - r[j]) / step;
    }
    std::array<std::array<double, 3>, 3> JtJ{};
    std::array<double, 3> Jtr{};
    for (std::size_t j = 0; j < r.size(); ++j)
      for (int a = 0; a < k; ++a) {
        Jtr[a] += J[j][a] * r[j];
        for (int b = 0; b < k; ++b) JtJ[a][b] += J[j][a] * J[j][b];
      }
    // A nugget at 0 that the descent would push below 0 is held there for this step.
    if (k == 3 && p[2] <= 0.0 && Jtr[2] > 0.0) {
      for (int a = 0; a < 3; ++a) JtJ[2][a] = JtJ[a][2] = 0.0;
      JtJ[2][2] = 1.0;
      Jtr[2] = 0.0;
    }
    double gradient = 0.0;
    for (int a = 0; a < k; ++a) gradient = std::max(gradient, std::fabs(Jtr[a]));
    if (gradient <= 1e-12 * std::max(1.0, S)) {
      result.converged = true;
      break;
    }

    bool accepted = false;
    while (!accepted && damping < kLargestDamping) {
      std::array<std::array<double, 3>, 3> A = JtJ;
      for (int a = 0; a < k; ++a) A[a][a] += damping * std::max(JtJ[a][a], 1e-12);
      std::array<double, 3> minus{}, delta{};
      for (int a = 0; a < k; ++a) minus[a] = -Jtr[a];
      if (!Solve(k, A, minus, delta)) {
        damping *= 10.0;
        continue;
      }
      std::array<double, 3> trial = p;
      for (int a = 0; a < k; ++a) trial[a] += delta[a];
      trial[2] = std::max(0.0, trial[2]);
      const std::vector<double> rt = Residuals(classes, WithParameters(start, trial), weights);
      const double St = rt.size() == r.size() ? SumOfSquares(rt) : HUGE_VAL;
      if (St < S) {
        const double decrease = S - St;
        double stepSize = 0.0;
        for (int a = 0; a < k; ++a) stepSize = std::max(stepSize, std::fabs(trial[a] - p[a]));
        p = trial;
        r = rt;
        S = St;
        damping = std::max(damping / 3.0, 1e-12);
        accepted = true;
        if (decrease <= 1e-12 * std::max(S, 1e-300) || stepSize <= 1e-10) result.converged = true;
      } else {
        damping *= 4.0;
      }
    }
    // No step lowers S any more: a minimum as far as double precision can tell.
    if (!accepted) result.converged = true;
    if (result.converged) break;
  }
  if (result.converged) {
    result.model = WithParameters(start, p);
    result.weightedError = S;
  }
  return result;
}

}  // namespace gridora
