#include "geostat/neighbour_search.h"

#include <nanoflann.hpp>

#include <algorithm>
#include <cmath>
#include <limits>

namespace gridora {
namespace {

// nanoflann's view of the two coordinate arrays.
struct PointCloud {
  const double* x;
  const double* y;
  std::uint32_t n;
  std::size_t kdtree_get_point_count() const { return n; }
  double kdtree_get_pt(std::uint32_t i, std::size_t dim) const { return dim == 0 ? x[i] : y[i]; }
  template <class Box>
  bool kdtree_get_bbox(Box&) const {
    return false;
  }
};

using KdTree =
    nanoflann::KDTreeSingleIndexAdaptor<nanoflann::L2_Simple_Adaptor<double, PointCloud>, PointCloud, 2, std::uint32_t>;

// Leaves of this many points: small enough that a query visits few, large enough that
// the tree stays shallow (nanoflann's own advice is 10 to 50 for 2-d queries).
constexpr std::size_t kLeafSize = 16;

// The nearest `capacity` points closer than a radius: nanoflann's k-nearest result set
// started with the squared radius as its worst distance, so that the search prunes every
// branch beyond the radius from the start.
class NearestWithin {
 public:
  using DistanceType = double;
  using IndexType = std::uint32_t;
  using CountType = std::size_t;

  NearestWithin(std::size_t capacity, double squaredRadius, IndexType* indices, double* distances)
      : indices_(indices), distances_(distances), capacity_(capacity), radius_(squaredRadius) {}

  std::size_t size() const { return count_; }
  bool full() const { return count_ == capacity_; }
  double worstDist() const { return count_ < capacity_ ? radius_ : distances_[capacity_ - 1]; }

  bool addPoint(double distance, IndexType index) {
    if (distance > radius_) return true;
    std::size_t i = count_;
    for (; i > 0 && distances_[i - 1] > distance; --i)
      if (i < capacity_) {
        distances_[i] = distances_[i - 1];
        indices_[i] = indices_[i - 1];
      }
    if (i < capacity_) {
      distances_[i] = distance;
      indices_[i] = index;
    }
    if (count_ < capacity_) ++count_;
    return true;
  }

 private:
  IndexType* indices_;
  double* distances_;
  std::size_t capacity_;
  std::size_t count_ = 0;
  double radius_;
};

}  // namespace

struct NeighbourSearch::Tree {
  explicit Tree(PointCloud cloud)
      : cloud(cloud), index(2, this->cloud, nanoflann::KDTreeSingleIndexAdaptorParams(kLeafSize)) {
    index.buildIndex();
  }
  PointCloud cloud;
  KdTree index;
};

NeighbourSearch::NeighbourSearch(const double* x, const double* y, std::uint32_t n)
    : n_(n), tree_(n > 0 ? std::make_unique<Tree>(PointCloud{x, y, n}) : nullptr) {}

NeighbourSearch::~NeighbourSearch() = default;

void NeighbourSearch::Nearest(double x, double y, std::uint32_t count, double maxDistance,
                              std::vector<Found>& found) const {
  found.clear();
  if (n_ == 0) return;
  const std::size_t capacity = count == 0 ? n_ : std::min(count, n_);
  // The tree keeps points strictly closer than the worst distance: one step up makes a
  // point at exactly maxDistance count.
  const double squaredRadius = maxDistance > 0.0
                                   ? std::nextafter(maxDistance * maxDistance, std::numeric_limits<double>::infinity())
                                   : std::numeric_limits<double>::infinity();
  // Small per-thread buffers: one query per node, millions of nodes.
  thread_local std::vector<std::uint32_t> indices;
  thread_local std::vector<double> distances;
  indices.resize(capacity);
  distances.resize(capacity);
  NearestWithin result(capacity, squaredRadius, indices.data(), distances.data());
  const double query[2] = {x, y};
  tree_->index.findNeighbors(result, query, nanoflann::SearchParams());
  found.resize(result.size());
  for (std::size_t k = 0; k < result.size(); ++k) found[k] = {indices[k], distances[k]};
}

}  // namespace gridora
