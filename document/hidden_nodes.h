#pragma once
// The nodes the map leaves blank and the grid exports write as no-data: those farther
// from the data than the maximum distance (when that option is on) and those outside
// the data's convex hull, enlarged by a distance (when hull blanking is on), and those a
// local kriging left without an estimate.
#include <cstdint>
#include <vector>

namespace gridora {

struct GridModel;

class HiddenNodes {
 public:
  explicit HiddenNodes(const GridModel& grid);

  bool Any() const { return hideFar_ || !outsideHull_.empty() || withoutEstimate_; }
  bool Hidden(int ix, int iy) const;
  // One flag per node, column by column (1 = hidden); empty when nothing is hidden.
  std::vector<std::uint8_t> Mask() const;

 private:
  const GridModel& grid_;
  bool hideFar_ = false;
  std::vector<std::uint8_t> outsideHull_;  // NX * NY, column by column; empty: none
  bool withoutEstimate_ = false;
};

}  // namespace gridora
