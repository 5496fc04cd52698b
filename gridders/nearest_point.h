#pragma once
// Nearest point: the value at a node is the value of the data point nearest to it,
//
//   z(node) = z_j,   j = argmin_i |node - p_i|,
//
// the point first in the data among several at the same distance; a node with no point
// within `radius` (when not 0) is left empty. This is the piecewise-constant grid of the
// points' Voronoi cells (Okabe, Boots, Sugihara, Chiu, "Spatial Tessellations", 2nd ed.,
// Wiley 2000, ch. 2). Points with a coordinate or value that is not a finite number are
// left out. One 2-d tree query per node (point_tree.h), nodes on every core.
#include <cstdint>
#include <span>

#include "document/node_layout.h"
#include "document/random_data.h"
#include "gridders/gridder_result.h"

namespace gridora {

class Feedback;

struct NearestOptions {
  double radius = 0;  // 0: no limit
};

// values and empty hold layout.NodeCount() entries, column by column (node_layout.h).
// feedback may be null.
GridderResult GridByNearestPoint(std::span<const DataPoint> points, const NodeLayout& layout,
                                 const NearestOptions& options, float* values, std::uint8_t* empty, Feedback* feedback);

}  // namespace gridora
