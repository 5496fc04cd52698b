#pragma once
// Variogram models of the kriging: nugget plus one structure, optionally anisotropic.
//
// With the reduced distance r = ReducedDistance(dx, dy) / range, the structures are
//
//     Exponential  s(r) = 1 - exp(-r)                         (range is the scale, not
//                                                              the practical range)
//     Spherical    s(r) = 1.5 r - 0.5 r^3 for r < 1, else 1   (range is where it levels)
//     Gaussian     s(r) = 1 - exp(-r^2)
//     Matern       s(r) = 1 - 2^(1-nu) / Gamma(nu) r^nu K_nu(r), nu = smoothness
//
// and gamma = nugget + sill s(r) for a separation other than zero. Matern with nu = 0.5
// is the exponential. The default model, sill exp(-h / range), is the covariance the
// kriging has always used.
//
// Anisotropy: the separation is turned into the frame of the long axis (angleDegrees,
// anticlockwise from +X); the component across it is divided by the ratio, so the
// correlation length across is range * ratio.
namespace gridora {
enum class VariogramKind { Exponential, Spherical, Gaussian, Matern };
struct CovarianceModel {
  VariogramKind kind = VariogramKind::Exponential;
  double range = 1.0;         // correlation length along the long axis
  double sill = 1.0;          // partial sill of the structure (without the nugget)
  double nugget = 0.0;        // >= 0
  double smoothness = 0.5;    // Matern smoothness, 0.5 .. 2.5
  double angleDegrees = 0.0;  // long axis, anticlockwise from +X
  double ratio = 1.0;         // short length / long length, 0 < ratio <= 1
  // Reduced (isotropic-equivalent) distance of a separation, after the anisotropy.
  double ReducedDistance(double dx, double dy) const;
  // gamma(dx, dy): 0 at zero separation, nugget + structure beyond.
  double Variogram(double dx, double dy) const;
  // C(dx, dy) = nugget + sill - gamma(dx, dy); C(0, 0) = nugget + sill.
  double Covariance(double dx, double dy) const;
};
}  // namespace gridora
