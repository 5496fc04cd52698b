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

// The mean part of the model beside the covariance part: universal kriging and kriging
// with external drift take the mean as sum_l b_l f_l(x) with unknown coefficients b_l
// and known functions f_0 = 1, f_1, ..., f_(p-1) of the position (a polynomial in x and
// y, rasters of covariates). The kriging system is then bordered by the p columns
// f_l(x_i) and the right-hand side by f_l(x0) (Cressie 1993, 3.4; Chiles & Delfiner
// 2012, 3.4). The functions themselves live with the trends (trend/).
class DriftBasis {
 public:
  // The most functions a drift may have: positions keep their f(x0) on the stack.
  static constexpr int kMostFunctions = 16;
  virtual ~DriftBasis() = default;
  // p, the constant included.
  virtual int Count() const = 0;
  // f_0..f_(p-1) at (x, y) into f; f_0 is 1. NaN where a function is not known there.
  virtual void At(double x, double y, double* f) const = 0;
};
}  // namespace gridora
