#include "geostat/covariance_model.h"

#include <cmath>
#include <numbers>

namespace gridora {
namespace {

// rho(r) of the structure at scaled distance r >= 0, falling from 1 to 0; the structure
// of the variogram is 1 - rho. Kept as the correlation so that the exponential covariance
// is exactly sill * exp(-h / range).
double Correlation(VariogramKind kind, double r, double nu) {
  switch (kind) {
    case VariogramKind::Exponential: return std::exp(-r);
    case VariogramKind::Spherical: return r < 1.0 ? 1.0 - r * (1.5 - 0.5 * r * r) : 0.0;
    case VariogramKind::Gaussian: return std::exp(-r * r);
    case VariogramKind::Matern: {
      // Below 1e-100 the correlation is 1 to double precision, and r^nu K_nu(r) would
      // be 0 * inf.
      if (r < 1e-100) return 1.0;
      // Far out K_nu underflows; the correlation is then zero to double precision.
      if (r > 700.0) return 0.0;
      return std::pow(2.0, 1.0 - nu) / std::tgamma(nu) * std::pow(r, nu) * std::cyl_bessel_k(nu, r);
    }
  }
  return 0.0;
}

}  // namespace

double CovarianceModel::ReducedDistance(double dx, double dy) const {
  if (ratio == 1.0) return std::sqrt(dx * dx + dy * dy);
  const double angle = angleDegrees * std::numbers::pi / 180.0;
  const double c = std::cos(angle), s = std::sin(angle);
  const double along = dx * c + dy * s;
  const double across = (-dx * s + dy * c) / ratio;
  return std::sqrt(along * along + across * across);
}

double CovarianceModel::Variogram(double dx, double dy) const {
  if (dx == 0.0 && dy == 0.0) return 0.0;
  return nugget + sill * (1.0 - Correlation(kind, ReducedDistance(dx, dy) / range, smoothness));
}

double CovarianceModel::Covariance(double dx, double dy) const {
  if (dx == 0.0 && dy == 0.0) return nugget + sill;
  return sill * Correlation(kind, ReducedDistance(dx, dy) / range, smoothness);
}

}  // namespace gridora
