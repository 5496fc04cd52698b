#include "geostat/local_kriging_system.h"

#include <cmath>
#include <utility>

extern "C" {
void dsysv_(const char* uplo, const int* n, const int* nrhs, double* a, const int* lda, int* ipiv, double* b,
            const int* ldb, double* work, const int* lwork, int* info);
}

namespace gridora {
namespace {

// A Cholesky pivot below this fraction of C(0) means K is singular to working accuracy:
// the weights would carry no correct digit. Sixteen digits of double precision leave
// about four for the weights at this limit.
constexpr double kRelativePivotLimit = 1e-12;

}  // namespace

bool NeighbourhoodSolver::Cholesky(int m) {
  // factor_ = L with K = L L^T, row-major, lower triangle.
  // The diagonal keeps 1 / L_jj: the solves then multiply instead of dividing.
  factor_ = K_;
  const double limit = kRelativePivotLimit * K_[0];
  for (int j = 0; j < m; ++j) {
    double* rowJ = &factor_[static_cast<std::size_t>(j) * m];
    double d = rowJ[j];
    for (int p = 0; p < j; ++p) d -= rowJ[p] * rowJ[p];
    if (!(d > limit)) return false;
    const double inversePivot = 1.0 / std::sqrt(d);
    rowJ[j] = inversePivot;
    for (int i = j + 1; i < m; ++i) {
      double* rowI = &factor_[static_cast<std::size_t>(i) * m];
      double s = rowI[j];
      for (int p = 0; p < j; ++p) s -= rowI[p] * rowJ[p];
      rowI[j] = s * inversePivot;
    }
  }
  return true;
}

void NeighbourhoodSolver::ForwardSolve(int m, double* b) const {
  for (int i = 0; i < m; ++i) {
    const double* row = &factor_[static_cast<std::size_t>(i) * m];
    double s = b[i];
    for (int p = 0; p < i; ++p) s -= row[p] * b[p];
    b[i] = s * row[i];
  }
}

void NeighbourhoodSolver::CholeskySolve(int m, double* b) const {
  for (int i = 0; i < m; ++i) {  // L y = b
    const double* row = &factor_[static_cast<std::size_t>(i) * m];
    double s = b[i];
    for (int p = 0; p < i; ++p) s -= row[p] * b[p];
    b[i] = s * row[i];
  }
  for (int i = m - 1; i >= 0; --i) {  // L^T x = y, by columns of L^T (rows of L, contiguous)
    const double* row = &factor_[static_cast<std::size_t>(i) * m];
    const double xi = b[i] * row[i];
    b[i] = xi;
    for (int p = 0; p < i; ++p) b[p] -= row[p] * xi;
  }
}

bool NeighbourhoodSolver::IndefiniteSolve(int size, double* b) {
  // bordered_ holds the symmetric system (either triangle will do); it is overwritten.
  const int one = 1;
  int info = 0;
  pivots_.resize(static_cast<std::size_t>(size));
  const int lwork = 64 * size;
  work_.resize(static_cast<std::size_t>(lwork));
  dsysv_("L", &size, &one, bordered_.data(), &size, pivots_.data(), b, &size, work_.data(), &lwork, &info);
  return info == 0;
}

NeighbourhoodEstimate NeighbourhoodSolver::Solve(const CovarianceModel& model, LocalKrigingType type, double mean,
                                                 int m, const double* x, const double* y, const double* z, double px,
                                                 double py, bool samePoints, const int* previous,
                                                 const DriftBasis* drift, const BlockSupport* block,
                                                 const double* driftAtPoints) {
  NeighbourhoodEstimate result;
  if (m <= 0) return result;
  const std::size_t mm = static_cast<std::size_t>(m);
  const double c0 = model.Covariance(0.0, 0.0);
  if (!samePoints || size_ != m) {
    const int previousSize = size_;
    if (previous && previousSize > 0)
      previousK_.swap(K_);
    else
      previous = nullptr;
    K_.resize(mm * mm);
    for (int i = 0; i < m; ++i) {
      double* row = &K_[static_cast<std::size_t>(i) * m];
      row[i] = c0;
      const int pi = previous ? previous[i] : -1;
      for (int j = 0; j < i; ++j) {
        const int pj = pi >= 0 ? previous[j] : -1;
        const double c = pj >= 0 ? previousK_[static_cast<std::size_t>(pi) * previousSize + pj]
                                 : model.Covariance(x[i] - x[j], y[i] - y[j]);
        row[j] = c;
        K_[static_cast<std::size_t>(j) * m + i] = c;
      }
    }
    size_ = m;
    factorValid_ = Cholesky(m);
    driftFactored_ = false;
  }
  k_.resize(mm);
  if (block)
    for (int i = 0; i < m; ++i) k_[i] = PointToBlockCovariance(model, *block, px, py, x[i], y[i]);
  else
    for (int i = 0; i < m; ++i) k_[i] = model.Covariance(px - x[i], py - y[i]);
  driftCount_ = 0;
  if (drift && type == LocalKrigingType::Ordinary) {
    const int p = drift->Count();
    driftCount_ = p;
    if (drift != factoredDrift_) driftFactored_ = false;
    factoredDrift_ = drift;
    f0_.resize(static_cast<std::size_t>(p));
    if (!driftFactored_) {
      const std::size_t entries = mm * static_cast<std::size_t>(p);
      if (driftAtPoints) {
        F_.assign(driftAtPoints, driftAtPoints + entries);
      } else {
        F_.resize(entries);
        for (int i = 0; i < m; ++i) drift->At(x[i], y[i], &F_[static_cast<std::size_t>(i) * p]);
      }
    }
    if (block)
      BlockDriftAt(*drift, *block, px, py, f0_.data());
    else
      drift->At(px, py, f0_.data());
    for (double v : f0_)
      if (!std::isfinite(v)) return result;
  }
  return Finish(type, m, block ? block->variance : c0, z, mean);
}

double* NeighbourhoodSolver::Matrix(int m) {
  K_.resize(static_cast<std::size_t>(m) * static_cast<std::size_t>(m));
  size_ = -1;
  driftFactored_ = false;
  return K_.data();
}

double* NeighbourhoodSolver::Target(int m) {
  k_.resize(static_cast<std::size_t>(m));
  return k_.data();
}

NeighbourhoodEstimate NeighbourhoodSolver::SolveFilled(int m, double c0, const double* residuals) {
  if (m <= 0) return {};
  size_ = m;
  driftFactored_ = false;
  driftCount_ = 0;
  factorValid_ = Cholesky(m);
  return Finish(LocalKrigingType::Simple, m, c0, residuals, 0.0);
}

NeighbourhoodEstimate NeighbourhoodSolver::Finish(LocalKrigingType type, int m, double c0, const double* z,
                                                  double mean) {
  NeighbourhoodEstimate result;
  const std::size_t mm = static_cast<std::size_t>(m);
  const bool ordinary = type == LocalKrigingType::Ordinary;
  a_ = k_;
  double mu = 0.0;
  if (ordinary && driftCount_ > 0) return FinishDrift(m, c0, z);
  if (factorValid_) {
    CholeskySolve(m, a_.data());
    if (ordinary) {
      b_.assign(mm, 1.0);
      CholeskySolve(m, b_.data());
      double sumA = 0.0, sumB = 0.0;
      for (int i = 0; i < m; ++i) {
        sumA += a_[i];
        sumB += b_[i];
      }
      mu = (sumA - 1.0) / sumB;
      for (int i = 0; i < m; ++i) a_[i] -= mu * b_[i];
    }
  } else {
    result.indefiniteSolve = true;
    const int size = ordinary ? m + 1 : m;
    const std::size_t s = static_cast<std::size_t>(size);
    bordered_.assign(s * s, 0.0);
    for (int i = 0; i < m; ++i)
      for (int j = 0; j < m; ++j)
        bordered_[static_cast<std::size_t>(i) * s + j] = K_[static_cast<std::size_t>(i) * m + j];
    a_.resize(s);
    if (ordinary) {
      for (int i = 0; i < m; ++i) {
        bordered_[static_cast<std::size_t>(i) * s + m] = 1.0;
        bordered_[static_cast<std::size_t>(m) * s + i] = 1.0;
      }
      a_[m] = 1.0;
    }
    if (!IndefiniteSolve(size, a_.data())) return result;
    if (ordinary) mu = a_[m];
  }

  double estimate = 0.0, explained = 0.0;
  if (ordinary) {
    for (int i = 0; i < m; ++i) estimate += a_[i] * z[i];
  } else {
    for (int i = 0; i < m; ++i) estimate += a_[i] * (z[i] - mean);
    estimate += mean;
  }
  for (int i = 0; i < m; ++i) explained += a_[i] * k_[i];
  const double variance = c0 - explained - mu;
  if (!std::isfinite(estimate) || !std::isfinite(variance)) return result;
  result.outcome = OutcomeKind::Done;
  result.estimate = estimate;
  result.variance = variance;
  if (ordinary) {
    result.lagrange = mu;
    if (factorValid_) {
      double bz = 0.0, sumB = 0.0;
      for (int i = 0; i < m; ++i) {
        bz += b_[i] * z[i];
        sumB += b_[i];
      }
      result.glsMean = bz / sumB;
    }
  }
  return result;
}

namespace {

// Solves the small dense system A x = b (p x p, row-major) in place by Gaussian
// elimination with partial pivoting; false when a pivot vanishes.
bool SolveSmall(int p, double* A, double* b) {
  for (int c = 0; c < p; ++c) {
    int pivot = c;
    for (int r = c + 1; r < p; ++r)
      if (std::fabs(A[r * p + c]) > std::fabs(A[pivot * p + c])) pivot = r;
    if (!(std::fabs(A[pivot * p + c]) > 0.0)) return false;
    if (pivot != c) {
      for (int k = 0; k < p; ++k) std::swap(A[c * p + k], A[pivot * p + k]);
      std::swap(b[c], b[pivot]);
    }
    for (int r = c + 1; r < p; ++r) {
      const double f = A[r * p + c] / A[c * p + c];
      for (int k = c; k < p; ++k) A[r * p + k] -= f * A[c * p + k];
      b[r] -= f * b[c];
    }
  }
  for (int r = p - 1; r >= 0; --r) {
    double s = b[r];
    for (int k = r + 1; k < p; ++k) s -= A[r * p + k] * b[k];
    b[r] = s / A[r * p + r];
  }
  return true;
}

}  // namespace

void NeighbourhoodSolver::FactorDrift(int m, const double* z) {
  const int p = driftCount_;
  const std::size_t mm = static_cast<std::size_t>(m), pp = static_cast<std::size_t>(p);
  // U = L^-1 F, one column per function.
  U_.resize(mm * pp);
  for (int l = 0; l < p; ++l) {
    double* column = &U_[static_cast<std::size_t>(l) * m];
    for (int i = 0; i < m; ++i) column[i] = F_[static_cast<std::size_t>(i) * p + l];
    ForwardSolve(m, column);
  }
  // S = U^T U = F^T K^-1 F.
  S_.resize(pp * pp);
  for (int a = 0; a < p; ++a)
    for (int b = 0; b <= a; ++b) {
      const double* ua = &U_[static_cast<std::size_t>(a) * m];
      const double* ub = &U_[static_cast<std::size_t>(b) * m];
      double s = 0.0;
      for (int i = 0; i < m; ++i) s += ua[i] * ub[i];
      S_[static_cast<std::size_t>(a) * p + b] = s;
      S_[static_cast<std::size_t>(b) * p + a] = s;
    }
  // zeta = L^-1 z and U^T zeta.
  zeta_.assign(z, z + m);
  ForwardSolve(m, zeta_.data());
  Uz_.resize(pp);
  for (int l = 0; l < p; ++l) {
    const double* u = &U_[static_cast<std::size_t>(l) * m];
    double s = 0.0;
    for (int i = 0; i < m; ++i) s += u[i] * zeta_[i];
    Uz_[l] = s;
  }
  driftFactored_ = true;
}

NeighbourhoodEstimate NeighbourhoodSolver::FinishDrift(int m, double c0, const double* z) {
  NeighbourhoodEstimate result;
  const int p = driftCount_;
  const std::size_t pp = static_cast<std::size_t>(p);
  mu_.assign(pp, 0.0);
  if (factorValid_) {
    if (!driftFactored_) FactorDrift(m, z);
    y_.assign(k_.begin(), k_.begin() + m);
    ForwardSolve(m, y_.data());
    r_.resize(pp);
    for (int l = 0; l < p; ++l) {
      const double* u = &U_[static_cast<std::size_t>(l) * m];
      double s = 0.0;
      for (int i = 0; i < m; ++i) s += u[i] * y_[i];
      r_[l] = s - f0_[l];
    }
    small_.assign(S_.begin(), S_.end());
    mu_.assign(r_.begin(), r_.end());
    if (!SolveSmall(p, small_.data(), mu_.data())) return result;
    double yz = 0.0, yy = 0.0;
    for (int i = 0; i < m; ++i) {
      yz += y_[i] * zeta_[i];
      yy += y_[i] * y_[i];
    }
    double muUz = 0.0, muR = 0.0;
    for (int l = 0; l < p; ++l) {
      muUz += mu_[l] * Uz_[l];
      muR += mu_[l] * r_[l];
    }
    const double estimate = yz - muUz, variance = c0 - yy + muR;
    if (!std::isfinite(estimate) || !std::isfinite(variance)) return result;
    result.outcome = OutcomeKind::Done;
    result.estimate = estimate;
    result.variance = variance;
    result.lagrange = mu_[0];
    return result;
  }
  result.indefiniteSolve = true;
  const int size = m + p;
  const std::size_t s = static_cast<std::size_t>(size);
  bordered_.assign(s * s, 0.0);
  for (int i = 0; i < m; ++i) {
    for (int j = 0; j < m; ++j)
      bordered_[static_cast<std::size_t>(i) * s + j] = K_[static_cast<std::size_t>(i) * m + j];
    for (int l = 0; l < p; ++l) {
      bordered_[static_cast<std::size_t>(i) * s + m + l] = F_[static_cast<std::size_t>(i) * p + l];
      bordered_[static_cast<std::size_t>(m + l) * s + i] = F_[static_cast<std::size_t>(i) * p + l];
    }
  }
  a_.resize(s);
  for (int l = 0; l < p; ++l) a_[m + l] = f0_[l];
  if (!IndefiniteSolve(size, a_.data())) return result;
  for (int l = 0; l < p; ++l) mu_[l] = a_[m + l];
  double estimate = 0.0, explained = 0.0;
  for (int i = 0; i < m; ++i) {
    estimate += a_[i] * z[i];
    explained += a_[i] * k_[i];
  }
  for (int l = 0; l < p; ++l) explained += mu_[l] * f0_[l];
  const double variance = c0 - explained;
  if (!std::isfinite(estimate) || !std::isfinite(variance)) return result;
  result.outcome = OutcomeKind::Done;
  result.estimate = estimate;
  result.variance = variance;
  result.lagrange = mu_[0];
  return result;
}

}  // namespace gridora
