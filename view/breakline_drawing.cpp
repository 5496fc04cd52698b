#include "view/breakline_drawing.h"

#include <algorithm>
#include <cmath>

#include "render/logical_units.h"
#include "view/document.h"

namespace gridora {
namespace {

constexpr Color kFaultRed = Rgb(160, 0, 0);
constexpr int kFaultWidth = 8;  // 0.8 mm

// Cuts the segment a -> b to the window [x0, x1] x [y0, y1] (Liang and Barsky,
// "A new concept and method for line clipping", ACM TOG 3(1), 1984): the segment is
// a + t (b - a), t in [0, 1]; each window edge narrows t. False when nothing is inside.
bool ClipToWindow(PlanePoint& a, PlanePoint& b, double x0, double x1, double y0, double y1) {
  const double dx = b.x - a.x, dy = b.y - a.y;
  double enter = 0.0, leave = 1.0;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {a.x - x0, x1 - a.x, a.y - y0, y1 - a.y};
  for (int k = 0; k < 4; ++k) {
    if (p[k] == 0.0) {
      if (q[k] < 0.0) return false;  // parallel to the edge and outside it
      continue;
    }
    const double t = q[k] / p[k];
    if (p[k] < 0.0)
      enter = std::max(enter, t);
    else
      leave = std::min(leave, t);
    if (enter > leave) return false;
  }
  const PlanePoint start{a.x + enter * dx, a.y + enter * dy};
  b = {a.x + leave * dx, a.y + leave * dy};
  a = start;
  return true;
}

}  // namespace

void DrawBreaklines(DrawingContext& dc, Document& doc, float scaleX, float scaleY) {
  if (doc.breaklines.empty()) return;
  const GridModel& g = *doc.grid;
  const double x0 = std::min(g.xStart, g.xEnd), x1 = std::max(g.xStart, g.xEnd);
  const double y0 = std::min(g.yStart, g.yEnd), y1 = std::max(g.yStart, g.yEnd);
  const int left = doc.marginLeft, top = doc.marginTop;
  // As the data markers are placed: x from the window's start, y down from its end.
  const auto logical = [&](const PlanePoint& p) {
    const int px = TruncToLogical((p.x - g.xStart) * scaleX);
    const int py = TruncToLogical(((g.yEnd - g.yStart) - (p.y - g.yStart)) * scaleY);
    return LogicalPoint{left + px, -top - py};
  };
  const Pen previous = dc.SelectPen(Pen{PenStyle::Solid, kFaultWidth, kFaultRed});
  for (const Polyline& line : doc.breaklines)
    for (std::size_t v = 1; v < line.vertices.size(); ++v) {
      PlanePoint a = line.vertices[v - 1], b = line.vertices[v];
      if (!ClipToWindow(a, b, x0, x1, y0, y1)) continue;
      const LogicalPoint from = logical(a), to = logical(b);
      dc.MoveTo(from.x, from.y);
      dc.LineTo(to.x, to.y);
    }
  dc.SelectPen(previous);
}

}  // namespace gridora
