#pragma once
// Kriging from local neighbourhoods inside the kriging commands: chosen by the kriging
// options' `neighbours` or maximum distance, it grids the primary variable (simple,
// ordinary or cokriging) without the n x n system, its inverse or their files.
#include <string>

#include "geostat/cross_validation.h"
#include "geostat/kriging_options.h"
#include "geostat/kriging_prediction.h"
#include "platform/outcome.h"

namespace gridora {

class KrigingState;
class Feedback;
struct GridModel;

// True when the options ask for a neighbourhood (nearest points or a distance).
bool LocalKrigingChosen(const KrigingOptions& options);

struct LocalRunResult {
  Outcome outcome;      // Done or Canceled
  std::string message;  // the completion message
};

// Estimates (layer 0) and standard errors (layer 1 when `result` has two layers) of the
// nodes of `layout` (`result`'s shape) from the state's models, and the nodes without
// enough neighbours in result.emptyNodes. Writes no file. On a cancel `result` is partly
// written and must be dropped.
LocalRunResult PredictLocalGrid(const KrigingState& state, const NodeLayout& layout, GridModel& result,
                                Feedback* feedback);

// Cross-validation of the state's local run: each point from its own neighbourhood with
// the neighbour count, maximum distance and kriging type of the prediction
// (CrossValidateLocally).
Outcome CrossValidateLocalRun(const KrigingState& state, int folds, unsigned seed, CrossValidation& result,
                              Feedback* feedback);

// The local run's diagnostic file, "verification.txt" (none for cokriging), written once
// the grid is taken: a cancelled or refused run leaves the files as they were.
void WriteLocalRunFiles(const KrigingState& state);

}  // namespace gridora
