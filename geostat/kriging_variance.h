#pragma once
// The kriging variance and its square root, the standard error, at many positions.
//
// With the inverse Q of the system and the system's right-hand side k~(x) of a position
// (the covariances with the data points, and a 1 for the border of ordinary kriging),
//
//     sigma^2(x) = C(0) - k~(x)^T Q k~(x),        C(0) = nugget + sill.
//
// The positions go in blocks, and one BLAS call per block replaces a dot product per
// position. With the Cholesky factor C = L L^T of the covariance part of the system, the
// quadratic form is |L^-1 k|^2 (less a term for the unknown mean of ordinary kriging):
// one triangular product, half the work of the full product with Q and without its
// cancellation; the product with Q stays as the fallback when C does not factor or is
// not at hand. A value that rounds below zero is set to zero and counted. The standard error is in the data's units
// (times the standard deviation of a standardised variable).
#include <vector>

#include "geostat/kriging_prediction.h"
#include "geostat/kriging_state.h"
#include "platform/outcome.h"

namespace gridora {

class Feedback;

// k~(x, y): the right-hand side of the state's system at a position, inverse-size entries.
void SystemColumn(const KrigingState& state, double x, double y, double* column);

struct StandardErrors {
  Outcome outcome;        // Done, Canceled or NotFinite
  int clampedToZero = 0;  // variances that rounded below zero
};

// Standard errors of `count` positions into errors[0..count-1] (standardised variance
// when `variance` is given instead: the raw sigma^2 before clamping, for checks).
StandardErrors StandardErrorsAt(const KrigingState& state, int count, const double* xs, const double* ys,
                                double* errors, Feedback* feedback = nullptr, double* variance = nullptr);

// The standard error of node (i, j) into errors[i * ny + j], as PredictGrid places its
// estimates. Canceled leaves the values partly written. Nodes marked 1 in `skip` are
// left out, as PredictGrid leaves them: they get 0.
StandardErrors StandardErrorGrid(const KrigingState& state, const NodeLayout& layout, float* errors, Feedback* feedback,
                                 const std::uint8_t* skip = nullptr);

}  // namespace gridora
