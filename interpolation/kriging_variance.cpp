#include "interpolation/kriging_variance.h"

#include <algorithm>
#include <cmath>

#include "platform/feedback.h"
#include "platform/trace.h"

extern "C" {
void dgemm_(const char* transa, const char* transb, const int* m, const int* n, const int* k, const double* alpha,
            const double* a, const int* lda, const double* b, const int* ldb, const double* beta, double* c,
            const int* ldc);
}

namespace gridora {
namespace {

// Positions per BLAS product: large enough for dgemm to run at full speed, small enough
// that K and Q K of 2,000 points stay near 20 MB each and a cancel answers quickly.
constexpr int kBlockPositions = 640;

double TotalSill(const CKrigingState& state) {
  const CVariogramModel& p = *state.primary;
  return p.c + p.options.nugget;
}

}  // namespace

void SystemColumn(const CKrigingState& state, double x, double y, double* column) {
  const CVariogramModel& p = *state.primary;
  const int n1 = p.count;
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
    const CVariogramModel& s = *state.secondary;
    const CVariogramModel& x12 = *state.cross;
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
  for (int i = size; i < state.inverse->rows; ++i) column[i] = 1.0;
}

StandardErrors StandardErrorsAt(const CKrigingState& state, int count, const double* xs, const double* ys,
                                double* errors, Feedback* feedback, double* variance) {
  StandardErrors result;
  const CMatrix& Q = *state.inverse;
  const int N = Q.rows;
  const int lda = static_cast<int>(Q.values.Stride());
  const double c0 = TotalSill(state);
  const double scale = state.primary->standardised == 1 ? state.primary->standardDeviation : 1.0;
  std::vector<double> K(static_cast<std::size_t>(N) * kBlockPositions), QK(K.size());
  const double one = 1.0, zero = 0.0;
  for (int first = 0; first < count; first += kBlockPositions) {
    if (Canceled(feedback)) {
      result.status = PredictionStatus::Canceled;
      return result;
    }
    const int m = std::min(kBlockPositions, count - first);
#pragma omp parallel for schedule(static)
    for (int j = 0; j < m; ++j) SystemColumn(state, xs[first + j], ys[first + j], &K[static_cast<std::size_t>(j) * N]);
    // Q's row-major storage read as column-major is Q^T; k^T Q^T k = k^T Q k.
    dgemm_("N", "N", &N, &m, &N, &one, Q.values.Block(), &lda, K.data(), &N, &zero, QK.data(), &N);
    int clamped = 0;
#pragma omp parallel for schedule(static) reduction(+ : clamped)
    for (int j = 0; j < m; ++j) {
      const double* k = &K[static_cast<std::size_t>(j) * N];
      const double* w = &QK[static_cast<std::size_t>(j) * N];
      double quadratic = 0.0;
      for (int i = 0; i < N; ++i) quadratic += k[i] * w[i];
      double v = c0 - quadratic;
      if (variance) variance[first + j] = v;
      if (!(v >= 0.0)) {
        if (std::isfinite(v)) ++clamped;
        v = std::isfinite(v) ? 0.0 : v;
      }
      errors[first + j] = std::sqrt(v) * scale;
    }
    result.clampedToZero += clamped;
    Report(feedback, static_cast<double>(first + m) / count);
  }
  if (result.clampedToZero > 0) Trace("variances clamped to 0: %d\n", result.clampedToZero);
  for (int j = 0; j < count; ++j)
    if (!std::isfinite(errors[j])) {
      result.status = PredictionStatus::NotFinite;
      break;
    }
  return result;
}

StandardErrors StandardErrorGrid(const CKrigingState& state, const NodeLayout& layout, float* errors,
                                 Feedback* feedback) {
  const std::size_t nodes = static_cast<std::size_t>(layout.nx) * layout.ny;
  std::vector<double> xs(nodes), ys(nodes), values(nodes);
  for (int i = 0; i < layout.nx; ++i)
    for (int j = 0; j < layout.ny; ++j) {
      const std::size_t k = static_cast<std::size_t>(i) * layout.ny + j;
      xs[k] = static_cast<double>(layout.x0) + i * static_cast<double>(layout.dx);
      ys[k] = static_cast<double>(layout.y0) + j * static_cast<double>(layout.dy);
    }
  StandardErrors result = StandardErrorsAt(state, static_cast<int>(nodes), xs.data(), ys.data(), values.data(), feedback);
  if (result.status != PredictionStatus::Canceled)
    for (std::size_t k = 0; k < nodes; ++k) errors[k] = static_cast<float>(values[k]);
  return result;
}

}  // namespace gridora
