#pragma once
// The inverse of a kriging or cokriging system, through LAPACK (OpenBLAS).
//
// A covariance matrix of distinct points is symmetric positive definite, so it is
// factorised by Cholesky, A = L L^T, block column by block column (dpotrf, dtrsm, dsyrk)
// so that the computation can report progress and be cancelled between blocks; the
// inverse then follows from L (dtrtri, dlauum). Cholesky fails exactly when A is not
// positive definite; a cokriging system whose cross model does not match the two
// variables can be so and still be invertible, and gets a second chance with an LU
// factorisation with partial pivoting (dgetrf, dgetri). A matrix that neither can invert,
// or whose inverse is not finite, is reported as singular: never as an inverse.
//
// This replaces elimination without pivoting for the n x n systems of kriging: it is
// O(n^3) as well, but a blocked factorisation runs at the machine's speed, and it never
// divides by a zero pivot.
#include "linalg/matrix.h"
#include "platform/feedback.h"
#include "platform/outcome.h"

namespace gridora {

struct SystemInverse {
  // Done, Canceled or Singular (with the LU factorisation's zero pivot in column when it
  // met one; -1 for a matrix that is not square, or an inverse that is not finite).
  Outcome outcome{OutcomeKind::Singular};
  DenseMatrix inverse;  // n x n when Done, else empty
};

// A must be square; a matrix that is not symmetric goes to the LU factorisation directly.
// `feedback` may be null.
SystemInverse InvertSystemMatrix(const DenseMatrix& A, Feedback* feedback);

}  // namespace gridora
