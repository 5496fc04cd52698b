#include "painter_context.h"

#include <QFontMetrics>
#include <QImage>
#include <QPolygon>
#include <QString>
#include <utility>
#include <vector>

namespace gridora {

QColor ToQColor(Color color) { return QColor(RedOf(color), GreenOf(color), BlueOf(color)); }

PainterContext::PainterContext(QPainter& painter, double pixelsPerUnitX, double pixelsPerUnitY)
    : painter_(painter) {
  painter_.save();
  painter_.scale(pixelsPerUnitX, -pixelsPerUnitY);
  deviceFromLogical_ = painter_.combinedTransform();
  painter_.setRenderHint(QPainter::Antialiasing, false);
  painter_.setRenderHint(QPainter::SmoothPixmapTransform, false);
  ApplyPen();
  ApplyBrush();
  ApplyFont();
}

PainterContext::~PainterContext() { painter_.restore(); }

void PainterContext::ApplyPen() {
  if (pen_.style == PenStyle::Null) {
    painter_.setPen(Qt::NoPen);
    return;
  }
  QPen pen(ToQColor(pen_.color));
  pen.setWidthF(pen_.width);  // 0: cosmetic, one device pixel
  pen.setCapStyle(Qt::RoundCap);
  pen.setJoinStyle(Qt::RoundJoin);
  painter_.setPen(pen);
}

void PainterContext::ApplyBrush() {
  painter_.setBrush(brush_.null ? QBrush(Qt::NoBrush) : QBrush(ToQColor(brush_.color)));
}

void PainterContext::ApplyFont() {
  QFont font(QString::fromStdString(font_.face));
  font.setPixelSize(font_.height > 0 ? font_.height : (font_.height < 0 ? -font_.height : kDefaultTextHeight));
  font.setWeight(static_cast<QFont::Weight>(font_.weight >= 700 ? QFont::Bold : QFont::Normal));
  painter_.setFont(font);
}

Pen PainterContext::SelectPen(const Pen& pen) {
  Pen previous = std::exchange(pen_, pen);
  ApplyPen();
  return previous;
}

Brush PainterContext::SelectBrush(const Brush& brush) {
  Brush previous = std::exchange(brush_, brush);
  ApplyBrush();
  return previous;
}

Font PainterContext::SelectFont(const Font& font) {
  Font previous = std::exchange(font_, font);
  ApplyFont();
  return previous;
}

Pen PainterContext::SelectStockPen(int index) {
  Pen pen;
  if (index == kNullPen) pen.style = PenStyle::Null;
  return SelectPen(pen);
}

LogicalPoint PainterContext::MoveTo(int x, int y) { return std::exchange(position_, LogicalPoint{x, y}); }

void PainterContext::LineTo(int x, int y) {
  painter_.drawLine(QPoint(position_.x, position_.y), QPoint(x, y));
  position_ = {x, y};
}

namespace {
QPolygon ToPolygon(const LogicalPoint* points, int count) {
  QPolygon polygon(count);
  for (int i = 0; i < count; ++i) polygon.setPoint(i, points[i].x, points[i].y);
  return polygon;
}
}  // namespace

void PainterContext::Polyline(const LogicalPoint* points, int count) {
  if (count < 2) return;
  painter_.drawPolyline(ToPolygon(points, count));
}

void PainterContext::Polygon(const LogicalPoint* points, int count) {
  if (count < 2) return;
  painter_.drawPolygon(ToPolygon(points, count), fillMode_ == kWinding ? Qt::WindingFill : Qt::OddEvenFill);
}

int PainterContext::SetPolyFillMode(int mode) { return std::exchange(fillMode_, mode); }

void PainterContext::Rectangle(const LogicalRect& r) {
  painter_.drawRect(QRect(QPoint(r.left, r.top), QPoint(r.right, r.bottom)).normalized());
}

void PainterContext::Ellipse(const LogicalRect& r) {
  painter_.drawEllipse(QRect(QPoint(r.left, r.top), QPoint(r.right, r.bottom)).normalized());
}

void PainterContext::FillRect(const LogicalRect& r, const Brush* brush) {
  if (!brush || brush->null) return;
  painter_.fillRect(QRect(QPoint(r.left, r.top), QPoint(r.right, r.bottom)).normalized(), ToQColor(brush->color));
}

void PainterContext::TextOut(int x, int y, const std::string& text) {
  const QString string = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  painter_.save();
  painter_.translate(x, y);
  painter_.scale(1, -1);  // text reads upright
  if (font_.escapement != 0) painter_.rotate(-font_.escapement / 10.0);
  const QFontMetrics metrics(painter_.font());
  if (backgroundMode_ == kOpaque) {
    painter_.fillRect(QRect(0, 0, metrics.horizontalAdvance(string), metrics.height()), Qt::white);
  }
  painter_.setPen(ToQColor(textColor_));
  painter_.drawText(QPoint(0, metrics.ascent()), string);
  painter_.restore();
}

Color PainterContext::SetTextColor(Color color) { return std::exchange(textColor_, color); }

int PainterContext::SetBkMode(int mode) { return std::exchange(backgroundMode_, mode); }

void PainterContext::StretchPixelMap(const LogicalRect& d, const PixelMap& source) {
  if (source.Empty()) return;
  QImage image(source.width, source.height, QImage::Format_RGB32);
  for (int y = 0; y < source.height; ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < source.width; ++x) {
      const Color c = source.At(x, y);
      line[x] = qRgb(RedOf(c), GreenOf(c), BlueOf(c));
    }
  }
  painter_.save();
  painter_.scale(1, -1);  // row 0 of the map at the top
  painter_.drawImage(QRectF(d.left, -d.top, d.right - d.left, d.top - d.bottom), image);
  painter_.restore();
}

LogicalRect PainterContext::DeviceToLogical(const LogicalRect& r) {
  const QTransform logicalFromDevice = deviceFromLogical_.inverted();
  const QPointF topLeft = logicalFromDevice.map(QPointF(r.left, r.top));
  const QPointF bottomRight = logicalFromDevice.map(QPointF(r.right, r.bottom));
  return {qRound(topLeft.x()), qRound(topLeft.y()), qRound(bottomRight.x()), qRound(bottomRight.y())};
}

}  // namespace gridora
