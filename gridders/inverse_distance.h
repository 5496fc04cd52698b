#pragma once
// Inverse-distance weighting: the value at a node is the weighted mean of the data
// values within reach,
//
//   z(node) = sum_i w_i z_i / sum_i w_i,   w_i = 1 / d_i^power,
//
// d_i the distance from the node to point i (Shepard, "A two-dimensional interpolation
// function for irregularly-spaced data", Proc. 23rd ACM national conference, 1968).
//
// The points within reach are those at a distance of at most `radius` (every point when
// 0), and of those only the `maxPoints` nearest (all when 0); equal distances go to the
// point first in the data. A node with fewer than `minPoints` points within reach is
// left empty, even when it lies on a point. A node that lies exactly on points
// (d == 0) takes the mean of their values. Points with a coordinate or value that is not
// a finite number are left out.
//
// With neither a radius nor a count every node reads every point (O(n) per node);
// otherwise a 2-d tree finds them (point_tree.h). The nodes are computed on every core,
// column by column; each node's value is independent of the others, so the grid does
// not depend on the number of threads.
#include <cstdint>
#include <span>

#include "document/node_layout.h"
#include "document/random_data.h"
#include "gridders/gridder_result.h"

namespace gridora {

class Feedback;

struct IdwOptions {
  double power = 2;   // at least 0; 0 weighs every point alike
  double radius = 0;  // 0: no limit
  int maxPoints = 0;  // the nearest this many; 0: all within the radius
  int minPoints = 1;  // fewer within reach: the node stays empty (0 counts as 1)
};

// values and empty hold layout.NodeCount() entries, column by column (node_layout.h).
// feedback may be null.
GridderResult GridByInverseDistance(std::span<const DataPoint> points, const NodeLayout& layout,
                                    const IdwOptions& options, float* values, std::uint8_t* empty, Feedback* feedback);

}  // namespace gridora
