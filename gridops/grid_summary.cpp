#include "gridops/grid_summary.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "document/grid_model.h"
#include "document/random_data.h"
#include "platform/feedback.h"

namespace gridora {
namespace {

constexpr float kNoPointDistance = 1.0e9f;
// Each rounding of the single-precision formula is at most half a unit in the last place
// (2^-24 relative) of the largest coordinate or of the result; 1e-5 covers them many
// times over.
constexpr double kRelativeMargin = 1e-5;

// The single-precision distance formula; every candidate goes through it so that the
// minimum is the one the node-by-point comparison gives.
inline float SquaredDistance(float nodeX, float nodeY, float px, float py) {
  const float dx = nodeX - px;
  const float dy = nodeY - py;
  return dx * dx + dy * dy;
}

// A static 2-d tree over the point offsets. The search visits every box whose exact
// distance from the node is within the best single-precision distance found so far plus
// a margin; the margin covers the rounding of the single-precision formula (a few units
// in the last place of the largest coordinate), so no point that could win under that
// formula is ever pruned.
class PointTree {
 public:
  PointTree(std::vector<float> xs, std::vector<float> ys) : x_(std::move(xs)), y_(std::move(ys)) {
    index_.resize(x_.size());
    for (std::size_t k = 0; k < index_.size(); ++k) index_[k] = static_cast<std::uint32_t>(k);
    if (index_.empty()) return;
    nodes_.resize(NodesFor(index_.size()));
#pragma omp parallel
#pragma omp single
    Build(0, index_.size(), 0, 0);
  }

  std::size_t Size() const { return x_.size(); }

  // The smallest SquaredDistance over all points, with `margin` plus kRelativeMargin of
  // the distance as slack on the pruning distance. `nearest` is a point to start from
  // (the neighbouring node's nearest: it makes the first bound tight) and comes back as
  // the point found. Needs at least one point.
  float Nearest(float nodeX, float nodeY, double margin, std::uint32_t& nearest) const {
    Query query{nodeX, nodeY, margin, SquaredDistance(nodeX, nodeY, x_[nearest], y_[nearest]), 0.0, nearest};
    query.reach = Reach(query.best, margin);
    Search(0, BoxDistance(nodes_[0], nodeX, nodeY), query);
    nearest = query.nearest;
    return query.best;
  }

 private:
  static constexpr std::size_t kLeafSize = 8;

  struct Node {
    float minX, maxX, minY, maxY;  // bounding box of the points below
    std::uint32_t begin, end;      // range in index_
    std::int32_t low = -1, high = -1;
  };

  // Nodes of the subtree over `count` points: the split halves the range until a leaf.
  static std::size_t NodesFor(std::size_t count) {
    if (count <= kLeafSize) return 1;
    return 1 + NodesFor(count / 2) + NodesFor(count - count / 2);
  }

  // The subtree over index_[begin, end) in nodes_ from `at` on, in preorder: the low
  // half's subtree right after its root, the high half's after that. The places follow
  // from the sizes alone, so the top levels' halves are built as tasks on every core.
  void Build(std::size_t begin, std::size_t end, std::size_t at, int depth) {
    Node node{};
    node.minX = node.minY = HUGE_VALF;
    node.maxX = node.maxY = -HUGE_VALF;
    for (std::size_t k = begin; k < end; ++k) {
      const std::uint32_t p = index_[k];
      node.minX = std::min(node.minX, x_[p]);
      node.maxX = std::max(node.maxX, x_[p]);
      node.minY = std::min(node.minY, y_[p]);
      node.maxY = std::max(node.maxY, y_[p]);
    }
    node.begin = static_cast<std::uint32_t>(begin);
    node.end = static_cast<std::uint32_t>(end);
    if (end - begin > kLeafSize) {
      const bool alongX = (node.maxX - node.minX) >= (node.maxY - node.minY);
      const std::size_t middle = begin + (end - begin) / 2;
      std::nth_element(index_.begin() + static_cast<std::ptrdiff_t>(begin),
                       index_.begin() + static_cast<std::ptrdiff_t>(middle),
                       index_.begin() + static_cast<std::ptrdiff_t>(end),
                       [&](std::uint32_t a, std::uint32_t b) { return alongX ? x_[a] < x_[b] : y_[a] < y_[b]; });
      const std::size_t low = at + 1, high = low + NodesFor(middle - begin);
      node.low = static_cast<std::int32_t>(low);
      node.high = static_cast<std::int32_t>(high);
      constexpr int kTaskDepth = 4;
      constexpr std::size_t kTaskPoints = 1 << 14;
#pragma omp task if (depth < kTaskDepth && end - begin >= kTaskPoints)
      Build(begin, middle, low, depth + 1);
      Build(middle, end, high, depth + 1);
#pragma omp taskwait
    }
    nodes_[at] = node;
  }

  // One search: the node, the best squared distance so far and its point, and the
  // squared pruning distance that goes with it.
  struct Query {
    float nodeX, nodeY;
    double margin;
    float best;
    double reach;
    std::uint32_t nearest;
  };

  // The squared distance within which a point could still win: the best distance with
  // its slack, squared (computed when the best changes, not for every box judged).
  static double Reach(float best, double margin) {
    const double reach = std::sqrt(static_cast<double>(best)) * (1.0 + kRelativeMargin) + margin;
    return reach * reach;
  }

  // The squared distance from the node to the box (0 inside it).
  static double BoxDistance(const Node& node, double x, double y) {
    const double dx = std::max({static_cast<double>(node.minX) - x, 0.0, x - static_cast<double>(node.maxX)});
    const double dy = std::max({static_cast<double>(node.minY) - y, 0.0, y - static_cast<double>(node.maxY)});
    return dx * dx + dy * dy;
  }

  // The box at `at`, `boxDistance` from the node, searched unless it lies beyond reach.
  // Comparing squares prunes the boxes that the distances would (the margin is many
  // units in the last place wide, so a box at the edge holds no point that could win).
  void Search(std::int32_t at, double boxDistance, Query& query) const {
    if (boxDistance > query.reach) return;
    const Node& node = nodes_[static_cast<std::size_t>(at)];
    if (node.low < 0) {
      const float before = query.best;
      for (std::uint32_t k = node.begin; k < node.end; ++k) {
        const std::uint32_t p = index_[k];
        const float d = SquaredDistance(query.nodeX, query.nodeY, x_[p], y_[p]);
        if (d < query.best) {
          query.best = d;
          query.nearest = p;
        }
      }
      if (query.best < before) query.reach = Reach(query.best, query.margin);
      return;
    }
    const double low = BoxDistance(nodes_[static_cast<std::size_t>(node.low)], query.nodeX, query.nodeY);
    const double high = BoxDistance(nodes_[static_cast<std::size_t>(node.high)], query.nodeX, query.nodeY);
    // Nearer box first: it tightens the best before the farther one is judged.
    if (low <= high) {
      Search(node.low, low, query);
      Search(node.high, high, query);
    } else {
      Search(node.high, high, query);
      Search(node.low, low, query);
    }
  }

  std::vector<float> x_, y_;
  std::vector<std::uint32_t> index_;
  std::vector<Node> nodes_;
};

}  // namespace

bool ComputeDataDistance(GridModel& grid, const RandomData& points, Feedback* feedback) {
  return ComputeDataDistance(grid, points, points.xMinimum, points.yMinimum, feedback);
}

bool ComputeDataDistance(GridModel& grid, const RandomData& points, double xOrigin, double yOrigin,
                         Feedback* feedback) {
  std::vector<float> xs, ys;
  xs.reserve(static_cast<std::size_t>(points.count));
  ys.reserve(static_cast<std::size_t>(points.count));
  float largest = 0.0f;  // largest coordinate magnitude, for the rounding margin
  for (int p = 0; p < points.count; ++p) {
    const float x = static_cast<float>(points.points[p].x - xOrigin);
    const float y = static_cast<float>(points.points[p].y - yOrigin);
    // A point whose offset is not finite never comes nearer than 1.0e9.
    if (!std::isfinite(x) || !std::isfinite(y)) continue;
    xs.push_back(x);
    ys.push_back(y);
    largest = std::max({largest, std::fabs(x), std::fabs(y)});
  }
  // The nodes' offsets in single precision, as the distances are defined.
  const float spacingX = static_cast<float>(grid.DX), spacingY = static_cast<float>(grid.DY);
  largest = std::max(
      {largest, std::fabs(static_cast<float>(grid.NX) * spacingX), std::fabs(static_cast<float>(grid.NY) * spacingY)});
  const double margin = kRelativeMargin * static_cast<double>(largest);
  const PointTree tree(std::move(xs), std::move(ys));

  // Columns in blocks: the cancel and the progress between blocks, on this thread; the
  // columns of a block on every core. The search is exact, so which point a thread
  // starts from changes its speed only, never the distance.
  constexpr int kBlockColumns = 32;
  for (int first = 0; first < grid.NX; first += kBlockColumns) {
    if (Canceled(feedback)) return false;
    Report(feedback, static_cast<double>(first) / grid.NX);
    const int last = std::min(grid.NX, first + kBlockColumns);
#pragma omp parallel
    {
      std::uint32_t nearest = 0;
#pragma omp for schedule(static)
      for (int i = first; i < last; ++i) {
        const float nodeX = static_cast<float>(i) * spacingX;
        for (int j = 0; j < grid.NY; ++j) {
          const float nodeY = static_cast<float>(j) * spacingY;
          float distance = kNoPointDistance;
          if (tree.Size() != 0) {
            const float best = tree.Nearest(nodeX, nodeY, margin, nearest);
            distance = std::min(distance, static_cast<float>(std::sqrt(static_cast<double>(best))));
          }
          grid.Distance(i, j) = distance;
        }
      }
    }
  }
  Report(feedback, 1.0);
  return true;
}

}  // namespace gridora
