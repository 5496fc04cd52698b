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

void BlockSupport::Offsets(double* offsets) const {
  for (int k = 0; k < points; ++k) offsets[k] = ((k + 0.5) / points - 0.5) * side;
}

namespace {

// C* of the blocks: the covariance without the nugget (sill at zero separation).
double StructureCovariance(const CovarianceModel& model, double dx, double dy) {
  if (dx == 0.0 && dy == 0.0) return model.sill;
  return model.Covariance(dx, dy);
}

}  // namespace

double PointToBlockCovariance(const CovarianceModel& model, const BlockSupport& block, double px, double py, double x,
                              double y) {
  double offsets[64];
  block.Offsets(offsets);
  const int n = block.points;
  double sum = 0.0;
  for (int a = 0; a < n; ++a)
    for (int b = 0; b < n; ++b) sum += StructureCovariance(model, px + offsets[a] - x, py + offsets[b] - y);
  return sum / (n * n);
}

void BlockDriftAt(const DriftBasis& drift, const BlockSupport& block, double px, double py, double* f) {
  double offsets[64], g[DriftBasis::kMostFunctions];
  block.Offsets(offsets);
  const int n = block.points, p = drift.Count();
  for (int l = 0; l < p; ++l) f[l] = 0.0;
  for (int a = 0; a < n; ++a)
    for (int b = 0; b < n; ++b) {
      drift.At(px + offsets[a], py + offsets[b], g);
      for (int l = 0; l < p; ++l) f[l] += g[l];
    }
  for (int l = 0; l < p; ++l) f[l] /= n * n;
}

double BlockVariance(const CovarianceModel& model, const BlockSupport& block) {
  double offsets[64];
  block.Offsets(offsets);
  const int n = block.points;
  double sum = 0.0;
  for (int a = 0; a < n; ++a)
    for (int b = 0; b < n; ++b)
      for (int c = 0; c < n; ++c)
        for (int d = 0; d < n; ++d) sum += StructureCovariance(model, offsets[a] - offsets[c], offsets[b] - offsets[d]);
  return sum / (static_cast<double>(n) * n * n * n);
}

}  // namespace gridora
