#pragma once
// The drift of universal kriging: the mean of z a polynomial of order 1 or 2 in x and
// y with unknown coefficients,
//
//     m(x) = sum_l b_l f_l(x),   f = 1, u, v              (linear)
//                                f = 1, u, v, u2, uv, v2  (quadratic)
//
// in the centred and scaled coordinates u = (x - cx) / s, v = (y - cy) / s of the data
// (cx, cy their mean, s their largest distance from it along either axis). The kriging
// only needs the span of the functions, which the shift and scale do not change; in
// these coordinates the border of the system is of the order of the covariances, not of
// x^2 = 1e13 for projected coordinates.
//
// Reference: Cressie, Statistics for Spatial Data (1993), 3.4; Wackernagel,
// Multivariate Geostatistics (3rd ed., 2003), 37.
#include <cstddef>
#include <memory>
#include <vector>

#include "geostat/covariance_model.h"
#include "geostat/kriging_options.h"

namespace gridora {

class PolynomialDrift : public DriftBasis {
 public:
  PolynomialDrift(int order, double centreX, double centreY, double scale);
  int Count() const override { return order_ == 1 ? 3 : 6; }
  void At(double x, double y, double* f) const override;

 private:
  int order_;
  double centreX_, centreY_, scale_;
};

// The drift of the options for the n points (x, y); null for DriftKind::None or no point.
std::shared_ptr<const DriftBasis> MakePolynomialDrift(DriftKind kind, std::size_t n, const double* x, const double* y);

// The residuals of the values after their ordinary least-squares fit on the drift's
// functions at the points (the variogram of a drift is fitted to these), into
// `residuals`. false when the functions are dependent at the points (too few points,
// or all on one line for a linear drift).
bool DriftResiduals(const DriftBasis& drift, std::size_t n, const double* x, const double* y, const double* values,
                    std::vector<double>& residuals);

}  // namespace gridora
