#pragma once
// Where the map stands in the view, and how zooming and panning move it. The drawing
// places a map position (x, y) at logical units
//   lx = marginLeft + (x - xStart) * scaleX,   ly = marginTop + (yEnd - y) * scaleY
// (ly downwards) and the view shows logical units at pixelsPerUnit pixels each, scrolled
// by `scroll` pixels:
//   px = lx * pixelsPerUnitX - scrollX,        py = ly * pixelsPerUnitY - scrollY.
// Zooming multiplies both scales by one factor, so the map keeps its aspect.
#include <QPointF>
#include <QRectF>
#include <QSizeF>

namespace gridora {

struct ViewFrame {
  double marginLeft = 0, marginTop = 0;  // logical units
  double xStart = 0, yEnd = 0;           // map units at the map's top-left corner
  double pixelsPerUnitX = 1, pixelsPerUnitY = 1;
};

struct ViewPlace {
  double scaleX = 1, scaleY = 1;    // logical units per map unit
  double scrollX = 0, scrollY = 0;  // pixels
};

// The map position under a viewport pixel, and the pixel of a map position.
QPointF MapAt(const ViewFrame& frame, const ViewPlace& place, const QPointF& pixel);
QPointF PixelAt(const ViewFrame& frame, const ViewPlace& place, const QPointF& map);

// Both scales times `factor`, the map position under `pixel` staying under it.
ViewPlace ZoomAbout(const ViewFrame& frame, const ViewPlace& place, const QPointF& pixel, double factor);

// The largest zoom that shows the whole of `pixels` (a rectangle of the viewport, as
// dragged) in a viewport of `viewport`, its centre at the viewport's centre.
ViewPlace ZoomToRectangle(const ViewFrame& frame, const ViewPlace& place, const QRectF& pixels, const QSizeF& viewport);

// Limits of a zoom factor so that scales stay finite and the drawing's logical units
// (ints) hold the map: a factor that would leave [kMinimumScale, kMaximumScale] is cut.
inline constexpr double kMinimumScale = 1e-9;
inline constexpr double kMaximumMapUnits = 2.0e8;  // logical units across the zoomed map
double LimitedFactor(const ViewPlace& place, double spanX, double spanY, double factor);

}  // namespace gridora
