#pragma once
// The scrolling view: a 16000 x 16000 area of 0.1 mm units (more while zoomed in), Y up,
// painted through the same paint entry as printing, preview, copy and the batch render.
// Navigation: a rectangle dragged with the left button is zoomed to, the wheel zooms
// about the cursor, the middle button drags the map, Fit shows it whole; the position,
// value and standard error under the cursor go to `readout`.
#include <QAbstractScrollArea>
#include <QPoint>
#include <QString>
#include <functional>

#include "platform/drawing_context.h"
#include "view_navigation.h"
#include "view_paint_cache.h"

class QRubberBand;

namespace gridora {

class Document;
struct CommandContext;

class MapView : public QAbstractScrollArea {
 public:
  MapView(Document& doc, CommandContext& context, QWidget* parent);

  // The client rectangle in logical units, refreshed at every paint.
  const LogicalRect& LayoutRect() const { return layout_; }
  double PixelsPerUnitX() const;
  double PixelsPerUnitY() const;
  // The document changed: paint it afresh (band modes keep their picture until then).
  void InvalidateDrawing();
  // The whole map in the view (in place of a chart): the scale fitted at the next
  // paint, scrolled to the start.
  void FitToWindow();
  // Told the text of the position under the cursor (empty when it is off the map).
  std::function<void(const QString&)> readout;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;

 private:
  void UpdateScrollRange();
  // Whether the map is drawn (not a chart, a grid or points present) with a frame to
  // navigate in; fills `frame` and `place` from what the last paint left.
  bool MapShown(ViewFrame& frame, ViewPlace& place) const;
  void Apply(const ViewPlace& place);
  void ShowReadout(const QPoint& pixel);

  Document& doc_;
  CommandContext& context_;
  LogicalRect layout_;
  ViewPaintCache cache_;
  enum class Drag { None, Zoom, Pan } drag_ = Drag::None;
  QPoint dragStart_, dragLast_;
  QRubberBand* band_ = nullptr;
};

}  // namespace gridora
