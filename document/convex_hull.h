#pragma once
// The convex hull of a point set, and whether a position lies inside it or within a
// distance of it: the area where the data say something, for blanking the grid beyond.
#include <vector>

namespace gridora {

struct DataPoint;

struct PlanePoint {
  double x = 0.0;
  double y = 0.0;

  bool operator==(const PlanePoint&) const = default;
};

// The hull's corners anticlockwise, without collinear points or a repeated first one
// (Andrew's monotone chain, O(n log n)). One corner for coincident points, two for
// points on one line, none for no points.
std::vector<PlanePoint> ConvexHull(const DataPoint* points, int count);

// True when (x, y) lies inside the hull, on its boundary, or within `distance` of it.
// An empty hull contains nothing.
bool WithinHull(const std::vector<PlanePoint>& hull, double x, double y, double distance);

}  // namespace gridora
