#include "geostat/kriging_variance.h"

#include <algorithm>
#include <cmath>

#include "platform/feedback.h"
#include "platform/trace.h"

extern "C" {
void dgemm_(const char* transa, const char* transb, const int* m, const int* n, const int* k, const double* alpha,
            const double* a, const int* lda, const double* b, const int* ldb, const double* beta, double* c,
            const int* ldc);
void dpotrf_(const char* uplo, const int* n, double* a, const int* lda, int* info);
void dtrtri_(const char* uplo, const char* diag, const int* n, double* a, const int* lda, int* info);
void dtrmv_(const char* uplo, const char* trans, const char* diag, const int* n, const double* a, const int* lda,
            double* x, const int* incx);
void dtrmm_(const char* side, const char* uplo, const char* transa, const char* diag, const int* m, const int* n,
            const double* alpha, const double* a, const int* lda, double* b, const int* ldb);
}

namespace gridora {
namespace {

// Positions per BLAS product: large enough for the product to run at full speed, small
// enough that its blocks of 2,000 points stay near 20 MB each and a cancel answers quickly.
constexpr int kBlockPositions = 640;

// C(0) of a point, C(B, B) of a block.
double TotalSill(const KrigingState& state) {
  const VariogramModel& p = *state.primary;
  const BlockSupport block = p.options.Block();
  if (block.Active() && !state.HasSecondary()) return BlockVariance(p.Model(), block);
  return p.c + p.options.nugget;
}

}  // namespace

void SystemColumn(const KrigingState& state, double x, double y, double* column) {
  const VariogramModel& p = *state.primary;
  const int n1 = p.count;
  const BlockSupport block = p.options.Block();
  if (block.Active() && !state.HasSecondary()) {
    const CovarianceModel model = p.Model();
    for (int i = 0; i < n1; ++i) column[i] = PointToBlockCovariance(model, block, x, y, p.x[i], p.y[i]);
    if (state.drift && state.inverse->rows > n1)
      BlockDriftAt(*state.drift, block, x, y, column + n1);
    else
      for (int i = n1; i < state.inverse->rows; ++i) column[i] = 1.0;
    return;
  }
  const bool plain = p.options.PlainExponential();
  for (int i = 0; i < n1; ++i) {
    if (plain) {
      const double d = std::sqrt((y - p.y[i]) * (y - p.y[i]) + (x - p.x[i]) * (x - p.x[i]));
      column[i] = std::exp(-d / p.a) * p.c;
    } else {
      column[i] = p.ModelCovarianceTo(x, y, i);
    }
  }
  int size = n1;
  if (state.HasSecondary()) {
    const VariogramModel& s = *state.secondary;
    const VariogramModel& x12 = *state.cross;
    for (int j = 0; j < s.count; ++j) {
      if (x12.options.PlainExponential()) {
        const double d = std::sqrt((y - s.y[j]) * (y - s.y[j]) + (x - s.x[j]) * (x - s.x[j]));
        column[n1 + j] = std::exp(-d / x12.a) * x12.c;
      } else {
        column[n1 + j] = x12.ModelCovarianceTo(x, y, j);
      }
    }
    size += s.count;
  }
  if (state.drift && !state.HasSecondary() && state.inverse->rows > size)
    state.drift->At(x, y, column + size);
  else
    for (int i = size; i < state.inverse->rows; ++i) column[i] = 1.0;
}

namespace {

// C, the covariance part of the state's system (the system of simple kriging and
// cokriging, the system of ordinary kriging without its border of ones): the primary
// model's matrix itself, or the cokriging system built into `built`. Null when the state
// does not hold the matrices its inverse came from.
const DenseMatrix* CovarianceOfSystem(const KrigingState& state, DenseMatrix& built) {
  if (state.inverse->rows != state.SystemSize()) return nullptr;
  const VariogramModel& p = *state.primary;
  if (p.covarianceMatrix.rows != p.count) return nullptr;
  if (!state.HasSecondary()) return &p.covarianceMatrix;
  const VariogramModel& s = *state.secondary;
  const VariogramModel& x12 = *state.cross;
  if (s.covarianceMatrix.rows != s.count || x12.covarianceMatrix.rows != p.count ||
      x12.covarianceMatrix.columns != s.count)
    return nullptr;
  built = state.CokrigingSystem();
  return &built;
}

// The Cholesky factor C = L L^T, with which
//
//     k~^T Q k~ = |L^-1 k|^2 - (1 - u^T L^-1 k)^2 / |u|^2,      u = L^-1 1,
//
// the second term only for the border of ordinary kriging (it is the variance the
// unknown mean adds). L^-1 is formed once; L^-1 K is then one triangular product per
// block of positions (faster in BLAS than the triangular solve): half the work of the
// full product with Q, and a sum of squares does not cancel the way C(0) - k^T Q k does
// when the system is ill-conditioned.
//
// With a drift of p functions (universal kriging) the border is F (n x p) instead of 1:
//
//     k~^T Q k~ = |L^-1 k|^2 - t^T G^-1 t,   U = L^-1 F, G = U^T U, t = f(x0) - U^T L^-1 k,
//
// the variance the drift's unknown coefficients add (Cressie 1993, (3.4.5)); with p = 1
// and f = 1 it is the term above.
struct CovarianceFactor {
  int size = 0;
  bool bordered = false;
  std::vector<double> lowerInverse;  // L^-1, column-major, size x size
  std::vector<double> ones;          // u = L^-1 1 (bordered only)
  double onesSquared = 0.0;          // |u|^2
  int driftCount = 0;                // p of a drift, 0 without
  std::vector<double> driftFactor;   // U = L^-1 F, column-major, size x p
  std::vector<double> gramInverse;   // G^-1, p x p

  // false when C is not at hand or not numerically positive definite.
  bool Factor(const KrigingState& state) {
    DenseMatrix built;
    const DenseMatrix* covariance = CovarianceOfSystem(state, built);
    if (!covariance || covariance->rows == 0) return false;
    const DenseMatrix& C = *covariance;
    size = C.rows;
    bordered = state.Ordinary();
    lowerInverse.resize(static_cast<std::size_t>(size) * size);
    // C is symmetric: its rows are its columns.
    for (int i = 0; i < size; ++i)
      std::copy(C.values[i], C.values[i] + size, &lowerInverse[static_cast<std::size_t>(i) * size]);
    int info = 0;
    dpotrf_("L", &size, lowerInverse.data(), &size, &info);  // L, then L^-1 in place
    if (info != 0) return false;
    dtrtri_("L", "N", &size, lowerInverse.data(), &size, &info);
    if (info != 0) return false;
    if (bordered && state.drift) return FactorDrift(state);
    if (bordered) {
      ones.assign(static_cast<std::size_t>(size), 1.0);
      const int one = 1;
      dtrmv_("L", "N", "N", &size, lowerInverse.data(), &size, ones.data(), &one);
      for (double v : ones) onesSquared += v * v;
      if (!(onesSquared > 0.0) || !std::isfinite(onesSquared)) return false;
    }
    return true;
  }

  bool FactorDrift(const KrigingState& state) {
    const VariogramModel& p = *state.primary;
    const int q = state.drift->Count();
    driftCount = q;
    driftFactor.assign(static_cast<std::size_t>(size) * q, 0.0);
    std::vector<double> f(static_cast<std::size_t>(q));
    for (int i = 0; i < size; ++i) {
      state.drift->At(p.x[i], p.y[i], f.data());
      for (int l = 0; l < q; ++l) driftFactor[static_cast<std::size_t>(l) * size + i] = f[l];
    }
    const double one = 1.0;
    dtrmm_("L", "L", "N", "N", &size, &q, &one, lowerInverse.data(), &size, driftFactor.data(), &size);
    // G = U^T U, then its inverse by Gauss-Jordan with partial pivoting (p is small).
    std::vector<double> G(static_cast<std::size_t>(q) * q);
    for (int a = 0; a < q; ++a)
      for (int b = 0; b < q; ++b) {
        double s = 0.0;
        for (int i = 0; i < size; ++i)
          s +=
              driftFactor[static_cast<std::size_t>(a) * size + i] * driftFactor[static_cast<std::size_t>(b) * size + i];
        G[static_cast<std::size_t>(a) * q + b] = s;
      }
    gramInverse.assign(static_cast<std::size_t>(q) * q, 0.0);
    for (int a = 0; a < q; ++a) gramInverse[static_cast<std::size_t>(a) * q + a] = 1.0;
    for (int c = 0; c < q; ++c) {
      int pivot = c;
      for (int r = c + 1; r < q; ++r)
        if (std::fabs(G[static_cast<std::size_t>(r) * q + c]) > std::fabs(G[static_cast<std::size_t>(pivot) * q + c]))
          pivot = r;
      const double d = G[static_cast<std::size_t>(pivot) * q + c];
      if (!(std::fabs(d) > 0.0) || !std::isfinite(d)) return false;
      for (int k = 0; k < q; ++k) {
        std::swap(G[static_cast<std::size_t>(c) * q + k], G[static_cast<std::size_t>(pivot) * q + k]);
        std::swap(gramInverse[static_cast<std::size_t>(c) * q + k],
                  gramInverse[static_cast<std::size_t>(pivot) * q + k]);
      }
      for (int k = 0; k < q; ++k) {
        G[static_cast<std::size_t>(c) * q + k] /= d;
        gramInverse[static_cast<std::size_t>(c) * q + k] /= d;
      }
      for (int r = 0; r < q; ++r) {
        if (r == c) continue;
        const double m = G[static_cast<std::size_t>(r) * q + c];
        if (m == 0.0) continue;
        for (int k = 0; k < q; ++k) {
          G[static_cast<std::size_t>(r) * q + k] -= m * G[static_cast<std::size_t>(c) * q + k];
          gramInverse[static_cast<std::size_t>(r) * q + k] -= m * gramInverse[static_cast<std::size_t>(c) * q + k];
        }
      }
    }
    return true;
  }
};

// C(0) - k~^T Q k~ of the block's m columns into v, from the full product with Q.
void VarianceByProduct(const KrigingState& state, double c0, int m, const std::vector<double>& K,
                       std::vector<double>& QK, double* v) {
  const DenseMatrix& Q = *state.inverse;
  const int N = Q.rows;
  const int lda = static_cast<int>(Q.values.Stride());
  const double one = 1.0, zero = 0.0;
  // Q's row-major storage read as column-major is Q^T; k^T Q^T k = k^T Q k.
  dgemm_("N", "N", &N, &m, &N, &one, Q.values.Block(), &lda, K.data(), &N, &zero, QK.data(), &N);
#pragma omp parallel for schedule(static)
  for (int j = 0; j < m; ++j) {
    const double* k = &K[static_cast<std::size_t>(j) * N];
    const double* w = &QK[static_cast<std::size_t>(j) * N];
    double quadratic = 0.0;
    for (int i = 0; i < N; ++i) quadratic += k[i] * w[i];
    v[j] = c0 - quadratic;
  }
}

// The same from the factor; K is overwritten with L^-1 K.
void VarianceByFactor(const CovarianceFactor& factor, int N, double c0, int m, std::vector<double>& K, double* v) {
  const int n = factor.size;
  const double one = 1.0;
  dtrmm_("L", "L", "N", "N", &n, &m, &one, factor.lowerInverse.data(), &n, K.data(), &N);
#pragma omp parallel for schedule(static)
  for (int j = 0; j < m; ++j) {
    const double* y = &K[static_cast<std::size_t>(j) * N];
    double squares = 0.0, onesDot = 0.0;
    for (int i = 0; i < n; ++i) squares += y[i] * y[i];
    double mean = 0.0;
    if (factor.driftCount > 0) {
      // t = f(x0) - U^T y; f(x0) sits in the column below the points.
      const int q = factor.driftCount;
      double t[DriftBasis::kMostFunctions];
      for (int l = 0; l < q; ++l) {
        const double* u = &factor.driftFactor[static_cast<std::size_t>(l) * n];
        double dot = 0.0;
        for (int i = 0; i < n; ++i) dot += u[i] * y[i];
        t[l] = y[n + l] - dot;
      }
      for (int a = 0; a < q; ++a) {
        double row = 0.0;
        for (int b = 0; b < q; ++b) row += factor.gramInverse[static_cast<std::size_t>(a) * q + b] * t[b];
        mean += t[a] * row;
      }
    } else if (factor.bordered) {
      for (int i = 0; i < n; ++i) onesDot += factor.ones[i] * y[i];
      mean = (1.0 - onesDot) * (1.0 - onesDot) / factor.onesSquared;
    }
    v[j] = c0 - squares + mean;
  }
}

}  // namespace

StandardErrors StandardErrorsAt(const KrigingState& state, int count, const double* xs, const double* ys,
                                double* errors, Feedback* feedback, double* variance) {
  StandardErrors result;
  const DenseMatrix& Q = *state.inverse;
  const int N = Q.rows;
  const double c0 = TotalSill(state);
  const double scale = state.primary->standardised == 1 ? state.primary->standardDeviation : 1.0;
  CovarianceFactor factor;
  const bool factored = factor.Factor(state);
  if (!factored) factor = CovarianceFactor();  // frees the partial factor
  std::vector<double> K(static_cast<std::size_t>(N) * kBlockPositions), QK(factored ? 0 : K.size());
  std::vector<double> v(kBlockPositions);
  for (int first = 0; first < count; first += kBlockPositions) {
    if (Canceled(feedback)) {
      result.outcome = {OutcomeKind::Canceled};
      return result;
    }
    const int m = std::min(kBlockPositions, count - first);
#pragma omp parallel for schedule(static)
    for (int j = 0; j < m; ++j) SystemColumn(state, xs[first + j], ys[first + j], &K[static_cast<std::size_t>(j) * N]);
    if (factored)
      VarianceByFactor(factor, N, c0, m, K, v.data());
    else
      VarianceByProduct(state, c0, m, K, QK, v.data());
    int clamped = 0;
    for (int j = 0; j < m; ++j) {
      double s = v[j];
      if (variance) variance[first + j] = s;
      if (!(s >= 0.0)) {
        if (std::isfinite(s)) ++clamped;
        s = std::isfinite(s) ? 0.0 : s;
      }
      errors[first + j] = std::sqrt(s) * scale;
    }
    result.clampedToZero += clamped;
    Report(feedback, static_cast<double>(first + m) / count);
  }
  if (result.clampedToZero > 0) Trace("variances clamped to 0: %d\n", result.clampedToZero);
  for (int j = 0; j < count; ++j)
    if (!std::isfinite(errors[j])) {
      result.outcome = {OutcomeKind::NotFinite};
      break;
    }
  return result;
}

StandardErrors StandardErrorGrid(const KrigingState& state, const NodeLayout& layout, float* errors, Feedback* feedback,
                                 const std::uint8_t* skip) {
  const std::size_t nodes = static_cast<std::size_t>(layout.nx) * layout.ny;
  // The positions of the nodes not skipped, in node order.
  std::vector<double> xs, ys;
  xs.reserve(nodes);
  ys.reserve(nodes);
  for (int i = 0; i < layout.nx; ++i)
    for (int j = 0; j < layout.ny; ++j) {
      const std::size_t k = static_cast<std::size_t>(i) * layout.ny + j;
      if (skip && skip[k]) continue;
      xs.push_back(static_cast<double>(layout.x0) + i * static_cast<double>(layout.dx));
      ys.push_back(static_cast<double>(layout.y0) + j * static_cast<double>(layout.dy));
    }
  std::vector<double> values(xs.size());
  StandardErrors result =
      StandardErrorsAt(state, static_cast<int>(xs.size()), xs.data(), ys.data(), values.data(), feedback);
  if (result.outcome.kind != OutcomeKind::Canceled)
    for (std::size_t k = 0, taken = 0; k < nodes; ++k)
      errors[k] = skip && skip[k] ? 0.0f : static_cast<float>(values[taken++]);
  return result;
}

}  // namespace gridora
