#pragma once
// Where a grid's nodes lie: node (ix, iy) at (x0 + ix*dx, y0 + iy*dy), ix < nx, iy < ny.
// Grids store their values node column by node column (the ny values of one column
// contiguous), so the value of node (ix, iy) is at index ix*ny + iy.
#include <cstddef>

namespace gridora {

struct NodeLayout {
  double x0 = 0, y0 = 0;  // position of node (0, 0)
  double dx = 1, dy = 1;
  int nx = 0, ny = 0;

  double X(int ix) const { return x0 + ix * dx; }
  double Y(int iy) const { return y0 + iy * dy; }
  std::size_t NodeCount() const {
    return nx > 0 && ny > 0 ? static_cast<std::size_t>(nx) * static_cast<std::size_t>(ny) : 0;
  }
  std::size_t Index(int ix, int iy) const { return static_cast<std::size_t>(ix) * static_cast<std::size_t>(ny) + iy; }
};

}  // namespace gridora
