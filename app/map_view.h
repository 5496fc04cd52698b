#pragma once
// The scrolling view: a 16000 x 16000 area of 0.1 mm units, Y up, painted through the
// same paint entry as printing, preview, copy and the batch render.
#include <QAbstractScrollArea>

#include "platform/drawing_context.h"
#include "view_paint_cache.h"

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

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void UpdateScrollRange();

  Document& doc_;
  CommandContext& context_;
  LogicalRect layout_;
  ViewPaintCache cache_;
};

}  // namespace gridora
