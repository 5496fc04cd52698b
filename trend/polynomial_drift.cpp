#include "trend/polynomial_drift.h"

#include <algorithm>
#include <cmath>

#include "trend/least_squares.h"

namespace gridora {

PolynomialDrift::PolynomialDrift(int order, double centreX, double centreY, double scale)
    : order_(order), centreX_(centreX), centreY_(centreY), scale_(scale) {}

void PolynomialDrift::At(double x, double y, double* f) const {
  const double u = (x - centreX_) / scale_, v = (y - centreY_) / scale_;
  f[0] = 1.0;
  f[1] = u;
  f[2] = v;
  if (order_ == 2) {
    f[3] = u * u;
    f[4] = u * v;
    f[5] = v * v;
  }
}

std::shared_ptr<const DriftBasis> MakePolynomialDrift(DriftKind kind, std::size_t n, const double* x, const double* y) {
  if (kind == DriftKind::None || n == 0) return nullptr;
  double sumX = 0.0, sumY = 0.0;
  for (std::size_t i = 0; i < n; ++i) {
    sumX += x[i];
    sumY += y[i];
  }
  const double cx = sumX / static_cast<double>(n), cy = sumY / static_cast<double>(n);
  double reach = 0.0;
  for (std::size_t i = 0; i < n; ++i) reach = std::max({reach, std::fabs(x[i] - cx), std::fabs(y[i] - cy)});
  return std::make_shared<PolynomialDrift>(kind == DriftKind::Linear ? 1 : 2, cx, cy, reach > 0.0 ? reach : 1.0);
}

bool DriftResiduals(const DriftBasis& drift, std::size_t n, const double* x, const double* y, const double* values,
                    std::vector<double>& residuals) {
  const int p = drift.Count();
  std::vector<double> A(n * static_cast<std::size_t>(p)), b(values, values + n), f(static_cast<std::size_t>(p));
  for (std::size_t i = 0; i < n; ++i) {
    drift.At(x[i], y[i], f.data());
    for (int l = 0; l < p; ++l) A[static_cast<std::size_t>(l) * n + i] = f[l];
  }
  const std::optional<std::vector<double>> c = SolveLeastSquares(n, p, A, b);
  if (!c) return false;
  residuals.resize(n);
  for (std::size_t i = 0; i < n; ++i) {
    drift.At(x[i], y[i], f.data());
    double fitted = 0.0;
    for (int l = 0; l < p; ++l) fitted += (*c)[l] * f[l];
    residuals[i] = values[i] - fitted;
  }
  return true;
}

}  // namespace gridora
