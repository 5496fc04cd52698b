#pragma once
// The surface the drawing benchmarks paint: hills and hollows over n x n nodes, so that
// every colour band shows up, with distances to the data that vary across the map.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "document/grid_model.h"

namespace gridora::bench {

inline void FillHillSurface(GridModel& g, int n) {
  if (!g.Reshape(1, n, n)) std::abort();
  float low = 1e30f, high = -1e30f;
  for (int ix = 0; ix < n; ++ix)
    for (int iy = 0; iy < n; ++iy) {
      const double x = 6.0 * ix / n, y = 6.0 * iy / n;
      const float v = static_cast<float>(100.0 + 40.0 * std::sin(x) * std::cos(y) + 10.0 * x);
      g.Value(0, ix, iy) = v;
      low = std::min(low, v);
      high = std::max(high, v);
      g.Distance(ix, iy) = static_cast<float>(std::fmod(x * y, 3.0));
    }
  g.layerMinimum[0] = low;
  g.layerMaximum[0] = high;
}

}  // namespace gridora::bench
