#pragma once
// A line of connected vertices in map coordinates: a fault (breakline) of minimum
// curvature. A line of fewer than two vertices has no segment.
#include <vector>

#include "document/convex_hull.h"

namespace gridora {

struct Polyline {
  std::vector<PlanePoint> vertices;
};

}  // namespace gridora
