#pragma once
// Kriging estimates on the nodes of a regular grid, and the verification file that
// compares the estimates at the data points with the data.
//
// The estimates go into a grid of the caller's that is not yet the document's: the
// caller hands it over only when every node came out finite and nobody cancelled, so the
// document's grid never holds half a prediction.
#include <cstdint>
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
// Nodes marked 1 in `skip` (one flag per node, as the values; e.g. where an external
// drift is not known) are left out: they get 0.
Outcome PredictGrid(const KrigingState& state, const NodeLayout& layout, float* values, Feedback* feedback,
                    const std::uint8_t* skip = nullptr);

// How far the estimates at the primary data points lie from the data. Kriging honours
// its data: at a datum the position's covariances are the datum's own row of the system
// (C(0) on the diagonal, the nugget included), so the solved system gives the datum back
// to rounding. A system that is singular to working accuracy (a Gaussian model without
// nugget on close points) is inverted without complaint and misses its data by orders of
// the data range; this is how such a system shows.
struct DataMisfit {
  double largest = 0.0;    // largest |estimate - datum|, in the data's units (inf: not finite)
  int point = -1;          // the point where it is, 0-based
  double dataRange = 0.0;  // largest datum minus smallest
  // largest / dataRange (0 for data without range).
  double Relative() const { return dataRange > 0.0 ? largest / dataRange : 0.0; }
};

// A misfit beyond this fraction of the data range: the system's solution cannot be
// trusted. Solved to working accuracy the misfit is near 1e-12 of the range.
inline constexpr double kLargestRelativeMisfit = 1e-3;

// The misfit of the state's estimator (cokriging with a secondary model) at the primary
// points. The state must hold an inverse of its system's size.
DataMisfit MisfitAtData(const KrigingState& state);

// The estimates at the primary data points, written as " %d %f %f %f %f \n" (index, x, y,
// data value, estimate) to "verification.txt" in the primary model's folder, or for
// cokriging to "cokriging_verification.txt" in the state's folder. A file that cannot be
// created is skipped.
void WriteVerification(const KrigingState& state);

}  // namespace gridora
