#pragma once
// Solves A x = b (A dense, row-major n x n) by Gaussian elimination with partial
// pivoting: the independent reference the numerics are checked against. Real is double
// or long double; nothing is shared with the solvers under test.
#include <cmath>
#include <cstddef>
#include <utility>
#include <vector>

namespace gridora::test {

template <class Real>
std::vector<Real> SolveDense(std::vector<Real> a, std::vector<Real> b) {
  const std::size_t n = b.size();
  auto at = [&](std::size_t row, std::size_t column) -> Real& { return a[row * n + column]; };
  for (std::size_t k = 0; k < n; ++k) {
    std::size_t pivot = k;
    for (std::size_t i = k + 1; i < n; ++i)
      if (std::fabs(at(i, k)) > std::fabs(at(pivot, k))) pivot = i;
    if (pivot != k) {
      for (std::size_t j = 0; j < n; ++j) std::swap(at(k, j), at(pivot, j));
      std::swap(b[k], b[pivot]);
    }
    for (std::size_t i = k + 1; i < n; ++i) {
      const Real factor = at(i, k) / at(k, k);
      if (factor == 0) continue;
      for (std::size_t j = k; j < n; ++j) at(i, j) -= factor * at(k, j);
      b[i] -= factor * b[k];
    }
  }
  std::vector<Real> x(n);
  for (std::size_t k = n; k-- > 0;) {
    Real sum = b[k];
    for (std::size_t j = k + 1; j < n; ++j) sum -= at(k, j) * x[j];
    x[k] = sum / at(k, k);
  }
  return x;
}

// The same for a matrix given as rows.
template <class Real>
std::vector<Real> SolveDense(const std::vector<std::vector<Real>>& rows, std::vector<Real> b) {
  std::vector<Real> a;
  a.reserve(rows.size() * rows.size());
  for (const auto& row : rows) a.insert(a.end(), row.begin(), row.end());
  return SolveDense(std::move(a), std::move(b));
}

}  // namespace gridora::test
