#pragma once
// Everything on the map page around the map body: the display window and its ticks,
// the frame with full-length grid lines, tick labels, axis titles and the scale text,
// the data markers and the colour legend. Coordinates are logical units (0.1 mm, Y
// up); the frame's top-left corner is (marginLeft, -marginTop).
#include "platform/drawing_context.h"

namespace gridora {

class Document;

// Tick loops stop here: an "Axis setup" interval far too small for its window must
// not stall the drawing.
inline constexpr int kMaximumTicks = 10000;

// Rounds `end` up to a whole number of intervals from `start` and picks the interval
// (1, 2, 5, 10, ... 1000, else 2000: the first above a tenth of the span). Returns the
// number of ticks; the last tick is the new end.
int NiceTicks(float start, float& end, float& interval);

// The display window from the grid, else from the point sets, with its ticks. False
// (changing nothing) when there is neither a grid nor a point.
bool WindowAndTicks(Document& doc);

// Frame, grid lines, tick labels, titles and (unless left out) the scale text. Raises
// mapWidth and mapHeight to at least the frame's size.
void DrawFrameAndAxes(DrawingContext& dc, Document& doc, float scaleX, float scaleY, int& mapWidth, int& mapHeight,
                      bool scaleText = true);

// A circle in the value's colour at every point of the shown point set; writes
// "ShowRandomData.txt".
void DrawDataMarkers(DrawingContext& dc, Document& doc, float scaleX, float scaleY);

// The colour boxes right of the frame, bottom to top, with their upper levels, and the
// style's legend title and units (render/legend_layout.h); with a view (logical units)
// the legend is kept inside it. Writes "Legend.txt". Returns the legend's right edge
// + 100.
int DrawLegend(DrawingContext& dc, Document& doc, int mapWidth, int mapHeight, int layerIndex,
               const LogicalRect* view = nullptr);

}  // namespace gridora
