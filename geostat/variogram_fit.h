#pragma once
// Fitting the exponential variogram gamma(h) = c (1 - exp(-h / a)) to the class averages
// (h_i, g_i) of an experimental variogram.
//
// The fit is a damped Gauss-Newton iteration on the residuals R_i = g_i - gamma(h_i):
//
//     J = [d gamma / d a, d gamma / d c] = [-c h e / a^2, 1 - e],  e = exp(-h / a)
//     delta = (J^T J)^-1 J^T R,  (a, c) += step * delta
//
// (the 2 x 2 inverse in closed form: [[p, q], [q, r]]^-1 = [[r, -q], [-q, p]] / (p r - q^2))
// with a fixed, small number of steps and no convergence test: with the step factor 0.1
// the parameters move only part of the way from the starting values, which keeps the
// fitted model close to the eye-fitted start the user sees on the chart. The iteration
// stops early, keeping the last parameters that lowered the error, when the error grows,
// the range turns non-positive or a step is not finite.
#include <string>

#include "linalg/matrix.h"

namespace gridora {

// c (1 - exp(-h / a)).
double ExponentialVariogram(double h, double a, double c);

struct ExponentialFit {
  int success = 0;
  double c = 0.0;
  double a = 0.0;
};

// Logs every iteration to "variogram_optimization.txt" in `folder`. Returns (0, 0, 0)
// when a column is missing (empty).
ExponentialFit FitExponentialModel(const std::string& folder, const DenseMatrix& lagColumn,
                                   const DenseMatrix& gammaColumn, float a0, float c0, int iterationLimit,
                                   double stepFactor);

}  // namespace gridora
