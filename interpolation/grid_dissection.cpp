#include "interpolation/grid_dissection.h"

namespace gridora {
namespace {

// Width of a separating band: the second differences couple nodes two apart.
constexpr int kSeparatorWidth = 2;

struct Dissection {
  int ny;
  std::vector<std::int64_t>& order;

  void Append(int i, int j) { order.push_back(static_cast<std::int64_t>(i) * ny + j); }

  // Orders the rectangle of nodes [i0, i1) x [j0, j1) (0-based).
  void Order(int i0, int i1, int j0, int j1) {
    const int ni = i1 - i0, nj = j1 - j0;
    if (ni <= 0 || nj <= 0) return;
    const bool small = static_cast<std::int64_t>(ni) * nj <= kDissectionLeafNodes;
    if (small || (ni <= 2 * kSeparatorWidth && nj <= 2 * kSeparatorWidth)) {
      for (int i = i0; i < i1; ++i)
        for (int j = j0; j < j1; ++j) Append(i, j);
      return;
    }
    // Cut across the longer side, through its middle.
    if (ni >= nj) {
      const int cut = i0 + (ni - kSeparatorWidth) / 2;
      Order(i0, cut, j0, j1);
      Order(cut + kSeparatorWidth, i1, j0, j1);
      for (int j = j0; j < j1; ++j)
        for (int i = cut; i < cut + kSeparatorWidth; ++i) Append(i, j);
    } else {
      const int cut = j0 + (nj - kSeparatorWidth) / 2;
      Order(i0, i1, j0, cut);
      Order(i0, i1, cut + kSeparatorWidth, j1);
      for (int i = i0; i < i1; ++i)
        for (int j = cut; j < cut + kSeparatorWidth; ++j) Append(i, j);
    }
  }
};

}  // namespace

std::vector<std::int64_t> GridDissectionOrder(int nx, int ny) {
  std::vector<std::int64_t> order;
  order.reserve(static_cast<std::size_t>(nx) * static_cast<std::size_t>(ny));
  Dissection{ny, order}.Order(0, nx, 0, ny);
  return order;
}

}  // namespace gridora
