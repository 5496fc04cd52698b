#pragma once
// The drawing context on a QPainter: logical units of 0.1 mm with Y upward, mapped to
// the device by a world transform of (device pixels per 0.1 mm) with Y negated. Text
// and pixel maps are drawn in a locally un-flipped frame so they do not come out
// mirrored. Serves the screen, printer, print preview, PNG, SVG and PDF.
//
// Pens and brushes are descriptions; selecting one only records it, and the painter
// is changed when something is drawn with a different one. The band fill selects a
// pen and a brush around every polygon and puts them back afterwards, so this keeps
// the painter's state changes to the colour changes.
#include <QPainter>
#include <QTransform>

#include "platform/drawing_context.h"

namespace gridora {

class PainterContext : public DrawingContext {
 public:
  // Device pixels per logical unit (the device's DPI / 254). The painter's current
  // transform (e.g. the scroll offset) stays underneath; the painter's state is
  // restored when the context ends.
  PainterContext(QPainter& painter, double pixelsPerUnitX, double pixelsPerUnitY);
  ~PainterContext() override;
  PainterContext(const PainterContext&) = delete;
  PainterContext& operator=(const PainterContext&) = delete;

  Pen SelectPen(const Pen& pen) override;
  Brush SelectBrush(const Brush& brush) override;
  Font SelectFont(const Font& font) override;
  Pen SelectStockPen(int index) override;
  LogicalPoint MoveTo(int x, int y) override;
  void LineTo(int x, int y) override;
  void Polyline(const LogicalPoint* points, int count) override;
  void Polygon(const LogicalPoint* points, int count) override;
  int SetPolyFillMode(int mode) override;
  void Rectangle(const LogicalRect& rect) override;
  void Ellipse(const LogicalRect& rect) override;
  void FillRect(const LogicalRect& rect, const Brush* brush) override;
  void TextOut(int x, int y, const std::string& text) override;
  Color SetTextColor(Color color) override;
  int SetBkMode(int mode) override;
  void StretchPixelMap(const LogicalRect& destination, const PixelMap& source) override;
  LogicalRect DeviceToLogical(const LogicalRect& deviceRect) override;
  // On raster targets only: the traced bands paint the same pixels, but a vector file
  // (SVG, PDF, print) would hold other polygons than the cells'.
  bool TakesTracedBands() const override { return raster_; }
  void FillTracedBands(const TracedBands& bands) override;

  // The text height when a font asks for none (logical units).
  static constexpr int kDefaultTextHeight = 35;

 private:
  void UsePen();
  void UseBrush();
  QFont MakeFont() const;

  QPainter& painter_;
  bool raster_ = false;
  QTransform deviceFromLogical_;
  double pixelsPerUnit_;
  Pen pen_;
  Brush brush_;
  Font font_;
  Pen painterPen_;
  Brush painterBrush_;
  bool painterPenSet_ = false, painterBrushSet_ = false;
  LogicalPoint position_;
  int fillMode_ = kAlternate;
  int backgroundMode_ = kOpaque;
  Color textColor_ = 0;
};

QColor ToQColor(Color color);

// A pixel map as an image (row 0 at the top).
QImage ToQImage(const PixelMap& map);

}  // namespace gridora
