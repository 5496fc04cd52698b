#pragma once
// A grid the gridops tests own: layout, values and an optional empty mask, filled from a
// function of the node position.
#include <cstdint>
#include <functional>
#include <vector>

#include "gridops/grid_values.h"

namespace gridora::testing {

struct TestGrid {
  NodeLayout layout;
  std::vector<float> values;
  std::vector<std::uint8_t> empty;  // none: every node has a value

  TestGrid(NodeLayout nodes, const std::function<double(double x, double y)>& f) : layout(nodes) {
    values.resize(layout.NodeCount());
    for (int ix = 0; ix < layout.nx; ++ix)
      for (int iy = 0; iy < layout.ny; ++iy)
        values[layout.Index(ix, iy)] = static_cast<float>(f(layout.X(ix), layout.Y(iy)));
  }

  void SetEmpty(int ix, int iy) {
    empty.resize(layout.NodeCount(), 0);
    empty[layout.Index(ix, iy)] = 1;
  }
  float At(int ix, int iy) const { return values[layout.Index(ix, iy)]; }
  GridValues View() const { return {layout, values.data(), empty.empty() ? nullptr : empty.data()}; }
};

inline NodeLayout Layout(double x0, double y0, double dx, double dy, int nx, int ny) {
  NodeLayout layout;
  layout.x0 = x0;
  layout.y0 = y0;
  layout.dx = dx;
  layout.dy = dy;
  layout.nx = nx;
  layout.ny = ny;
  return layout;
}

}  // namespace gridora::testing
