#include "gridops/contour_lines.h"

#include <cmath>
#include <utility>

#include "document/grid_model.h"

namespace gridora {
namespace {

// Cell sides are numbered: the side from node (ix, iy) to (ix + 1, iy) is 2 (ix * NY +
// iy); the side from (ix, iy) to (ix, iy + 1) is that plus 1.
class ContourTracer {
 public:
  ContourTracer(const GridModel& grid, const ContourRequest& request) : grid_(grid), request_(request) {
    const std::size_t nodes = grid.NodeCount();
    values_.resize(nodes);
    for (std::size_t i = 0; i < nodes; ++i) {
      const float v = grid.values[static_cast<std::size_t>(request.layer) * nodes + i];
      values_[i] = request.logValues ? (v > 0.0f ? std::log10(static_cast<double>(v)) : -HUGE_VAL) : v;
    }
    link_.assign(2 * nodes, {-1, -1});
  }

  void Trace(double level, std::vector<ContourLine>& out) {
    level_ = level;
    segments_.clear();
    touched_.clear();
    const int nx = grid_.NX, ny = grid_.NY;
    for (int ix = 0; ix + 1 < nx; ++ix) {
      for (int iy = 0; iy + 1 < ny; ++iy) {
        const double v00 = V(ix, iy), v10 = V(ix + 1, iy), v11 = V(ix + 1, iy + 1), v01 = V(ix, iy + 1);
        const int index =
            (v00 >= level ? 1 : 0) | (v10 >= level ? 2 : 0) | (v11 >= level ? 4 : 0) | (v01 >= level ? 8 : 0);
        if (index == 0 || index == 15) continue;
        if (!request_.hidden.empty() && CellHidden(ix, iy)) continue;
        const long long bottom = Side(ix, iy, false), right = Side(ix + 1, iy, true);
        const long long top = Side(ix, iy + 1, false), left = Side(ix, iy, true);
        switch (index) {
          case 1:
          case 14: Join(left, bottom); break;
          case 2:
          case 13: Join(bottom, right); break;
          case 3:
          case 12: Join(left, right); break;
          case 4:
          case 11: Join(right, top); break;
          case 6:
          case 9: Join(bottom, top); break;
          case 7:
          case 8: Join(left, top); break;
          case 5:
          case 10: {
            // Saddle: the mean decides whether the above corners connect through the centre.
            const bool centreAbove = (v00 + v10 + v11 + v01) / 4.0 >= level;
            if ((index == 5) == centreAbove) {
              Join(left, top);
              Join(bottom, right);
            } else {
              Join(left, bottom);
              Join(right, top);
            }
            break;
          }
        }
      }
    }
    Chain(out);
    for (long long side : touched_) link_[static_cast<std::size_t>(side)] = {-1, -1};
  }

 private:
  double V(int ix, int iy) const { return values_[static_cast<std::size_t>(ix) * grid_.NY + iy]; }

  bool CellHidden(int ix, int iy) const {
    const auto at = [&](int x, int y) { return request_.hidden[static_cast<std::size_t>(x) * grid_.NY + y] != 0; };
    return at(ix, iy) || at(ix + 1, iy) || at(ix, iy + 1) || at(ix + 1, iy + 1);
  }

  long long Side(int ix, int iy, bool vertical) const {
    return 2 * (static_cast<long long>(ix) * grid_.NY + iy) + (vertical ? 1 : 0);
  }

  void Join(long long a, long long b) {
    const int segment = static_cast<int>(segments_.size());
    segments_.push_back({a, b});
    Attach(a, segment);
    Attach(b, segment);
  }

  void Attach(long long side, int segment) {
    auto& slot = link_[static_cast<std::size_t>(side)];
    if (slot.first < 0) {
      slot.first = segment;
      touched_.push_back(side);
    } else {
      slot.second = segment;
    }
  }

  PlanePoint Crossing(long long side) const {
    const long long node = side / 2;
    const int ix = static_cast<int>(node / grid_.NY), iy = static_cast<int>(node % grid_.NY);
    const bool vertical = (side & 1) != 0;
    const int jx = vertical ? ix : ix + 1, jy = vertical ? iy + 1 : iy;
    const double a = V(ix, iy), b = V(jx, jy);
    const double t = a == b ? 0.5 : (level_ - a) / (b - a);
    const double xa = static_cast<double>(grid_.x0) + ix * static_cast<double>(grid_.DX);
    const double ya = static_cast<double>(grid_.y0) + iy * static_cast<double>(grid_.DY);
    return vertical ? PlanePoint{xa, ya + t * grid_.DY} : PlanePoint{xa + t * grid_.DX, ya};
  }

  // The segment at `side` other than `from`, or -1.
  int Next(long long side, int from) const {
    const auto& slot = link_[static_cast<std::size_t>(side)];
    return slot.first == from ? slot.second : slot.first;
  }

  void Chain(std::vector<ContourLine>& out) {
    std::vector<char> used(segments_.size(), 0);
    // Open lines first, from their free ends; then what is left are rings.
    for (int pass = 0; pass < 2; ++pass) {
      for (std::size_t s = 0; s < segments_.size(); ++s) {
        if (used[s]) continue;
        long long start = segments_[s].first;
        if (pass == 0) {
          const bool freeFirst = Next(segments_[s].first, static_cast<int>(s)) < 0;
          const bool freeSecond = Next(segments_[s].second, static_cast<int>(s)) < 0;
          if (!freeFirst && !freeSecond) continue;
          start = freeFirst ? segments_[s].first : segments_[s].second;
        }
        ContourLine line;
        line.level = request_.logValues ? std::pow(10.0, level_) : level_;
        line.points.push_back(Crossing(start));
        int segment = static_cast<int>(s);
        long long at = start;
        while (segment >= 0 && !used[static_cast<std::size_t>(segment)]) {
          used[static_cast<std::size_t>(segment)] = 1;
          const auto& ends = segments_[static_cast<std::size_t>(segment)];
          at = ends.first == at ? ends.second : ends.first;
          line.points.push_back(Crossing(at));
          segment = Next(at, segment);
        }
        line.closed = pass == 1 || (at == start && line.points.size() > 2);
        out.push_back(std::move(line));
      }
    }
  }

  const GridModel& grid_;
  const ContourRequest& request_;
  std::vector<double> values_;
  std::vector<std::pair<int, int>> link_;  // per side: the (up to two) segments crossing it
  std::vector<long long> touched_;
  std::vector<std::pair<long long, long long>> segments_;
  double level_ = 0.0;
};

}  // namespace

std::vector<ContourLine> TraceContours(const GridModel& grid, const ContourRequest& request) {
  std::vector<ContourLine> lines;
  if (grid.NX < 2 || grid.NY < 2 || request.layer < 0 || request.layer >= grid.layerCount ||
      grid.values.size() < static_cast<std::size_t>(request.layer + 1) * grid.NodeCount())
    return lines;
  if (!request.hidden.empty() && request.hidden.size() != grid.NodeCount()) return lines;
  ContourTracer tracer(grid, request);
  for (double level : request.levels)
    if (std::isfinite(level)) tracer.Trace(level, lines);
  return lines;
}

}  // namespace gridora
