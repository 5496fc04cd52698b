#include "render/recording_context.h"

#include <cmath>
#include <utility>

namespace gridora {

void RecordingContext::Record(std::string op, std::vector<int> args, std::string text) {
  calls_.push_back({std::move(op), std::move(args), std::move(text), pen_, brush_, textColor_});
}

std::vector<RecordedCall> RecordingContext::CallsOf(const std::string& op) const {
  std::vector<RecordedCall> found;
  for (const auto& call : calls_)
    if (call.op == op) found.push_back(call);
  return found;
}

Pen RecordingContext::SelectPen(const Pen& pen) {
  Record("SelectPen", {static_cast<int>(pen.style), pen.width, static_cast<int>(pen.color)});
  return std::exchange(pen_, pen);
}

Brush RecordingContext::SelectBrush(const Brush& brush) {
  Record("SelectBrush", {brush.null ? 1 : 0, static_cast<int>(brush.color)});
  return std::exchange(brush_, brush);
}

Font RecordingContext::SelectFont(const Font& font) {
  Record("SelectFont", {font.height, font.escapement, font.weight}, font.face);
  return std::exchange(font_, font);
}

Pen RecordingContext::SelectStockPen(int index) {
  Pen pen;
  if (index == kNullPen) pen.style = PenStyle::Null;
  Record("SelectStockPen", {index});
  return std::exchange(pen_, pen);
}

LogicalPoint RecordingContext::MoveTo(int x, int y) {
  Record("MoveTo", {x, y});
  return std::exchange(position_, LogicalPoint{x, y});
}

void RecordingContext::LineTo(int x, int y) {
  Record("LineTo", {position_.x, position_.y, x, y});
  position_ = {x, y};
}

void RecordingContext::Polyline(const LogicalPoint* points, int count) {
  std::vector<int> args;
  for (int i = 0; i < count; ++i) args.insert(args.end(), {points[i].x, points[i].y});
  Record("Polyline", std::move(args));
}

void RecordingContext::Polygon(const LogicalPoint* points, int count) {
  std::vector<int> args;
  for (int i = 0; i < count; ++i) args.insert(args.end(), {points[i].x, points[i].y});
  Record("Polygon", std::move(args));
}

int RecordingContext::SetPolyFillMode(int mode) {
  Record("SetPolyFillMode", {mode});
  return std::exchange(fillMode_, mode);
}

void RecordingContext::Rectangle(const LogicalRect& r) { Record("Rectangle", {r.left, r.top, r.right, r.bottom}); }

void RecordingContext::Ellipse(const LogicalRect& r) { Record("Ellipse", {r.left, r.top, r.right, r.bottom}); }

void RecordingContext::FillRect(const LogicalRect& r, const Brush* brush) {
  Record("FillRect", {r.left, r.top, r.right, r.bottom, brush ? static_cast<int>(brush->color) : -1});
}

void RecordingContext::TextOut(int x, int y, const std::string& text) { Record("TextOut", {x, y}, text); }

Color RecordingContext::SetTextColor(Color color) {
  Record("SetTextColor", {static_cast<int>(color)});
  return std::exchange(textColor_, color);
}

int RecordingContext::SetBkMode(int mode) {
  Record("SetBkMode", {mode});
  return std::exchange(backgroundMode_, mode);
}

void RecordingContext::StretchPixelMap(const LogicalRect& d, const PixelMap& source) {
  Record("StretchPixelMap", {d.left, d.top, d.right, d.bottom, source.width, source.height});
  lastPixelMap_ = source;
}

LogicalRect RecordingContext::DeviceToLogical(const LogicalRect& r) {
  auto convert = [this](int v) { return static_cast<int>(std::lround(v * unitsPerPixel_)); };
  // Device Y grows downward, logical Y upward.
  return {convert(r.left), -convert(r.top), convert(r.right), -convert(r.bottom)};
}

}  // namespace gridora
