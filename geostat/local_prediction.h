#pragma once
// The kriging state's primary variable gridded from local neighbourhoods
// (local_kriging.h), in the data's own units, with its verification file. The state's
// model works on standardised values: the estimates and standard errors come back
// through the standard deviation and the mean.
//
// Nothing here needs the n x n matrices or the inverse: the primary model only has to
// hold its points (SetData or SetDataWithoutMatrices).
#include <cstdint>
#include <memory>
#include <vector>

#include "geostat/covariance_model.h"
#include "geostat/kriging_prediction.h"
#include "geostat/local_kriging.h"
#include "geostat/variogram_model.h"

namespace gridora {

class Feedback;

struct LocalPrediction {
  LocalGridResult grid;  // its outcome is the prediction's: Done or Canceled
  std::size_t mergedPoints = 0;
};

// `model` in standardised units (the sill of the fit). values and errors (errors may be
// null) receive node (i, j) at [i * ny + j]; empty nodes get the data's mean and a
// standard error of 0, and are marked in `empty` (one byte a node, may be null).
LocalPrediction PredictGridLocally(const VariogramModel& primary, const CovarianceModel& model, LocalKrigingType type,
                                   const LocalNeighbourhood& neighbourhood, const NodeLayout& layout, float* values,
                                   float* errors, std::uint8_t* empty, Feedback* feedback,
                                   std::shared_ptr<const DriftBasis> drift = nullptr, BlockSupport block = {});

// "verification.txt" in the primary model's folder, each point estimated from its own
// neighbourhood, in the form of the global verification file; a point without enough
// neighbours gets the data's mean.
void WriteLocalVerification(const VariogramModel& primary, const CovarianceModel& model, LocalKrigingType type,
                            const LocalNeighbourhood& neighbourhood, std::shared_ptr<const DriftBasis> drift = nullptr);

}  // namespace gridora
