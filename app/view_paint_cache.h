#pragma once
// Keeps the view's picture in band modes, where a paint walks every grid cell, so that
// scrolling and exposing the window only copy pixels. The picture is drawn through the
// same paint entry into an image aligned with the scroll area's pixels, so it is the
// picture a direct paint gives; it is drawn again after Invalidate (the document
// changed) or when the resolution or the viewport's size changes.
#include <QImage>
#include <QPoint>
#include <QRect>

#include "platform/drawing_context.h"

class QPainter;

namespace gridora {

class Document;

class ViewPaintCache {
 public:
  // Largest picture kept, in pixels; a bigger one is painted directly every time.
  static constexpr qint64 kMaximumPixels = 4096LL * 4096LL;

  void Invalidate() { valid_ = false; }
  bool Holds() const { return valid_; }

  // Paints the viewport, whose top-left corner shows scroll-area pixel `scroll`, at
  // the given device pixels per logical unit. Returns the layout rectangle (the
  // viewport in logical units).
  LogicalRect Paint(QPainter& painter, Document& doc, const QSize& viewport, const QPoint& scroll,
                    double pixelsPerUnitX, double pixelsPerUnitY);

 private:
  // Draws the view into image_, covering scroll-area pixels `area`; returns the part
  // of the scroll area the drawing reached.
  QRect DrawInto(const QRect& area, Document& doc, const QSize& viewport, const QPoint& scroll);

  bool valid_ = false;
  QImage image_;
  QRect area_;     // scroll-area pixels the image holds
  QRect reached_;  // scroll-area pixels the last drawing reached
  QSize viewport_;
  // What the last drawing left for "Copy" to frame; a paint from the picture puts it
  // back, as drawing again would.
  int legendRight_ = 0, mapBottom_ = 0;
  double unitsX_ = 0.0, unitsY_ = 0.0;
  // A legend laid out to fit the view moves with the view: the picture then holds
  // for the scroll position it was drawn at only.
  bool followsView_ = false;
  QPoint drawnScroll_;
};

}  // namespace gridora
