#pragma once
// The map body of the band modes, traced once and kept. Tracing cuts every grid cell
// into its band polygons exactly as CellRenderer draws them, in the same order, with
// their colours and (colour mode 2) the contour cuts between them. A run of cells up
// one node column that lies wholly inside one band becomes one quadrilateral: its
// cells' triangles tile that quadrilateral, so it covers the same area in one fill
// instead of four per cell. On a smooth 1000 x 1000 grid this leaves about a tenth of
// the polygons.
//
// The picture depends on the grid's values, its placement on the map (scale, margins,
// window) and the colour levels; view/traced_band_cache.h keeps the last one with the
// document. Tracing runs on every core, a slice of node columns each.
#include <cstdint>
#include <vector>

#include "platform/drawing_context.h"

namespace gridora {

class CellRenderer;
struct GridModel;

struct TracedBands {
  enum class Kind : std::uint8_t { Fill, Line };
  struct Shape {
    std::uint32_t first = 0;  // index of the first point in `points`
    std::uint32_t count = 0;
    Kind kind = Kind::Fill;  // Fill: no outline, alternate rule; Line: the black pen
    Color color = 0;         // the fill's brush colour
    bool operator==(const Shape&) const = default;
  };
  std::vector<LogicalPoint> points;
  std::vector<Shape> shapes;  // in drawing order
  // Bounds of every point, logical units (top > bottom); empty when there is no shape.
  LogicalRect bounds{0, 0, 0, 0};
};

// Traces every cell of `layer` at node positions xs (per node column) and ys (per node
// row), with the renderer's colour scale and contour-line setting. `threads` 0: as
// many as the machine has.
TracedBands TraceBands(const GridModel& grid, int layer, const std::vector<int>& xs, const std::vector<int>& ys,
                       const CellRenderer& renderer, unsigned threads = 0);

}  // namespace gridora
