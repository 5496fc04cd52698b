#pragma once
// The nearest data points of a position: a 2-d tree over the points, built once, then
// O(log n + k) per query. Used by the local kriging, one query per grid node.
//
// The tree is nanoflann's (header-only, Debian's libnanoflann-dev), kept behind this
// interface so that no other file sees its templates. Queries are const and may run on
// several threads at once.
#include <cstdint>
#include <memory>
#include <vector>

namespace gridora {

class NeighbourSearch {
 public:
  // Keeps pointers to the coordinates (n points); they must outlive the search.
  NeighbourSearch(const double* x, const double* y, std::uint32_t n);
  ~NeighbourSearch();
  NeighbourSearch(const NeighbourSearch&) = delete;
  NeighbourSearch& operator=(const NeighbourSearch&) = delete;

  struct Found {
    std::uint32_t index;
    double squaredDistance;
  };

  // The nearest `count` points (all points when count is 0) at a distance of at most
  // `maxDistance` (no limit when 0), nearest first, into `found` (replaced). Ties in
  // distance keep no particular order.
  void Nearest(double x, double y, std::uint32_t count, double maxDistance, std::vector<Found>& found) const;

  std::uint32_t Size() const { return n_; }

 private:
  struct Tree;
  std::uint32_t n_;
  std::unique_ptr<Tree> tree_;
};

}  // namespace gridora
