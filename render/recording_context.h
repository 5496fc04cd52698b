#pragma once
// A drawing context that records every call with its coordinates, for tests and for
// checking what a drawing does without a screen. Conversions between device and
// logical units use a fixed resolution (`unitsPerPixel` logical units a pixel).
#include <string>
#include <vector>

#include "platform/drawing_context.h"

namespace gridora {

struct RecordedCall {
  std::string op;         // "TextOut", "LineTo", "Polygon", ...
  std::vector<int> args;  // coordinates and other integers in call order
  std::string text;       // TextOut's text
  Pen pen;                // selected pen at the time of the call
  Brush brush;            // selected brush at the time of the call
  Color textColor = 0;
};

class RecordingContext : public DrawingContext {
 public:
  explicit RecordingContext(double unitsPerPixel = 254.0 / 96.0) : unitsPerPixel_(unitsPerPixel) {}

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

  const std::vector<RecordedCall>& Calls() const { return calls_; }
  std::vector<RecordedCall> CallsOf(const std::string& op) const;
  const Font& CurrentFont() const { return font_; }
  const PixelMap& LastPixelMap() const { return lastPixelMap_; }
  void Clear() { calls_.clear(); }

 private:
  void Record(std::string op, std::vector<int> args, std::string text = {});

  double unitsPerPixel_;
  std::vector<RecordedCall> calls_;
  Pen pen_;
  Brush brush_;
  Font font_;
  LogicalPoint position_;
  int fillMode_ = kAlternate;
  int backgroundMode_ = kOpaque;
  Color textColor_ = 0;
  PixelMap lastPixelMap_;
};

}  // namespace gridora
