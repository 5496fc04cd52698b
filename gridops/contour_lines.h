#pragma once
// Contour lines of a grid: for each level, the curves where the surface that the grid
// samples crosses that level, chained into polylines.
//
// Marching squares on the grid's cells: a node counts as above a level when its value
// is >= the level; each cell side whose two nodes differ is crossed once, at the point
// linear interpolation along the side gives; a cell with two opposite nodes above and
// two below (a saddle) joins its crossings as the mean of its four nodes decides.
// The crossings of neighbouring cells are the same points, so the segments chain into
// polylines: closed rings around a hill or a hole, open lines that end at the grid's
// edge or at a cell with a hidden node (cells touching one are not traced).
//
// Cost: O(NX * NY) per level for the scan, plus O(crossings) for the chaining, with two
// integers per cell side of scratch memory reused across levels.
#include <cstdint>
#include <vector>

#include "document/convex_hull.h"

namespace gridora {

struct GridModel;

struct ContourLine {
  double level = 0.0;
  bool closed = false;
  // Positions in grid coordinates; a closed line repeats its first point at the end.
  std::vector<PlanePoint> points;
};

struct ContourRequest {
  int layer = 0;
  std::vector<double> levels;
  // Lines of log10 of the values (levels are then log10 values too).
  bool logValues = false;
  // NX * NY flags, column by column, 1 = hidden; empty: every node shown.
  std::vector<std::uint8_t> hidden;
};

// Every level's lines, level by level in the order given.
std::vector<ContourLine> TraceContours(const GridModel& grid, const ContourRequest& request);

}  // namespace gridora
