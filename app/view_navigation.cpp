#include "view_navigation.h"

#include <algorithm>
#include <cmath>

namespace gridora {

QPointF MapAt(const ViewFrame& f, const ViewPlace& p, const QPointF& pixel) {
  const double lx = (pixel.x() + p.scrollX) / f.pixelsPerUnitX;
  const double ly = (pixel.y() + p.scrollY) / f.pixelsPerUnitY;
  return {f.xStart + (lx - f.marginLeft) / p.scaleX, f.yEnd - (ly - f.marginTop) / p.scaleY};
}

QPointF PixelAt(const ViewFrame& f, const ViewPlace& p, const QPointF& map) {
  const double lx = f.marginLeft + (map.x() - f.xStart) * p.scaleX;
  const double ly = f.marginTop + (f.yEnd - map.y()) * p.scaleY;
  return {lx * f.pixelsPerUnitX - p.scrollX, ly * f.pixelsPerUnitY - p.scrollY};
}

ViewPlace ZoomAbout(const ViewFrame& f, const ViewPlace& p, const QPointF& pixel, double factor) {
  // The logical offset of the pixel from the map's corner grows with the scales; the
  // scroll takes up the difference so the pixel shows the same map position.
  const double ux = (pixel.x() + p.scrollX) / f.pixelsPerUnitX - f.marginLeft;
  const double uy = (pixel.y() + p.scrollY) / f.pixelsPerUnitY - f.marginTop;
  ViewPlace zoomed;
  zoomed.scaleX = p.scaleX * factor;
  zoomed.scaleY = p.scaleY * factor;
  zoomed.scrollX = (f.marginLeft + ux * factor) * f.pixelsPerUnitX - pixel.x();
  zoomed.scrollY = (f.marginTop + uy * factor) * f.pixelsPerUnitY - pixel.y();
  return zoomed;
}

ViewPlace ZoomToRectangle(const ViewFrame& f, const ViewPlace& p, const QRectF& pixels, const QSizeF& viewport) {
  const QRectF r = pixels.normalized();
  if (r.width() <= 0 || r.height() <= 0 || viewport.width() <= 0 || viewport.height() <= 0) return p;
  const double factor = std::min(viewport.width() / r.width(), viewport.height() / r.height());
  // Zoom about the rectangle's centre, then scroll that centre to the viewport's.
  ViewPlace zoomed = ZoomAbout(f, p, r.center(), factor);
  zoomed.scrollX += r.center().x() - viewport.width() / 2;
  zoomed.scrollY += r.center().y() - viewport.height() / 2;
  return zoomed;
}

double LimitedFactor(const ViewPlace& p, double spanX, double spanY, double factor) {
  if (!std::isfinite(factor) || factor <= 0) return 1.0;
  const double largest = std::max(std::abs(spanX) * p.scaleX, std::abs(spanY) * p.scaleY);
  if (largest > 0 && largest * factor > kMaximumMapUnits) factor = kMaximumMapUnits / largest;
  const double smallest = std::min(p.scaleX, p.scaleY);
  if (smallest * factor < kMinimumScale) factor = kMinimumScale / smallest;
  return factor;
}

}  // namespace gridora
