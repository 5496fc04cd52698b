#pragma once
// A drawing context that draws nothing: painting through it updates what a drawing
// leaves in the document (the fitted scale, the last drawn node, the frame of the last
// drawing) without producing output. Device pixels map to logical units at a fixed
// resolution.
#include <utility>

#include "platform/drawing_context.h"

namespace gridora {

class NullContext : public DrawingContext {
 public:
  explicit NullContext(double unitsPerPixel) : unitsPerPixel_(unitsPerPixel) {}

  Pen SelectPen(const Pen& pen) override { return std::exchange(pen_, pen); }
  Brush SelectBrush(const Brush& brush) override { return std::exchange(brush_, brush); }
  Font SelectFont(const Font& font) override { return std::exchange(font_, font); }
  Pen SelectStockPen(int index) override {
    Pen pen;
    if (index == kNullPen) pen.style = PenStyle::Null;
    return SelectPen(pen);
  }
  LogicalPoint MoveTo(int x, int y) override { return std::exchange(position_, LogicalPoint{x, y}); }
  void LineTo(int x, int y) override { position_ = {x, y}; }
  void Polyline(const LogicalPoint*, int) override {}
  void Polygon(const LogicalPoint*, int) override {}
  int SetPolyFillMode(int mode) override { return std::exchange(fillMode_, mode); }
  void Rectangle(const LogicalRect&) override {}
  void Ellipse(const LogicalRect&) override {}
  void FillRect(const LogicalRect&, const Brush*) override {}
  void TextOut(int, int, const std::string&) override {}
  Color SetTextColor(Color color) override { return std::exchange(textColor_, color); }
  int SetBkMode(int mode) override { return std::exchange(backgroundMode_, mode); }
  void StretchPixelMap(const LogicalRect&, const PixelMap&) override {}
  LogicalRect DeviceToLogical(const LogicalRect& r) override;

 private:
  double unitsPerPixel_;
  Pen pen_;
  Brush brush_;
  Font font_;
  LogicalPoint position_;
  int fillMode_ = kAlternate;
  int backgroundMode_ = kOpaque;
  Color textColor_ = 0;
};

}  // namespace gridora
