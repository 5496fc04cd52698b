#include "document/convex_hull.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "document/random_data.h"

namespace gridora {
namespace {

// > 0 when o -> a -> b turns anticlockwise.
double Turn(const PlanePoint& o, const PlanePoint& a, const PlanePoint& b) {
  return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

double SegmentDistance(const PlanePoint& a, const PlanePoint& b, double x, double y) {
  const double ex = b.x - a.x, ey = b.y - a.y;
  const double length2 = ex * ex + ey * ey;
  double t = length2 > 0.0 ? ((x - a.x) * ex + (y - a.y) * ey) / length2 : 0.0;
  t = std::clamp(t, 0.0, 1.0);
  return std::hypot(x - (a.x + t * ex), y - (a.y + t * ey));
}

}  // namespace

std::vector<PlanePoint> ConvexHull(const DataPoint* points, int count) {
  std::vector<PlanePoint> sorted;
  sorted.reserve(static_cast<std::size_t>(std::max(count, 0)));
  for (int i = 0; i < count; ++i) sorted.push_back({points[i].x, points[i].y});
  std::sort(sorted.begin(), sorted.end(),
            [](const PlanePoint& a, const PlanePoint& b) { return a.x < b.x || (a.x == b.x && a.y < b.y); });
  sorted.erase(std::unique(sorted.begin(), sorted.end(),
                           [](const PlanePoint& a, const PlanePoint& b) { return a.x == b.x && a.y == b.y; }),
               sorted.end());
  if (sorted.size() < 3) return sorted;

  std::vector<PlanePoint> hull(2 * sorted.size());
  std::size_t k = 0;
  for (const PlanePoint& p : sorted) {  // lower chain
    while (k >= 2 && Turn(hull[k - 2], hull[k - 1], p) <= 0.0) --k;
    hull[k++] = p;
  }
  for (std::size_t i = sorted.size() - 1, lower = k + 1; i-- > 0;) {  // upper chain
    const PlanePoint& p = sorted[i];
    while (k >= lower && Turn(hull[k - 2], hull[k - 1], p) <= 0.0) --k;
    hull[k++] = p;
  }
  hull.resize(k - 1);  // the last point repeats the first
  return hull;
}

bool WithinHull(const std::vector<PlanePoint>& hull, double x, double y, double distance) {
  const std::size_t n = hull.size();
  if (n == 0) return false;
  if (n == 1) return std::hypot(x - hull[0].x, y - hull[0].y) <= distance;
  bool inside = n >= 3;
  double nearest = std::numeric_limits<double>::infinity();
  for (std::size_t i = 0; i < n; ++i) {
    const PlanePoint& a = hull[i];
    const PlanePoint& b = hull[(i + 1) % n];
    if (n >= 3 && Turn(a, b, {x, y}) < 0.0) inside = false;
    nearest = std::min(nearest, SegmentDistance(a, b, x, y));
  }
  return inside || nearest <= distance;
}

}  // namespace gridora
