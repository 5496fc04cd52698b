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

// Block kriging: the estimate is the mean of z over a square block of side `side`
// centred on the node, the block represented by the centres d_1..d_N (N = n^2) of its
// n x n equal sub-squares. The right-hand side becomes the point-to-block covariance
// and the variance's C(0) the block's own,
//
//     C(x_i, B) = 1/N sum_k C*(x_i - d_k),       C(B, B) = 1/N^2 sum_k sum_l C*(d_k - d_l),
//
// where C* leaves the nugget out (it is the variance of measurement error and of
// structure below the sample's support, which averages away over a block); a drift's
// f(x0) becomes 1/N sum_k f(d_k). (Journel & Huijbregts 1978, V.A; Chiles & Delfiner
// 2012, 3.5.)
struct BlockSupport {
  double side = 0.0;      // 0: point kriging
  int points = 4;         // n
  double variance = 0.0;  // C(B, B), from BlockVariance
  bool Active() const { return side > 0.0; }
  // The n offsets of the sub-squares' centres from the block's centre along one axis.
  void Offsets(double* offsets) const;
};
// C(x_i, B) for the block centred at (px, py) and the point (x, y).
double PointToBlockCovariance(const CovarianceModel& model, const BlockSupport& block, double px, double py, double x,
                              double y);
// C(B, B).
double BlockVariance(const CovarianceModel& model, const BlockSupport& block);

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

// The drift of a block: f averaged over the block's points, into f.
void BlockDriftAt(const DriftBasis& drift, const BlockSupport& block, double px, double py, double* f);
}  // namespace gridora
