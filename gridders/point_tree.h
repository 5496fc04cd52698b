#pragma once
// The data points nearest a node: a 2-d tree over the points, built once in
// O(n log n), then O(log n + k) per query. Used by the inverse-distance and the
// nearest-point gridders, one query per node.
//
// Equal distances are broken by the order of the data (the point that comes first
// wins), so that which points a node uses is a rule of the data, not of the tree's
// shape. Distances are compared squared, (x - px)^2 + (y - py)^2, and a radius r
// includes the points at exactly r.
//
// The tree is nanoflann's (header-only, Debian's libnanoflann-dev), kept in the .cpp so
// that no other file sees its templates. Queries are const and may run on several
// threads at once.
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "document/random_data.h"

namespace gridora {

class PointTree {
 public:
  // Keeps a view of the points; they must outlive the tree.
  explicit PointTree(std::span<const DataPoint> points);
  ~PointTree();
  PointTree(const PointTree&) = delete;
  PointTree& operator=(const PointTree&) = delete;

  struct Found {
    std::uint32_t index;
    double squaredDistance;
  };

  // The nearest `count` (at least 1) points at a squared distance of at most
  // `squaredRadius` (infinity: no limit), nearest first, into `found` (replaced).
  void Nearest(double x, double y, std::uint32_t count, double squaredRadius, std::vector<Found>& found) const;
  // Every point at a squared distance of at most `squaredRadius`, in no particular
  // order, into `found` (replaced).
  void Within(double x, double y, double squaredRadius, std::vector<Found>& found) const;

  std::uint32_t Size() const { return static_cast<std::uint32_t>(points_.size()); }

 private:
  struct Tree;
  std::span<const DataPoint> points_;
  std::unique_ptr<Tree> tree_;
};

// The points whose x, y and z are all finite, in their order: `points` itself when all
// are, else a copy of the finite ones in `storage`. A NaN or an infinity would poison
// every sum, and the tree's and the triangulation's comparisons.
std::span<const DataPoint> FinitePoints(std::span<const DataPoint> points, std::vector<DataPoint>& storage);

}  // namespace gridora
