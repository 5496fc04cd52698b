#include "linalg/system_inverse.h"

#include <algorithm>
#include <cmath>
#include <vector>

extern "C" {
void dpotrf_(const char* uplo, const int* n, double* a, const int* lda, int* info);
void dtrsm_(const char* side, const char* uplo, const char* transa, const char* diag, const int* m, const int* n,
            const double* alpha, const double* a, const int* lda, double* b, const int* ldb);
void dsyrk_(const char* uplo, const char* trans, const int* n, const int* k, const double* alpha, const double* a,
            const int* lda, const double* beta, double* c, const int* ldc);
void dtrtri_(const char* uplo, const char* diag, const int* n, double* a, const int* lda, int* info);
void dlauum_(const char* uplo, const int* n, double* a, const int* lda, int* info);
void dgetrf_(const int* m, const int* n, double* a, const int* lda, int* ipiv, int* info);
void dgetri_(const int* n, double* a, const int* lda, const int* ipiv, double* work, const int* lwork, int* info);
}

namespace gridora {
namespace {

// Columns per block of the factorisation: large enough for the level-3 kernels to run at
// full speed, small enough that cancelling answers within a fraction of a second.
constexpr int kBlock = 256;

// The matrix's row-major storage, rows `stride` apart, read as column-major with leading
// dimension `stride`: element (i, j) of that view is the row-major (j, i). For the
// symmetric systems here the two views are the same matrix.
double* At(DenseMatrix& m, std::size_t stride, int i, int j) {
  return m.values.Block() + static_cast<std::size_t>(j) * stride + static_cast<std::size_t>(i);
}

bool AllFinite(const DenseMatrix& m) {
  for (int i = 0; i < m.rows; ++i) {
    const double* row = m.values[i];
    for (int j = 0; j < m.columns; ++j)
      if (!std::isfinite(row[j])) return false;
  }
  return true;
}

// Visits the pairs (i, j), j < i, tile by tile, so that the mirrored element (j, i) is
// read from a few cache lines instead of one line per element.
constexpr int kTile = 64;
template <typename Visit>
bool ForLowerPairs(int n, Visit visit) {
  for (int ti = 0; ti < n; ti += kTile)
    for (int tj = 0; tj <= ti; tj += kTile)
      for (int i = ti; i < std::min(n, ti + kTile); ++i)
        for (int j = tj; j < std::min(i, tj + kTile); ++j)
          if (!visit(i, j)) return false;
  return true;
}

bool Symmetric(const DenseMatrix& m) {
  return ForLowerPairs(m.rows, [&m](int i, int j) { return m(i, j) == m(j, i); });
}

void CopyInto(const DenseMatrix& from, DenseMatrix& to) {
  for (int i = 0; i < from.rows; ++i) std::copy(from.values[i], from.values[i] + from.columns, to.values[i]);
}

// Cholesky factor of the lower triangle (column-major view), block by block. Returns 0,
// a positive LAPACK info (the failing column, 1-based) or -1 when cancelled.
int BlockedCholesky(DenseMatrix& m, int n, Feedback* feedback) {
  const int lda = static_cast<int>(m.values.Stride());
  const double one = 1.0, minusOne = -1.0;
  // Work of the remaining trailing updates, to report progress by work done.
  const double total = static_cast<double>(n) * n * n / 3.0;
  double done = 0.0;
  for (int k = 0; k < n; k += kBlock) {
    if (Canceled(feedback)) return -1;
    const int kb = std::min(kBlock, n - k);
    int info = 0;
    dpotrf_("L", &kb, At(m, lda, k, k), &lda, &info);
    if (info > 0) return k + info;
    const int rest = n - k - kb;
    if (rest > 0) {
      dtrsm_("R", "L", "T", "N", &rest, &kb, &one, At(m, lda, k, k), &lda, At(m, lda, k + kb, k), &lda);
      dsyrk_("L", "N", &rest, &kb, &minusOne, At(m, lda, k + kb, k), &lda, &one, At(m, lda, k + kb, k + kb), &lda);
    }
    done += static_cast<double>(kb) * (static_cast<double>(rest) * rest + static_cast<double>(kb) * kb / 3.0);
    Report(feedback, 0.5 * std::min(1.0, done / total));
  }
  return 0;
}

// Copies the lower triangle of the column-major view (the upper one of the row-major
// storage) onto the other half.
void MirrorUpperRows(DenseMatrix& m, int n) {
  ForLowerPairs(n, [&m](int i, int j) {
    m(i, j) = m(j, i);
    return true;
  });
}

Outcome CholeskyInverse(DenseMatrix& m, int n, Feedback* feedback) {
  const int factor = BlockedCholesky(m, n, feedback);
  if (factor < 0) return {OutcomeKind::Canceled};
  if (factor > 0) return {OutcomeKind::Singular, factor - 1};
  const int lda = static_cast<int>(m.values.Stride());
  int info = 0;
  if (Canceled(feedback)) return {OutcomeKind::Canceled};
  dtrtri_("L", "N", &n, m.values.Block(), &lda, &info);  // L^-1
  if (info != 0) return {OutcomeKind::Singular, info - 1};
  Report(feedback, 0.75);
  if (Canceled(feedback)) return {OutcomeKind::Canceled};
  dlauum_("L", &n, m.values.Block(), &lda, &info);  // L^-T L^-1 = A^-1
  if (info != 0) return {OutcomeKind::Singular};
  MirrorUpperRows(m, n);
  Report(feedback, 1.0);
  return {};
}

// LU with partial pivoting of the row-major storage read as column-major, that is of
// A^T; the inverse of A^T read back row-major is A^-1.
Outcome LuInverse(DenseMatrix& m, int n, Feedback* feedback) {
  const int lda = static_cast<int>(m.values.Stride());
  std::vector<int> pivots(static_cast<std::size_t>(n));
  int info = 0;
  if (Canceled(feedback)) return {OutcomeKind::Canceled};
  dgetrf_(&n, &n, m.values.Block(), &lda, pivots.data(), &info);
  if (info != 0) return {OutcomeKind::Singular, info > 0 ? info - 1 : -1};
  if (Canceled(feedback)) return {OutcomeKind::Canceled};
  int lwork = -1;
  double query = 0.0;
  dgetri_(&n, m.values.Block(), &lda, pivots.data(), &query, &lwork, &info);
  lwork = std::max(n, static_cast<int>(query));
  std::vector<double> work(static_cast<std::size_t>(lwork));
  dgetri_(&n, m.values.Block(), &lda, pivots.data(), work.data(), &lwork, &info);
  if (info != 0) return {OutcomeKind::Singular, info > 0 ? info - 1 : -1};
  Report(feedback, 1.0);
  return {};
}

}  // namespace

SystemInverse InvertSystemMatrix(const DenseMatrix& A, Feedback* feedback) {
  SystemInverse result;
  const int n = A.rows;
  if (n != A.columns || n <= 0) return result;
  DenseMatrix work(n, n);
  CopyInto(A, work);
  // Cholesky reads one triangle only: it is for symmetric matrices.
  Outcome outcome = Symmetric(A) ? CholeskyInverse(work, n, feedback) : Outcome{OutcomeKind::Singular};
  if (outcome.kind == OutcomeKind::Singular) {
    CopyInto(A, work);
    outcome = LuInverse(work, n, feedback);
  }
  // An inverse that is not finite is no inverse: the matrix is singular to working accuracy.
  if (outcome.Done() && !AllFinite(work)) outcome = {OutcomeKind::Singular};
  result.outcome = outcome;
  if (outcome.Done()) result.inverse = std::move(work);
  return result;
}

}  // namespace gridora
