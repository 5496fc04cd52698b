#include "trend/least_squares.h"

#include <algorithm>
#include <cmath>

namespace gridora {

std::optional<std::vector<double>> SolveLeastSquares(std::size_t rows, int p, std::vector<double>& A,
                                                     std::vector<double>& b, double rankTolerance) {
  if (rows < static_cast<std::size_t>(p) || p <= 0) return std::nullopt;
  std::vector<double> diagonal(static_cast<std::size_t>(p));
  for (int c = 0; c < p; ++c) {
    double* col = &A[static_cast<std::size_t>(c) * rows];
    double norm = 0.0;
    for (std::size_t i = c; i < rows; ++i) norm += col[i] * col[i];
    norm = std::sqrt(norm);
    const double alpha = col[c] > 0.0 ? -norm : norm;  // R_cc, of the sign that avoids cancellation
    diagonal[c] = alpha;
    if (norm == 0.0) continue;
    // v = a - alpha e_c, kept in col[c..]; H = I - 2 v v^T / v^T v.
    col[c] -= alpha;
    double vv = 0.0;
    for (std::size_t i = c; i < rows; ++i) vv += col[i] * col[i];
    if (vv == 0.0) continue;
    for (int d = c + 1; d < p; ++d) {
      double* other = &A[static_cast<std::size_t>(d) * rows];
      double dot = 0.0;
      for (std::size_t i = c; i < rows; ++i) dot += col[i] * other[i];
      const double f = 2.0 * dot / vv;
      for (std::size_t i = c; i < rows; ++i) other[i] -= f * col[i];
    }
    double dot = 0.0;
    for (std::size_t i = c; i < rows; ++i) dot += col[i] * b[i];
    const double f = 2.0 * dot / vv;
    for (std::size_t i = c; i < rows; ++i) b[i] -= f * col[i];
  }
  double largest = 0.0;
  for (double d : diagonal) largest = std::max(largest, std::fabs(d));
  for (double d : diagonal)
    if (!(std::fabs(d) > rankTolerance * largest)) return std::nullopt;
  // R's strict upper triangle is in A above the diagonal.
  std::vector<double> c(static_cast<std::size_t>(p), 0.0);
  for (int r = p - 1; r >= 0; --r) {
    double t = b[r];
    for (int k = r + 1; k < p; ++k) t -= A[static_cast<std::size_t>(k) * rows + r] * c[k];
    c[r] = t / diagonal[r];
  }
  return c;
}

}  // namespace gridora
