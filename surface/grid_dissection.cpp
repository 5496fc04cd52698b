#include "surface/grid_dissection.h"

#include <algorithm>

namespace gridora {
namespace {

// Width of a separating band in p or q: the stencil changes either by at most 2.
constexpr int kSeparatorWidth = 2;

// The nodes of an NX x NY grid with p = i + j in [p0, p1) and q = i - j in [q0, q1).
struct DiagonalBox {
  int p0, p1, q0, q1;
};

class Dissection {
 public:
  Dissection(int nx, int ny, std::vector<std::int64_t>& order) : nx_(nx), ny_(ny), order_(order) {}

  void Order(DiagonalBox box) {
    std::int64_t count = 0;
    box = Shrink(box, count);
    if (count == 0) return;
    const int pExtent = box.p1 - box.p0, qExtent = box.q1 - box.q0;
    if (count <= kDissectionLeafNodes || (pExtent <= 2 * kSeparatorWidth && qExtent <= 2 * kSeparatorWidth)) {
      Append(box);
      return;
    }
    // Cut the longer extent through its middle.
    if (pExtent >= qExtent) {
      const int cut = box.p0 + (pExtent - kSeparatorWidth) / 2;
      Order({box.p0, cut, box.q0, box.q1});
      Order({cut + kSeparatorWidth, box.p1, box.q0, box.q1});
      Append({cut, cut + kSeparatorWidth, box.q0, box.q1});
    } else {
      const int cut = box.q0 + (qExtent - kSeparatorWidth) / 2;
      Order({box.p0, box.p1, box.q0, cut});
      Order({box.p0, box.p1, cut + kSeparatorWidth, box.q1});
      Append({box.p0, box.p1, cut, cut + kSeparatorWidth});
    }
  }

 private:
  // The q range [low, high] (same parity as p) of the grid's nodes on the line p that
  // lie in [q0, q1); low > high when there are none.
  void QRange(int p, const DiagonalBox& box, int& low, int& high) const {
    // 0 <= i = (p+q)/2 < NX and 0 <= j = (p-q)/2 < NY.
    low = std::max({box.q0, -p, p - 2 * (ny_ - 1)});
    high = std::min({box.q1 - 1, 2 * (nx_ - 1) - p, p});
    if ((low - p) % 2 != 0) ++low;
  }

  // The smallest box holding the same nodes, and their count.
  DiagonalBox Shrink(const DiagonalBox& box, std::int64_t& count) const {
    DiagonalBox tight{box.p1, box.p0, box.q1, box.q0};
    count = 0;
    for (int p = box.p0; p < box.p1; ++p) {
      int low, high;
      QRange(p, box, low, high);
      if (low > high) continue;
      count += (high - low) / 2 + 1;
      tight.p0 = std::min(tight.p0, p);
      tight.p1 = std::max(tight.p1, p + 1);
      tight.q0 = std::min(tight.q0, low);
      tight.q1 = std::max(tight.q1, high + 1);
    }
    return tight;
  }

  void Append(const DiagonalBox& box) {
    for (int p = box.p0; p < box.p1; ++p) {
      int low, high;
      QRange(p, box, low, high);
      for (int q = low; q <= high; q += 2) {
        const int i = (p + q) / 2, j = (p - q) / 2;
        order_.push_back(static_cast<std::int64_t>(i) * ny_ + j);
      }
    }
  }

  int nx_, ny_;
  std::vector<std::int64_t>& order_;
};

}  // namespace

std::vector<std::int64_t> GridDissectionOrder(int nx, int ny) {
  std::vector<std::int64_t> order;
  order.reserve(static_cast<std::size_t>(nx) * static_cast<std::size_t>(ny));
  Dissection(nx, ny, order).Order({0, nx + ny - 1, -(ny - 1), nx});
  return order;
}

}  // namespace gridora
