#pragma once
// Weighted least-squares fit of a variogram model to the lag-class averages.
//
// Minimises S = sum_j w_j (g_j - gamma(h_j))^2 over the range, the sill and optionally
// the nugget, with w_j = N_j / h_j^2 (the default: fixed weights, the short lags count
// most) or w_j = N_j / gamma(h_j)^2 (relative to the model). Levenberg-Marquardt on the
// logarithms of range and sill keeps both above 0; the nugget is held at 0 or above by
// projecting each step.
#include <string>
#include <vector>

#include "geostat/covariance_model.h"

namespace gridora {

enum class FitWeights { PairsOverLagSquared, PairsOverModelSquared };

struct LagClasses {
  std::vector<double> lag, gamma;  // class average distance and dissimilarity
  std::vector<int> pairs;          // N_j
};

struct WlsFit {
  bool converged = false;
  CovarianceModel model;       // the fitted model (the start when not converged)
  double weightedError = 0.0;  // S at the model
  int iterations = 0;
};

// S of `model` on the classes (the model is used isotropically: lags are reduced distances).
double WeightedVariogramError(const LagClasses& classes, const CovarianceModel& model, FitWeights weights);

// Fits range and sill (and the nugget when fitNugget) starting from `start`; the kind,
// smoothness and anisotropy of `start` stay. Classes with a lag of 0 are left out.
WlsFit FitVariogramWls(const LagClasses& classes, const CovarianceModel& start, bool fitNugget, FitWeights weights);

}  // namespace gridora
