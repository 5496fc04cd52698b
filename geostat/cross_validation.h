#pragma once
// Cross-validation of the kriging: each primary point is estimated from the others and
// compared with its value.
//
// No system is solved again. With the inverse Q of the whole system and the vector r of
// its right-hand values (standardised residuals, 0 on the border of ordinary kriging),
// leaving out point i gives the error and the kriging variance
//
//     r_i - r*_i = (Q r)_i / Q_ii,        sigma_i^2 = 1 / Q_ii,
//
// and leaving out a set F of points at once (k-fold) gives e_F = (Q_FF)^-1 (Q r)_F with
// the error covariance (Q_FF)^-1: one small solve per fold.
//
// Kriging from local neighbourhoods has no global system and no inverse: there each
// point is estimated as a node of the prediction would be, from the system of its own
// neighbourhood (local_kriging_system.h) with the same neighbour count and maximum
// distance, found among the points that are not left out (the point itself, or its
// whole fold). A point that keeps fewer than the neighbourhood's minimum has no
// estimate: it is left out of the result and counted. With every point a neighbour this
// is the global cross-validation, solved point by point.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "geostat/kriging_state.h"
#include "geostat/local_kriging.h"
#include "platform/outcome.h"

namespace gridora {

class Feedback;

struct CrossValidationPoint {
  double x = 0, y = 0;
  double observed = 0, estimate = 0;
  double residual = 0;  // observed - estimate
  double standardError = 0;
  double standardisedResidual = 0;  // residual / standard error
};

struct CrossValidation {
  int folds = 0;  // 0: leave-one-out
  std::vector<CrossValidationPoint> points;
  double meanError = 0;  // mean residual
  double rootMeanSquareError = 0;
  double meanStandardisedSquaredError = 0;  // near 1 when the model's variances are right
  double correlation = 0;                   // of observed and estimate
  int clampedToZero = 0;                    // variances that rounded below zero
  bool local = false;                       // estimated from local neighbourhoods
  int withoutEstimate = 0;                  // local: points with too few neighbours left, or no solution
};

// Leave-one-out (folds 0) or k-fold with random folds drawn from `seed`. The outcome is
// Done, Canceled, InvalidInput when folds is 1, negative or more than the points,
// Singular when a fold's system cannot be solved and NotFinite when an estimate or a
// standard error is not; each failure with its text for the user. The state must hold an
// inverse of its system's size; `result` changes only when the outcome is Done.
Outcome CrossValidate(const KrigingState& state, int folds, unsigned seed, CrossValidation& result, Feedback* feedback);

// The local cross-validation of the primary variable (`model` in its standardised units,
// the type's known mean its residual mean), leave-one-out (folds 0) or k-fold as above.
// InvalidInput (with its text) for a count of folds out of range, a state with a
// secondary variable, or when no point keeps enough neighbours. Polls `feedback` between
// blocks of points.
Outcome CrossValidateLocally(const KrigingState& state, const CovarianceModel& model, LocalKrigingType type,
                             const LocalNeighbourhood& neighbourhood, int folds, unsigned seed, CrossValidation& result,
                             Feedback* feedback, const DriftBasis* drift = nullptr);

// "x,y,observed,estimate,residual,standard_error,standardised_residual" and a line per
// point; false with `problem` when the file cannot be written (an earlier file stays).
// The name is fixed, so it is taken as the other fixed-name result files take theirs:
// a symbolic link, a FIFO or a file with a second name there is refused.
bool WriteCrossValidationCsv(const CrossValidation& cv, const std::filesystem::path& path, std::string& problem);

// The summary shown after a run.
std::string CrossValidationSummary(const CrossValidation& cv);

}  // namespace gridora
