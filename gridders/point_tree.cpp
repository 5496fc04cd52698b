#include "gridders/point_tree.h"

#include <nanoflann.hpp>

#include <algorithm>
#include <cmath>
#include <limits>

namespace gridora {
namespace {

// nanoflann's view of the points.
struct PointCloud {
  const DataPoint* points;
  std::size_t n;
  std::size_t kdtree_get_point_count() const { return n; }
  double kdtree_get_pt(std::uint32_t i, std::size_t dim) const { return dim == 0 ? points[i].x : points[i].y; }
  template <class Box>
  bool kdtree_get_bbox(Box&) const {
    return false;
  }
};

using KdTree =
    nanoflann::KDTreeSingleIndexAdaptor<nanoflann::L2_Simple_Adaptor<double, PointCloud>, PointCloud, 2, std::uint32_t>;

// Leaves of this many points: few enough that a twelve-point query reads few of them,
// enough that the tree stays shallow.
constexpr std::size_t kLeafSize = 12;

constexpr double kInfinity = std::numeric_limits<double>::infinity();

// The search offers a point only when it is strictly closer than worstDist(), and skips
// a branch only when it is farther: so worstDist() is one step above the distance that
// still counts (the radius, or the last kept point's distance once full), and a point
// at exactly that distance is offered and ordered by its index.
double StepAbove(double squaredDistance) { return std::nextafter(squaredDistance, kInfinity); }

// The nearest `capacity` points, ordered by (distance, index).
class NearestSet {
 public:
  using DistanceType = double;
  using IndexType = std::uint32_t;
  using CountType = std::size_t;

  NearestSet(std::size_t capacity, double squaredRadius, PointTree::Found* found)
      : found_(found), capacity_(capacity), radius_(squaredRadius), worst_(StepAbove(squaredRadius)) {}

  std::size_t size() const { return count_; }
  bool full() const { return count_ == capacity_; }
  double worstDist() const { return worst_; }

  bool addPoint(double distance, IndexType index) {
    if (distance > radius_) return true;
    if (count_ == capacity_ && !Before(distance, index, found_[capacity_ - 1])) return true;
    std::size_t i = count_ < capacity_ ? count_++ : capacity_ - 1;
    for (; i > 0 && Before(distance, index, found_[i - 1]); --i) found_[i] = found_[i - 1];
    found_[i] = {index, distance};
    if (count_ == capacity_) worst_ = StepAbove(found_[capacity_ - 1].squaredDistance);
    return true;
  }

 private:
  static bool Before(double distance, IndexType index, const PointTree::Found& other) {
    return distance < other.squaredDistance || (distance == other.squaredDistance && index < other.index);
  }
  PointTree::Found* found_;
  std::size_t capacity_;
  std::size_t count_ = 0;
  double radius_;
  double worst_;
};

// Every point within the radius, as found.
class WithinSet {
 public:
  using DistanceType = double;
  using IndexType = std::uint32_t;
  using CountType = std::size_t;

  WithinSet(double squaredRadius, std::vector<PointTree::Found>& found)
      : found_(found), radius_(squaredRadius), worst_(StepAbove(squaredRadius)) {}

  std::size_t size() const { return found_.size(); }
  bool full() const { return true; }
  double worstDist() const { return worst_; }
  bool addPoint(double distance, IndexType index) {
    if (distance <= radius_) found_.push_back({index, distance});
    return true;
  }

 private:
  std::vector<PointTree::Found>& found_;
  double radius_;
  double worst_;
};

}  // namespace

struct PointTree::Tree {
  explicit Tree(PointCloud cloud)
      : cloud(cloud), index(2, this->cloud, nanoflann::KDTreeSingleIndexAdaptorParams(kLeafSize)) {
    index.buildIndex();
  }
  PointCloud cloud;
  KdTree index;
};

PointTree::PointTree(std::span<const DataPoint> points)
    : points_(points),
      tree_(points.empty() ? nullptr : std::make_unique<Tree>(PointCloud{points.data(), points.size()})) {}

PointTree::~PointTree() = default;

void PointTree::Nearest(double x, double y, std::uint32_t count, double squaredRadius,
                        std::vector<Found>& found) const {
  found.clear();
  if (!tree_ || count == 0) return;
  found.resize(std::min<std::size_t>(count, points_.size()));
  NearestSet result(found.size(), squaredRadius, found.data());
  const double query[2] = {x, y};
  tree_->index.findNeighbors(result, query, nanoflann::SearchParams());
  found.resize(result.size());
}

void PointTree::Within(double x, double y, double squaredRadius, std::vector<Found>& found) const {
  found.clear();
  if (!tree_) return;
  WithinSet result(squaredRadius, found);
  const double query[2] = {x, y};
  tree_->index.findNeighbors(result, query, nanoflann::SearchParams());
}

std::span<const DataPoint> FinitePoints(std::span<const DataPoint> points, std::vector<DataPoint>& storage) {
  const auto finite = [](const DataPoint& p) { return std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z); };
  if (std::all_of(points.begin(), points.end(), finite)) return points;
  storage.clear();
  std::copy_if(points.begin(), points.end(), std::back_inserter(storage), finite);
  return storage;
}

}  // namespace gridora
