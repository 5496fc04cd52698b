#include "document/point_reduction.h"

#include <fmt/printf.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <numeric>
#include <unordered_map>
#include <vector>

#include "document/random_data.h"

namespace gridora {
namespace {

// Combines the points at `members` (indices into `points`) into one.
DataPoint Combine(const DataPoint* points, const std::vector<int>& members, MergeMethod method,
                  std::vector<double>& scratch) {
  if (method == MergeMethod::First || members.size() == 1) return points[members.front()];
  DataPoint out{};
  for (int i : members) {
    out.x += points[i].x;
    out.y += points[i].y;
    out.z += points[i].z;
  }
  const double n = static_cast<double>(members.size());
  out.x /= n;
  out.y /= n;
  out.z /= n;
  if (method == MergeMethod::Median) {
    scratch.clear();
    for (int i : members) scratch.push_back(points[i].z);
    const std::size_t half = scratch.size() / 2;
    std::nth_element(scratch.begin(), scratch.begin() + static_cast<std::ptrdiff_t>(half), scratch.end());
    out.z = scratch[half];
    if (scratch.size() % 2 == 0) {
      const double below = *std::max_element(scratch.begin(), scratch.begin() + static_cast<std::ptrdiff_t>(half));
      out.z = (out.z + below) / 2.0;
    }
  }
  return out;
}

void RecomputeRanges(RandomData& data) {
  data.StartRanges();
  for (int i = 0; i < data.count; ++i) data.ExtendRanges(data.points[i]);
}

struct CellKey {
  std::int64_t cx, cy;
  bool operator==(const CellKey& other) const { return cx == other.cx && cy == other.cy; }
};

// The tolerance buckets of a coordinate: floor(v / tolerance) kept as a double, so no
// quotient is cut to an integer type (a tiny tolerance on large coordinates would
// overflow one and put every point in one bucket). Beyond 2^53 the doubles are sparser
// than the integers and a bucket is one step between neighbouring doubles: still about
// a tolerance, or a few representable coordinates, wide. A quotient that overflows
// leaves the coordinate itself as the key (`exact`): a tolerance that small is below
// the spacing of such coordinates, so only equal coordinates can lie within it.
struct Bucket {
  double key;
  bool exact;
  bool operator==(const Bucket& other) const { return key == other.key && exact == other.exact; }
};

Bucket BucketOf(double v, double tolerance) {
  const double q = std::floor(v / tolerance);
  if (!std::isfinite(q)) return {v, true};
  return {q == 0.0 ? 0.0 : q, false};  // -0 and +0 are one bucket
}

// The buckets that may hold coordinates within the tolerance of bucket `b`'s: itself and
// the next double key below and above.
std::array<Bucket, 3> Around(const Bucket& b) {
  if (b.exact) return {b, b, b};
  const double below = b.key - 1.0, above = b.key + 1.0;
  constexpr double kInfinity = std::numeric_limits<double>::infinity();
  return {Bucket{below == b.key ? std::nextafter(b.key, -kInfinity) : below, false}, b,
          Bucket{above == b.key ? std::nextafter(b.key, kInfinity) : above, false}};
}

struct BucketPair {
  Bucket x, y;
  bool operator==(const BucketPair& other) const { return x == other.x && y == other.y; }
};
struct BucketHash {
  std::size_t operator()(const BucketPair& k) const {
    const std::hash<double> h;
    return (h(k.x.key) * 0x9E3779B97F4A7C15ull) ^ h(k.y.key) ^ (k.x.exact ? 0x51ED27u : 0u) ^ (k.y.exact ? 0xA3u : 0u);
  }
};

// Groups of point indices, each group in the order of its points, groups in the order
// of their first points.
std::vector<std::vector<int>> GroupsWithin(const RandomData& data, double tolerance) {
  const DataPoint* p = data.points.get();
  const int n = data.count;
  std::vector<int> group(static_cast<std::size_t>(n), -1);
  std::vector<std::vector<int>> groups;
  if (!(tolerance > 0.0)) {
    std::vector<int> order(static_cast<std::size_t>(n));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [p](int a, int b) { return p[a].x < p[b].x || (p[a].x == p[b].x && p[a].y < p[b].y); });
    for (std::size_t k = 0; k < order.size();) {
      std::size_t end = k + 1;
      while (end < order.size() && p[order[end]].x == p[order[k]].x && p[order[end]].y == p[order[k]].y) ++end;
      for (std::size_t j = k; j < end; ++j) group[static_cast<std::size_t>(order[j])] = order[k];
      k = end;
    }
    // group[i] = the first index at i's position; number the groups in point order.
    std::vector<int> number(static_cast<std::size_t>(n), -1);
    for (int i = 0; i < n; ++i) {
      int& g = number[static_cast<std::size_t>(group[static_cast<std::size_t>(i)])];
      if (g < 0) {
        g = static_cast<int>(groups.size());
        groups.emplace_back();
      }
      groups[static_cast<std::size_t>(g)].push_back(i);
    }
    return groups;
  }
  // Points hashed into buckets of the tolerance's size: a point's neighbours within the
  // tolerance lie in its own bucket or the eight around it.
  std::unordered_map<BucketPair, std::vector<int>, BucketHash> cells;
  const auto keyOf = [tolerance](const DataPoint& q) {
    return BucketPair{BucketOf(q.x, tolerance), BucketOf(q.y, tolerance)};
  };
  for (int i = 0; i < n; ++i) cells[keyOf(p[i])].push_back(i);
  std::vector<BucketPair> looked;
  for (int i = 0; i < n; ++i) {
    if (group[static_cast<std::size_t>(i)] >= 0) continue;
    const int g = static_cast<int>(groups.size());
    groups.push_back({i});
    group[static_cast<std::size_t>(i)] = g;
    const BucketPair key = keyOf(p[i]);
    looked.clear();
    for (const Bucket& bx : Around(key.x))
      for (const Bucket& by : Around(key.y)) {
        const BucketPair around{bx, by};
        // An exact bucket is its own neighbour: look at it once.
        if (std::find(looked.begin(), looked.end(), around) != looked.end()) continue;
        looked.push_back(around);
        auto found = cells.find(around);
        if (found == cells.end()) continue;
        for (int j : found->second) {
          if (group[static_cast<std::size_t>(j)] >= 0) continue;
          if (std::hypot(p[j].x - p[i].x, p[j].y - p[i].y) <= tolerance) {
            group[static_cast<std::size_t>(j)] = g;
            groups.back().push_back(j);
          }
        }
      }
    std::sort(groups.back().begin(), groups.back().end());
  }
  return groups;
}

}  // namespace

std::optional<MergeMethod> MergeMethodFromName(const std::string& name) {
  if (name == "mean") return MergeMethod::Mean;
  if (name == "median") return MergeMethod::Median;
  if (name == "first") return MergeMethod::First;
  return std::nullopt;
}

MergeResult MergeDuplicatePoints(RandomData& data, double tolerance, MergeMethod method) {
  MergeResult result;
  const std::vector<std::vector<int>> groups = GroupsWithin(data, tolerance);
  std::vector<DataPoint> merged;
  merged.reserve(groups.size());
  std::vector<double> scratch;
  std::vector<std::string> labels;
  for (const auto& members : groups) {
    if (members.size() > 1) {
      result.pointsMerged += static_cast<int>(members.size());
      ++result.positions;
    }
    merged.push_back(Combine(data.points.get(), members, method, scratch));
    if (data.HasLabels()) labels.push_back(std::move(data.labels[static_cast<std::size_t>(members.front())]));
  }
  std::copy(merged.begin(), merged.end(), data.points.get());
  data.count = static_cast<int>(merged.size());
  data.labels = std::move(labels);
  RecomputeRanges(data);
  return result;
}

std::string MergeSummary(const MergeResult& result) {
  return fmt::sprintf("%d points merged into %d positions", result.pointsMerged, result.positions);
}

std::string BlockCellRefusal(const RandomData& data, double cell) {
  if (!(cell > 0.0) || !std::isfinite(cell)) return "The cell size must be greater than 0.";
  const DataPoint* p = data.points.get();
  double extent = 0.0;
  if (data.count > 0) {
    double xLow = p[0].x, xHigh = p[0].x, yLow = p[0].y, yHigh = p[0].y;
    for (int i = 1; i < data.count; ++i) {
      xLow = std::min(xLow, p[i].x);
      xHigh = std::max(xHigh, p[i].x);
      yLow = std::min(yLow, p[i].y);
      yHigh = std::max(yHigh, p[i].y);
    }
    extent = std::max(xHigh - xLow, yHigh - yLow);
  }
  // Cell numbers up to 2^40 are exact in a double and in a 64-bit key, and the rounding
  // of a point's offset from the lowest point stays far below a cell.
  if (!(extent / cell <= kMaximumCellsAcross))
    return fmt::sprintf(
        "The cell size %g is too small for these points: across their extent of %g it would make more than %.0f "
        "cells. Choose a larger cell.",
        cell, extent, kMaximumCellsAcross);
  return {};
}

int BlockReducePoints(RandomData& data, double cell, MergeMethod method) {
  const int n = data.count;
  if (n == 0 || !BlockCellRefusal(data, cell).empty()) return n;
  const DataPoint* p = data.points.get();
  double xLow = p[0].x, yLow = p[0].y;
  for (int i = 1; i < n; ++i) {
    xLow = std::min(xLow, p[i].x);
    yLow = std::min(yLow, p[i].y);
  }
  std::vector<std::pair<CellKey, int>> keyed(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i)
    keyed[static_cast<std::size_t>(i)] = {{static_cast<std::int64_t>(std::floor((p[i].x - xLow) / cell)),
                                           static_cast<std::int64_t>(std::floor((p[i].y - yLow) / cell))},
                                          i};
  std::sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) {
    return a.first.cx < b.first.cx ||
           (a.first.cx == b.first.cx && (a.first.cy < b.first.cy || (a.first.cy == b.first.cy && a.second < b.second)));
  });
  const MergeMethod combine = method == MergeMethod::First ? MergeMethod::Mean : method;
  std::vector<DataPoint> reduced;
  std::vector<int> members;
  std::vector<double> scratch;
  std::vector<std::string> labels;
  for (std::size_t k = 0; k < keyed.size();) {
    members.clear();
    std::size_t end = k;
    while (end < keyed.size() && keyed[end].first == keyed[k].first) members.push_back(keyed[end++].second);
    reduced.push_back(Combine(p, members, combine, scratch));
    // Members are in the points' order: the cell's first point names it.
    if (data.HasLabels()) labels.push_back(std::move(data.labels[static_cast<std::size_t>(members.front())]));
    k = end;
  }
  std::copy(reduced.begin(), reduced.end(), data.points.get());
  data.count = static_cast<int>(reduced.size());
  data.labels = std::move(labels);
  RecomputeRanges(data);
  return data.count;
}

}  // namespace gridora
