#pragma once
// The contour map: the display window, the fitted scale, the colour levels, the map
// body (a cached pixel map, or filled contour bands cell by cell), then the frame,
// the data markers and the legend. Writes "DrawMap.txt" in the current directory.
//
// A data point (x, y) lies at logical (marginLeft + (x - xStart) * scaleX,
// -(marginTop + (yEnd - y) * scaleY)): 0.1 mm units, Y up, the window's top-left
// corner at the frame's top-left corner.
#include "platform/drawing_context.h"

namespace gridora {

class Document;
struct GridModel;
class DiagnosticFile;

// The pixel map paints nodes outside the data's reach, and in-window area without
// nodes, in this colour.
inline constexpr Color kMapBackground = Rgb(255, 255, 255);

// What a drawing of the map may leave out or place elsewhere than the view does.
struct MapDrawOptions {
  // The "X Scale=... Y Scale =..." text under the frame.
  bool scaleText = true;
  // The room the legend must stay inside; null: the layout.
  const LogicalRect* legendView = nullptr;
};

// The whole map. The layout rectangle (logical units) fits the scale and holds the
// legend.
void DrawMap(DrawingContext& dc, Document& doc, const LogicalRect& layout);
void DrawMap(DrawingContext& dc, Document& doc, const LogicalRect& layout, const MapDrawOptions& options);

// Rebuilds the colour scale's levels from the current range or the user's levels.
// Returns the range (before any logarithm) in `minimum` and `maximum`.
void SetupColorLevels(Document& doc, float& minimum, float& maximum);

// Fits one isotropic scale so the window fills the layout, unless the scale is kept
// (read from a document file, or fitted before). A layout or window without area
// leaves the stored scale (made finite and positive) and fits again next time.
void FitMapScale(Document& doc, const LogicalRect& layout);

// nxInWindow, nyInWindow, xLastDrawn and yLastDrawn from the display window.
void CountNodesInWindow(GridModel& grid);

// True when layer `layer` of the grid has values to draw.
bool GridHasLayer(const GridModel& grid, int layer);

// Paints the pixel map (one pixel per in-window node) into doc.mapBitmap.
void BuildPixelMap(Document& doc, DiagnosticFile* log);

}  // namespace gridora
