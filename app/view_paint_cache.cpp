#include "view_paint_cache.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <utility>

#include "painter_context.h"
#include "render/drawing_parameter.h"
#include "render/traced_bands.h"
#include "view/document.h"
#include "view/view_paint.h"

namespace gridora {
namespace {

// Forwards to the painter's context and notes how far the drawing reaches, in
// logical units. Text is measured roughly (a character is at most a height wide).
class ReachContext : public DrawingContext {
 public:
  explicit ReachContext(DrawingContext& target) : target_(target) {}

  Pen SelectPen(const Pen& pen) override {
    pen_ = pen;
    return target_.SelectPen(pen);
  }
  Brush SelectBrush(const Brush& brush) override { return target_.SelectBrush(brush); }
  Font SelectFont(const Font& font) override {
    font_ = font;
    return target_.SelectFont(font);
  }
  Pen SelectStockPen(int index) override {
    pen_ = Pen{};
    if (index == kNullPen) pen_.style = PenStyle::Null;
    return target_.SelectStockPen(index);
  }
  LogicalPoint MoveTo(int x, int y) override {
    position_ = {x, y};
    return target_.MoveTo(x, y);
  }
  void LineTo(int x, int y) override {
    Reach(position_.x, position_.y, pen_.width);
    Reach(x, y, pen_.width);
    position_ = {x, y};
    target_.LineTo(x, y);
  }
  void Polyline(const LogicalPoint* points, int count) override {
    for (int i = 0; i < count; ++i) Reach(points[i].x, points[i].y, pen_.width);
    target_.Polyline(points, count);
  }
  void Polygon(const LogicalPoint* points, int count) override {
    for (int i = 0; i < count; ++i) Reach(points[i].x, points[i].y, pen_.width);
    target_.Polygon(points, count);
  }
  int SetPolyFillMode(int mode) override { return target_.SetPolyFillMode(mode); }
  void Rectangle(const LogicalRect& r) override {
    ReachRect(r, pen_.width);
    target_.Rectangle(r);
  }
  void Ellipse(const LogicalRect& r) override {
    ReachRect(r, pen_.width);
    target_.Ellipse(r);
  }
  void FillRect(const LogicalRect& r, const Brush* brush) override {
    ReachRect(r, 0);
    target_.FillRect(r, brush);
  }
  void TextOut(int x, int y, const std::string& text) override {
    const int height = std::max(std::abs(font_.height), PainterContext::kDefaultTextHeight);
    const int length = height * static_cast<int>(text.size()) + height;
    // Turned text can point any way: take the square around its start.
    if (font_.escapement != 0)
      ReachRect({x - length, y + length, x + length, y - length}, 0);
    else
      ReachRect({x, y, x + length, y - 2 * height}, 0);
    target_.TextOut(x, y, text);
  }
  Color SetTextColor(Color color) override { return target_.SetTextColor(color); }
  int SetBkMode(int mode) override { return target_.SetBkMode(mode); }
  void StretchPixelMap(const LogicalRect& d, const PixelMap& source) override {
    ReachRect(d, 0);
    target_.StretchPixelMap(d, source);
  }
  LogicalRect DeviceToLogical(const LogicalRect& r) override { return target_.DeviceToLogical(r); }
  bool TakesTracedBands() const override { return target_.TakesTracedBands(); }
  void FillTracedBands(const TracedBands& bands) override {
    if (!bands.shapes.empty()) ReachRect(bands.bounds, 0);
    target_.FillTracedBands(bands);
  }

  bool reached = false;
  double left = 0, right = 0, top = 0, bottom = 0;  // logical, top > bottom

 private:
  void Reach(double x, double y, double margin) {
    margin = std::max(margin, 10.0);
    if (!reached) {
      left = right = x;
      top = bottom = y;
      reached = true;
    }
    left = std::min(left, x - margin);
    right = std::max(right, x + margin);
    top = std::max(top, y + margin);
    bottom = std::min(bottom, y - margin);
  }
  void ReachRect(const LogicalRect& r, int margin) {
    Reach(r.left, r.top, margin);
    Reach(r.right, r.bottom, margin);
  }

  DrawingContext& target_;
  Pen pen_;
  Font font_;
  LogicalPoint position_;
};

bool ShouldKeep(const Document& doc) {
  return doc.chartMode != ChartMode::Variogram && doc.grid && doc.grid->mapColorMode != 0;
}

}  // namespace

QRect ViewPaintCache::DrawInto(const QRect& area, Document& doc, const QSize& viewport, const QPoint& scroll) {
  image_ = QImage(area.size(), QImage::Format_RGB32);
  image_.fill(Qt::white);
  area_ = area;
  QPainter painter(&image_);
  painter.translate(-area.left(), -area.top());
  PainterContext target(painter, unitsX_, unitsY_);
  ReachContext dc(target);
  // The layout is the viewport where it stands in the scroll area, as a direct paint
  // converts it: its logical rectangle depends on the scroll position only by an offset.
  const LogicalRect client{scroll.x() - area.left(), scroll.y() - area.top(),
                           scroll.x() - area.left() + viewport.width(), scroll.y() - area.top() + viewport.height()};
  PaintView(dc, doc, client);
  if (!dc.reached) return {};
  return QRect(
      QPoint(static_cast<int>(std::floor(dc.left * unitsX_)), static_cast<int>(std::floor(-dc.top * unitsY_))),
      QPoint(static_cast<int>(std::ceil(dc.right * unitsX_)), static_cast<int>(std::ceil(-dc.bottom * unitsY_))));
}

LogicalRect ViewPaintCache::Paint(QPainter& painter, Document& doc, const QSize& viewport, const QPoint& scroll,
                                  double pixelsPerUnitX, double pixelsPerUnitY) {
  const QRect visible(scroll, viewport);
  const LogicalRect layout{static_cast<int>(std::lround(scroll.x() / pixelsPerUnitX)),
                           static_cast<int>(std::lround(-scroll.y() / pixelsPerUnitY)),
                           static_cast<int>(std::lround((scroll.x() + viewport.width()) / pixelsPerUnitX)),
                           static_cast<int>(std::lround(-(scroll.y() + viewport.height()) / pixelsPerUnitY))};
  if (!ShouldKeep(doc)) {
    valid_ = false;
    image_ = QImage();
    painter.save();
    painter.translate(-scroll.x(), -scroll.y());
    PainterContext dc(painter, pixelsPerUnitX, pixelsPerUnitY);
    const LogicalRect painted = PaintView(dc, doc, {0, 0, viewport.width(), viewport.height()});
    painter.restore();
    return painted;
  }
  if (unitsX_ != pixelsPerUnitX || unitsY_ != pixelsPerUnitY || viewport_ != viewport) {
    valid_ = false;
    reached_ = QRect();
  }
  // Only what the drawing reached has to be inside the picture.
  if (!valid_ || !area_.contains(visible.intersected(reached_)) || (followsView_ && scroll != drawnScroll_)) {
    unitsX_ = pixelsPerUnitX;
    unitsY_ = pixelsPerUnitY;
    viewport_ = viewport;
    const QRect scrollArea(0, 0, 1 << 24, 1 << 24);
    auto small = [](const QRect& r) { return static_cast<qint64>(r.width()) * r.height() <= kMaximumPixels; };
    // Start from what the last drawing reached; draw once more when this one reaches
    // further.
    QRect area = visible.united(reached_).intersected(scrollArea);
    if (!small(area)) area = visible;
    doc.mapParameter->legendFollowsView = false;
    reached_ = DrawInto(area, doc, viewport, scroll);
    const QRect needed = visible.united(reached_).intersected(scrollArea);
    if (!area.contains(needed) && small(needed)) reached_ = DrawInto(needed, doc, viewport, scroll);
    valid_ = true;
    followsView_ = doc.mapParameter->legendFollowsView;
    drawnScroll_ = scroll;
    legendRight_ = doc.legendRight;
    mapBottom_ = doc.mapBottom;
  } else {
    doc.legendRight = legendRight_;
    doc.mapBottom = mapBottom_;
  }
  painter.drawImage(QPoint(0, 0), image_, visible.translated(-area_.topLeft()));
  return layout;
}

}  // namespace gridora
