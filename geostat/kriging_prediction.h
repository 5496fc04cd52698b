#pragma once
// Kriging estimates on the nodes of a regular grid, and the verification file that
// compares the estimates at the data points with the data.
//
// The estimates go into a grid of the caller's that is not yet the document's: the
// caller hands it over only when every node came out finite and nobody cancelled, so the
// document's grid never holds half a prediction.
#include <vector>

#include "document/node_layout.h"
#include "geostat/kriging_state.h"
#include "platform/outcome.h"

namespace gridora {

class Feedback;

// Writes the estimate of node (i, j) to values[i * ny + j]: cokriging when the state has
// a secondary model, else simple kriging of the primary variable. The state must hold an
// inverse of the matching size. Done, Canceled or NotFinite (the first node whose estimate
// is not finite in column and row); after either failure the values are partly written.
Outcome PredictGrid(const KrigingState& state, const NodeLayout& layout, float* values, Feedback* feedback);

// The estimates at the primary data points, written as " %d %f %f %f %f \n" (index, x, y,
// data value, estimate) to "verification.txt" in the primary model's folder, or for
// cokriging to "cokriging_verification.txt" in the state's folder. A file that cannot be
// created is skipped.
void WriteVerification(const KrigingState& state);

}  // namespace gridora
