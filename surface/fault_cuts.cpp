#include "surface/fault_cuts.h"

#include <algorithm>
#include <cmath>

namespace gridora {
namespace {

// Which side of the line a -> b the point c lies on: 1 left (or on the line), -1 right.
int Side(double ax, double ay, double bx, double by, double cx, double cy) {
  const double cross = (bx - ax) * (cy - ay) - (by - ay) * (cx - ax);
  return cross < 0.0 ? -1 : 1;
}

}  // namespace

FaultCuts::FaultCuts(int nx, int ny, double DX, double DY, const std::vector<Polyline>& faults)
    : nx_(nx), ny_(ny), dx_(DX), dy_(DY) {
  for (const Polyline& line : faults)
    for (std::size_t v = 1; v < line.vertices.size(); ++v) {
      const PlanePoint& a = line.vertices[v - 1];
      const PlanePoint& b = line.vertices[v];
      const Segment s{a.x / DX, a.y / DY, b.x / DX, b.y / DY};
      if (!std::isfinite(s.ax) || !std::isfinite(s.ay) || !std::isfinite(s.bx) || !std::isfinite(s.by)) continue;
      if (s.ax == s.bx && s.ay == s.by) continue;  // no length: it separates nothing
      segments_.push_back(s);
    }
  flags_.assign(static_cast<std::size_t>(nx) * static_cast<std::size_t>(ny), 0);
  for (std::size_t k = 0; k < segments_.size(); ++k) Cut(segments_[k], static_cast<int>(k));
  std::sort(cellSegments_.begin(), cellSegments_.end());
}

namespace {

struct Crossing {
  double ax, ay, bx, by;
  // Whether the segment p -> q (node-index units) crosses this one.
  bool Crosses(double px, double py, double qx, double qy) const {
    return Side(ax, ay, bx, by, px, py) != Side(ax, ay, bx, by, qx, qy) &&
           Side(px, py, qx, qy, ax, ay) != Side(px, py, qx, qy, bx, by);
  }
};

}  // namespace

void FaultCuts::Cut(const Segment& s, int index) {
  const Crossing fault{s.ax, s.ay, s.bx, s.by};
  // Cells farther from the segment's line than this (from their centre, in cells) cannot
  // meet it: half a diagonal is 0.71.
  constexpr double kReach = 1.0;
  const double length = std::hypot(s.bx - s.ax, s.by - s.ay);
  const auto clampCell = [](double value, int cells) {
    if (!(value > 0.0)) return 0;
    return value >= cells ? cells - 1 : static_cast<int>(value);
  };
  const int firstX = clampCell(std::floor(std::min(s.ax, s.bx)) - 1.0, nx_ - 1);
  const int lastX = clampCell(std::floor(std::max(s.ax, s.bx)) + 1.0, nx_ - 1);
  const int firstY = clampCell(std::floor(std::min(s.ay, s.by)) - 1.0, ny_ - 1);
  const int lastY = clampCell(std::floor(std::max(s.ay, s.by)) + 1.0, ny_ - 1);
  const std::size_t ny = static_cast<std::size_t>(ny_);
  for (int ci = firstX; ci <= lastX; ++ci)
    for (int cj = firstY; cj <= lastY; ++cj) {
      const double cx = ci + 0.5, cy = cj + 0.5;
      const double distance = std::fabs((s.bx - s.ax) * (cy - s.ay) - (s.by - s.ay) * (cx - s.ax)) / length;
      if (distance > kReach) continue;
      const double x0 = ci, y0 = cj, x1 = ci + 1.0, y1 = cj + 1.0;
      const bool bottom = fault.Crosses(x0, y0, x1, y0);
      const bool top = fault.Crosses(x0, y1, x1, y1);
      const bool left = fault.Crosses(x0, y0, x0, y1);
      const bool right = fault.Crosses(x1, y0, x1, y1);
      const bool rising = fault.Crosses(x0, y0, x1, y1), falling = fault.Crosses(x0, y1, x1, y0);
      const bool diagonals = rising || falling;
      const auto inside = [&](double x, double y) { return x >= x0 && x <= x1 && y >= y0 && y <= y1; };
      const std::size_t cell = static_cast<std::size_t>(ci) * ny + static_cast<std::size_t>(cj);
      if (bottom) flags_[cell] |= kCutX;
      if (top) flags_[cell + 1] |= kCutX;
      if (left) flags_[cell] |= kCutY;
      if (right) flags_[cell + ny] |= kCutY;
      if (rising) flags_[cell] |= kCutRising;
      if (falling) flags_[cell] |= kCutFalling;
      const bool cut = bottom || top || left || right || diagonals;
      if (cut) flags_[cell] |= kCutCell;
      if (cut || inside(s.ax, s.ay) || inside(s.bx, s.by)) {
        flags_[cell] |= kTouched;
        cellSegments_.push_back({static_cast<std::int64_t>(cell), index});
      }
    }
}

bool FaultCuts::Linked(int i, int j, int k, int l) const {
  if (i == k && j == l) return true;
  if (j == l) return !CutX(std::min(i, k), j);
  if (i == k) return !CutY(i, std::min(j, l));
  const int ci = std::min(i, k), cj = std::min(j, l);
  return (k - i) * (l - j) > 0 ? !CutRising(ci, cj) : !CutFalling(ci, cj);
}

unsigned FaultCuts::ReachedCorners(int i, int j, double x, double y) const {
  const double px = x / dx_, py = y / dy_;
  const double cornerX[4] = {i - 1.0, i - 1.0, static_cast<double>(i), static_cast<double>(i)};
  const double cornerY[4] = {j - 1.0, static_cast<double>(j), j - 1.0, static_cast<double>(j)};
  const std::int64_t cell = static_cast<std::int64_t>(i - 1) * ny_ + (j - 1);
  const auto first =
      std::lower_bound(cellSegments_.begin(), cellSegments_.end(), std::pair<std::int64_t, int>{cell, 0});
  unsigned reached = 0xF;
  for (auto entry = first; entry != cellSegments_.end() && entry->first == cell; ++entry) {
    const Segment& s = segments_[static_cast<std::size_t>(entry->second)];
    const Crossing fault{s.ax, s.ay, s.bx, s.by};
    for (int c = 0; c < 4; ++c)
      if (fault.Crosses(px, py, cornerX[c], cornerY[c])) reached &= ~(1u << c);
  }
  return reached;
}

namespace {

template <typename Real>
bool KeepSide(const FaultCuts& cuts, int i, int j, double x, double y, Real (&c)[4]) {
  const unsigned reached = cuts.ReachedCorners(i, j, x, y);
  if (reached == 0xF) return true;
  double sum = 0.0;
  for (int p = 0; p < 4; ++p)
    if (reached & (1u << p)) sum += static_cast<double>(c[p]);
  if (!(sum > 0.0)) return false;
  for (int p = 0; p < 4; ++p)
    c[p] = (reached & (1u << p)) ? static_cast<Real>(static_cast<double>(c[p]) / sum) : Real{0};
  return true;
}

}  // namespace

bool KeepOneSide(const FaultCuts& cuts, int i, int j, double x, double y, float (&c)[4]) {
  return KeepSide(cuts, i, j, x, y, c);
}

bool KeepOneSide(const FaultCuts& cuts, int i, int j, double x, double y, double (&c)[4]) {
  return KeepSide(cuts, i, j, x, y, c);
}

}  // namespace gridora
