#pragma once
// The linear least-squares problem min |A c - b|^2 for a tall A (rows x p) of full
// column rank, by Householder QR: the reflections turn A into R and Q^T b, then
// R c = (Q^T b)[0..p-1] by back substitution. The normal equations A^T A c = A^T b are
// never formed: they would square A's condition number.
//
// Reference: Golub & Van Loan, Matrix Computations (4th ed.), Algorithm 5.3.2 and 5.3.3.
#include <cstddef>
#include <optional>
#include <vector>

namespace gridora {

// A is column-major (column c at A[c * rows]) and is overwritten, as is b. nullopt when
// a diagonal entry of R falls below `rankTolerance` times the largest: the columns are
// dependent to working accuracy.
std::optional<std::vector<double>> SolveLeastSquares(std::size_t rows, int p, std::vector<double>& A,
                                                     std::vector<double>& b, double rankTolerance = 1e-10);

}  // namespace gridora
