#include "painter_context.h"

#include <QFontMetrics>
#include <QImage>
#include <QPaintEngine>
#include <QPoint>
#include <QString>
#include <algorithm>
#include <cmath>
#include <cstring>
#include <thread>
#include <utility>
#include <vector>

#include "render/traced_bands.h"

namespace gridora {
namespace {

// Small point lists (the band fill's polygons have at most five corners) stay on the
// stack.
class DevicePoints {
 public:
  DevicePoints(const LogicalPoint* points, int count) {
    QPoint* target = count <= kInline ? inline_ : (heap_.resize(static_cast<std::size_t>(count)), heap_.data());
    for (int i = 0; i < count; ++i) target[i] = QPoint(points[i].x, points[i].y);
    data_ = target;
  }
  const QPoint* data() const { return data_; }

 private:
  static constexpr int kInline = 16;
  QPoint inline_[kInline];
  std::vector<QPoint> heap_;
  const QPoint* data_ = nullptr;
};

// Rows above and below a strip that its painter also covers. A hairline cut short at
// the edge of its device starts its steps afresh there, so the edge is kept this far
// from the rows the strip owns; cuts taller than this are painted in one piece.
constexpr int kStripMargin = 8;

// Paints the traced bands for rows [top, bottom) of the image: into a copy of those
// rows with a margin, through a painter of its own with the pens, brushes and calls
// PainterContext would use, then back into the image's own rows. Two strips side by
// side come out as one painting of the whole.
struct Strip {
  int top = 0, bottom = 0;  // the rows it owns
  int first = 0;            // the image row of its own row 0
  QImage image;             // rows first .. bottom + margin

  Strip(const QImage& target, int ownTop, int ownBottom)
      : top(ownTop),
        bottom(ownBottom),
        first(std::max(0, ownTop - kStripMargin)),
        image(target.width(), std::min(target.height(), ownBottom + kStripMargin) - first, target.format()) {}
};

void PaintStrip(uchar* bits, const QImage& image, Strip& own, const QTransform& deviceFromLogical,
                const TracedBands& bands) {
  const int top = own.top, bottom = own.bottom, first = own.first, end = first + own.image.height();
  const qsizetype rowBytes = image.bytesPerLine();
  QImage& strip = own.image;
  for (int row = first; row < end; ++row)
    std::memcpy(strip.scanLine(row - first), bits + row * rowBytes, static_cast<std::size_t>(rowBytes));
  {
    QPainter painter(&strip);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setTransform(deviceFromLogical * QTransform::fromTranslate(0, -first));
    QPen line(ToQColor(0));
    line.setWidthF(0.0);
    line.setCapStyle(Qt::RoundCap);
    line.setJoinStyle(Qt::RoundJoin);
    painter.setPen(Qt::NoPen);
    bool lineSelected = false;
    bool brushSet = false;
    Color brushColor = 0;
    // Device row = m22 * logical y + dy (no rotation or shear in this context).
    const double m22 = deviceFromLogical.m22(), dy = deviceFromLogical.dy();
    std::vector<QPoint> points;
    for (const TracedBands::Shape& shape : bands.shapes) {
      const LogicalPoint* p = bands.points.data() + shape.first;
      const int count = static_cast<int>(shape.count);
      if (count < 2) continue;
      int low = p[0].y, high = p[0].y;
      for (int i = 1; i < count; ++i) {
        low = std::min(low, p[i].y);
        high = std::max(high, p[i].y);
      }
      const double rowA = m22 * low + dy, rowB = m22 * high + dy;
      if (std::max(rowA, rowB) < first - 2 || std::min(rowA, rowB) > end + 2) continue;
      points.resize(static_cast<std::size_t>(count));
      for (int i = 0; i < count; ++i) points[static_cast<std::size_t>(i)] = QPoint(p[i].x, p[i].y);
      if (shape.kind == TracedBands::Kind::Line) {
        if (!lineSelected) painter.setPen(line);
        lineSelected = true;
        painter.drawPolyline(points.data(), count);
        continue;
      }
      if (lineSelected) painter.setPen(Qt::NoPen);
      lineSelected = false;
      if (!brushSet || brushColor != shape.color) painter.setBrush(ToQColor(shape.color));
      brushSet = true;
      brushColor = shape.color;
      painter.drawPolygon(points.data(), count, Qt::OddEvenFill);
    }
  }
  for (int row = top; row < bottom; ++row)
    std::memcpy(bits + row * rowBytes, strip.constScanLine(row - first), static_cast<std::size_t>(rowBytes));
}

// The tallest contour cut in device rows.
double TallestCut(const TracedBands& bands, double m22) {
  double tallest = 0.0;
  for (const TracedBands::Shape& shape : bands.shapes) {
    if (shape.kind != TracedBands::Kind::Line) continue;
    const LogicalPoint* p = bands.points.data() + shape.first;
    int low = p[0].y, high = p[0].y;
    for (std::uint32_t i = 1; i < shape.count; ++i) {
      low = std::min(low, p[i].y);
      high = std::max(high, p[i].y);
    }
    tallest = std::max(tallest, std::abs(m22) * (high - low));
  }
  return tallest;
}

QRect Normalized(const LogicalRect& r) { return QRect(QPoint(r.left, r.top), QPoint(r.right, r.bottom)).normalized(); }

}  // namespace

QColor ToQColor(Color color) { return QColor(RedOf(color), GreenOf(color), BlueOf(color)); }

QImage ToQImage(const PixelMap& map) {
  QImage image(map.width, map.height, QImage::Format_RGB32);
  for (int y = 0; y < map.height; ++y) {
    auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
    const Color* row = map.pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(map.width);
    for (int x = 0; x < map.width; ++x) line[x] = qRgb(RedOf(row[x]), GreenOf(row[x]), BlueOf(row[x]));
  }
  return image;
}

PainterContext::PainterContext(QPainter& painter, double pixelsPerUnitX, double pixelsPerUnitY)
    : painter_(painter), pixelsPerUnit_(std::min(pixelsPerUnitX, pixelsPerUnitY)) {
  raster_ = painter_.paintEngine() && painter_.paintEngine()->type() == QPaintEngine::Raster;
  painter_.save();
  painter_.scale(pixelsPerUnitX, -pixelsPerUnitY);
  deviceFromLogical_ = painter_.combinedTransform();
  painter_.setRenderHint(QPainter::Antialiasing, false);
  painter_.setRenderHint(QPainter::SmoothPixmapTransform, false);
  painter_.setRenderHint(QPainter::TextAntialiasing, true);
  painter_.setFont(MakeFont());
}

PainterContext::~PainterContext() { painter_.restore(); }

void PainterContext::UsePen() {
  if (painterPenSet_ && painterPen_ == pen_) return;
  painterPen_ = pen_;
  painterPenSet_ = true;
  if (pen_.style == PenStyle::Null) {
    painter_.setPen(Qt::NoPen);
    return;
  }
  QPen pen(ToQColor(pen_.color));
  // Width in logical units; a pen thinner than a device pixel draws one pixel wide.
  const bool hairline = pen_.width <= 0 || pen_.width * pixelsPerUnit_ <= 1.0;
  pen.setWidthF(hairline ? 0.0 : pen_.width);
  pen.setCapStyle(Qt::RoundCap);
  pen.setJoinStyle(Qt::RoundJoin);
  painter_.setPen(pen);
}

void PainterContext::UseBrush() {
  if (painterBrushSet_ && painterBrush_ == brush_) return;
  painterBrush_ = brush_;
  painterBrushSet_ = true;
  painter_.setBrush(brush_.null ? QBrush(Qt::NoBrush) : QBrush(ToQColor(brush_.color)));
}

QFont PainterContext::MakeFont() const {
  QFont font(QString::fromStdString(font_.face));
  const int height = font_.height != 0 ? std::abs(font_.height) : kDefaultTextHeight;
  font.setPixelSize(std::max(height, 1));
  font.setWeight(font_.weight >= 600 ? QFont::Bold : QFont::Normal);
  // The height is that of the character cell (ascent and descent), not of the em
  // square the pixel size sets: shrink the em until the cell has that height.
  const double cell = QFontMetricsF(font).height();
  if (cell > height) font.setPixelSize(std::max(1, static_cast<int>(std::lround(height * height / cell))));
  return font;
}

Pen PainterContext::SelectPen(const Pen& pen) { return std::exchange(pen_, pen); }

Brush PainterContext::SelectBrush(const Brush& brush) { return std::exchange(brush_, brush); }

Font PainterContext::SelectFont(const Font& font) {
  Font previous = std::exchange(font_, font);
  if (!(previous == font_)) painter_.setFont(MakeFont());
  return previous;
}

Pen PainterContext::SelectStockPen(int index) {
  Pen pen;  // 7: the black pen, one pixel wide
  if (index == kNullPen) pen.style = PenStyle::Null;
  return SelectPen(pen);
}

LogicalPoint PainterContext::MoveTo(int x, int y) { return std::exchange(position_, LogicalPoint{x, y}); }

void PainterContext::LineTo(int x, int y) {
  UsePen();
  painter_.drawLine(QPoint(position_.x, position_.y), QPoint(x, y));
  position_ = {x, y};
}

void PainterContext::Polyline(const LogicalPoint* points, int count) {
  if (count < 2) return;
  UsePen();
  const DevicePoints device(points, count);
  painter_.drawPolyline(device.data(), count);
}

void PainterContext::Polygon(const LogicalPoint* points, int count) {
  if (count < 2) return;
  UsePen();
  UseBrush();
  const DevicePoints device(points, count);
  painter_.drawPolygon(device.data(), count, fillMode_ == kWinding ? Qt::WindingFill : Qt::OddEvenFill);
}

int PainterContext::SetPolyFillMode(int mode) { return std::exchange(fillMode_, mode); }

// The same pens, brushes and calls as the cells drawn one by one, without the
// selections around every polygon.
void PainterContext::FillTracedBands(const TracedBands& bands) {
  // A large picture on an image: both halves of the image at once, one per core.
  auto* image = dynamic_cast<QImage*>(painter_.device());
  const QTransform transform = painter_.combinedTransform();
  if (image && !painter_.hasClipping() && image->height() >= 64 && bands.shapes.size() >= 20000 &&
      std::thread::hardware_concurrency() >= 2 && !transform.isRotating() &&
      TallestCut(bands, transform.m22()) < kStripMargin - 2) {
    const int middle = image->height() / 2;
    Strip upper(*image, 0, middle), lower(*image, middle, image->height());
    // Without the memory for the strips, the picture is painted in one pass below.
    if (!upper.image.isNull() && !lower.image.isNull()) {
      uchar* bits = image->bits();
      std::thread worker([&] { PaintStrip(bits, *image, lower, transform, bands); });
      PaintStrip(bits, *image, upper, transform, bands);
      worker.join();
      return;
    }
  }
  const Pen pen = pen_;
  const Brush brush = brush_;
  const int fillMode = fillMode_;
  Pen nullPen;
  nullPen.style = PenStyle::Null;
  for (const TracedBands::Shape& shape : bands.shapes) {
    const LogicalPoint* points = bands.points.data() + shape.first;
    const int count = static_cast<int>(shape.count);
    if (shape.kind == TracedBands::Kind::Line) {
      pen_ = Pen{};
      Polyline(points, count);
      continue;
    }
    pen_ = nullPen;
    brush_ = Brush{false, shape.color};
    fillMode_ = kAlternate;
    Polygon(points, count);
  }
  pen_ = pen;
  brush_ = brush;
  fillMode_ = fillMode;
}

void PainterContext::Rectangle(const LogicalRect& r) {
  UsePen();
  UseBrush();
  painter_.drawRect(Normalized(r));
}

void PainterContext::Ellipse(const LogicalRect& r) {
  UsePen();
  UseBrush();
  painter_.drawEllipse(Normalized(r));
}

void PainterContext::FillRect(const LogicalRect& r, const Brush* brush) {
  if (!brush || brush->null) return;
  painter_.fillRect(Normalized(r), ToQColor(brush->color));
}

void PainterContext::TextOut(int x, int y, const std::string& text) {
  if (text.empty()) return;
  const QString string = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
  painter_.save();
  painter_.translate(x, y);
  painter_.scale(1, -1);  // text reads upright
  // Escapement turns the text counter-clockwise; in this downward frame a positive
  // rotation turns it clockwise.
  if (font_.escapement != 0) painter_.rotate(-font_.escapement / 10.0);
  const QFontMetrics metrics(painter_.font());
  if (backgroundMode_ == kOpaque)
    painter_.fillRect(QRect(0, 0, metrics.horizontalAdvance(string), metrics.height()), Qt::white);
  painter_.setPen(ToQColor(textColor_));
  painter_.drawText(QPoint(0, metrics.ascent()), string);
  painter_.restore();
}

Color PainterContext::SetTextColor(Color color) { return std::exchange(textColor_, color); }

int PainterContext::SetBkMode(int mode) { return std::exchange(backgroundMode_, mode); }

void PainterContext::StretchPixelMap(const LogicalRect& d, const PixelMap& source) {
  if (source.Empty() || d.right == d.left || d.top == d.bottom) return;
  const QImage image = ToQImage(source);
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
