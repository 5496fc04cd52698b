#pragma once
// The values the kriging works on, and the way back to the data's units.
//
// Trans-Gaussian kriging with the logarithm (transform=log): Y = ln z is kriged; with
// Y^ and sigma^2 its kriging estimate and variance at x0, mu^ the generalised-least-
// squares mean of Y and m the Lagrange multiplier of the unbiasedness constraint,
//
//     z^(x0) = exp(Y^) + exp(mu^) (sigma^2 / 2 - m),      standard error exp(mu^) sigma,
//
// the second-order expansion of exp around mu^ (Cressie 1993, 3.2.2, (3.2.45) and
// (3.2.46)). m is taken as Cressie writes the ordinary kriging system in variograms,
// Gamma w + m 1 = gamma0, which makes it minus the multiplier mu of the covariance form
// C w + mu 1 = c0 used by the systems here: m = -mu. With that sign exp(Y^ + sigma^2/2
// - m) is unbiased for a lognormal field (E exp(Y^) = exp(mu + (C(0) - sigma^2 + 2m)/2)).
// Simple kriging knows its mean: m = 0 and mu^ is that mean.
//
// Indicator kriging (indicator=T): i(x) = 1 where z > T, else 0, is kriged with the
// current options; the estimate, clamped to [0, 1], is the probability that z exceeds T
// (Journel 1983; Chiles & Delfiner 2012, 6.3.3).
#include <optional>
#include <string>
#include <vector>

#include "document/node_layout.h"
#include "document/random_data.h"
#include "geostat/kriging_options.h"
#include "geostat/kriging_state.h"
#include "platform/outcome.h"

namespace gridora {

class Feedback;

// True when the options krige something other than z itself.
bool TransformsValues(const KrigingOptions& options);

// Why the points cannot be kriged with these options' transform (the count of values
// that are 0 or less for the log); nullopt when they can.
std::optional<std::string> TransformRefusal(const KrigingOptions& options, int n, const DataPoint* points);

// The points with the values the kriging works on: ln z, or the indicator of z > T.
std::vector<DataPoint> KrigedValues(const KrigingOptions& options, int n, const DataPoint* points);

// Estimates and standard errors of the global state's log kriging at `count` positions,
// back in the data's units by the formula above (errors may be null).
Outcome LogKrigingAt(const KrigingState& state, int count, const double* xs, const double* ys, double* estimates,
                     double* errors, Feedback* feedback);

// The same from each position's own neighbourhood (the state's options' neighbours and
// distance); a position without enough neighbours gets NaN.
Outcome LocalLogKrigingAt(const KrigingState& state, int count, const double* xs, const double* ys, double* estimates,
                          double* errors, Feedback* feedback);

// The trans-Gaussian back-transform of one estimate, in the units of Y: the estimate
// Yhat, the variance sigma2, Cressie's multiplier m and the mean muHat. Returns the
// estimate and, through `error`, the standard error.
double BackTransformLog(double yHat, double sigma2, double m, double muHat, double* error);

// An indicator estimate clamped to [0, 1].
double ClampProbability(double estimate);

}  // namespace gridora
