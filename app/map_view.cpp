#include "map_view.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRubberBand>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "commands/command_table.h"
#include "commands/key_commands.h"
#include "painter_context.h"
#include "view/document.h"
#include "view/view_paint.h"
#include "view_navigation.h"

namespace gridora {

MapView::MapView(Document& doc, CommandContext& context, QWidget* parent)
    : QAbstractScrollArea(parent), doc_(doc), context_(context) {
  viewport()->setBackgroundRole(QPalette::Base);
  viewport()->setAutoFillBackground(true);
  setFocusPolicy(Qt::StrongFocus);
  viewport()->setMouseTracking(true);
  UpdateScrollRange();
}

double MapView::PixelsPerUnitX() const { return viewport()->logicalDpiX() / 254.0; }
double MapView::PixelsPerUnitY() const { return viewport()->logicalDpiY() / 254.0; }

void MapView::UpdateScrollRange() {
  const int width = static_cast<int>(doc_.scrollSizeX * PixelsPerUnitX());
  const int height = static_cast<int>(doc_.scrollSizeY * PixelsPerUnitY());
  const QSize page = viewport()->size();
  horizontalScrollBar()->setRange(0, std::max(0, width - page.width()));
  verticalScrollBar()->setRange(0, std::max(0, height - page.height()));
  horizontalScrollBar()->setPageStep(page.width());
  verticalScrollBar()->setPageStep(page.height());
  horizontalScrollBar()->setSingleStep(std::max(1, page.width() / 10));
  verticalScrollBar()->setSingleStep(std::max(1, page.height() / 10));
}

void MapView::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollRange();
}

void MapView::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  layout_ = cache_.Paint(painter, doc_, viewport()->size(),
                         QPoint(horizontalScrollBar()->value(), verticalScrollBar()->value()), PixelsPerUnitX(),
                         PixelsPerUnitY());
}

void MapView::InvalidateDrawing() {
  cache_.Invalidate();
  viewport()->update();
}

void MapView::keyPressEvent(QKeyEvent* event) {
  // Up and Down change both map scales; every other key is ignored and not passed on.
  ViewKey key = ViewKey::Other;
  if (event->key() == Qt::Key_Up) key = ViewKey::Up;
  if (event->key() == Qt::Key_Down) key = ViewKey::Down;
  OnViewKeyDown(context_, key);
  event->accept();
}

namespace {

// Smallest drag, in pixels, taken as a rectangle to zoom to (a click is no zoom).
constexpr int kSmallestDrag = 5;
// Zoom of one wheel notch.
constexpr double kWheelStep = 1.25;
constexpr int kDefaultScrollSize = 16000;
// Room kept right of and below the zoomed map for the legend and the axis texts.
constexpr double kRoomBeside = 6000, kRoomBelow = 3000;

}  // namespace

bool MapView::MapShown(ViewFrame& frame, ViewPlace& place) const {
  if (doc_.chartMode != ChartMode::None || !doc_.grid) return false;
  const GridModel& g = *doc_.grid;
  const bool gridShown = g.NX > 1 && g.NY > 1;
  const bool pointsShown = doc_.primaryData && doc_.primaryData->count > 0;
  if (!gridShown && !pointsShown) return false;
  if (!(g.scaleX > 0) || !(g.scaleY > 0) || !(g.xEnd > g.xStart) || !(g.yEnd > g.yStart)) return false;
  frame.marginLeft = doc_.marginLeft;
  frame.marginTop = doc_.marginTop;
  frame.xStart = g.xStart;
  frame.yEnd = g.yEnd;
  frame.pixelsPerUnitX = PixelsPerUnitX();
  frame.pixelsPerUnitY = PixelsPerUnitY();
  place.scaleX = g.scaleX;
  place.scaleY = g.scaleY;
  place.scrollX = horizontalScrollBar()->value();
  place.scrollY = verticalScrollBar()->value();
  return true;
}

void MapView::Apply(const ViewPlace& place) {
  GridModel& g = *doc_.grid;
  g.scaleX = static_cast<float>(place.scaleX);
  g.scaleY = static_cast<float>(place.scaleY);
  // The drawing keeps this scale rather than fitting its own.
  doc_.scaleFitted = 1;
  const double width = doc_.marginLeft + (static_cast<double>(g.xEnd) - g.xStart) * place.scaleX + kRoomBeside;
  const double height = doc_.marginTop + (static_cast<double>(g.yEnd) - g.yStart) * place.scaleY + kRoomBelow;
  doc_.scrollSizeX = static_cast<int>(std::clamp(width, double{kDefaultScrollSize}, 4.0e8));
  doc_.scrollSizeY = static_cast<int>(std::clamp(height, double{kDefaultScrollSize}, 4.0e8));
  UpdateScrollRange();
  horizontalScrollBar()->setValue(static_cast<int>(std::lround(std::clamp(place.scrollX, 0.0, 2.0e9))));
  verticalScrollBar()->setValue(static_cast<int>(std::lround(std::clamp(place.scrollY, 0.0, 2.0e9))));
  InvalidateDrawing();
}

void MapView::FitToWindow() {
  // The map, from a chart too: the whole of it is what the user asks to see.
  doc_.chartMode = ChartMode::None;
  doc_.scaleFitted = 0;
  doc_.scaleFromFile = 0;
  doc_.scrollSizeX = kDefaultScrollSize;
  doc_.scrollSizeY = kDefaultScrollSize;
  UpdateScrollRange();
  horizontalScrollBar()->setValue(0);
  verticalScrollBar()->setValue(0);
  InvalidateDrawing();
}

void MapView::mousePressEvent(QMouseEvent* event) {
  ViewFrame frame;
  ViewPlace place;
  if (!MapShown(frame, place)) return QAbstractScrollArea::mousePressEvent(event);
  dragStart_ = dragLast_ = event->position().toPoint();
  if (event->button() == Qt::LeftButton) {
    drag_ = Drag::Zoom;
    if (!band_) band_ = new QRubberBand(QRubberBand::Rectangle, viewport());
    band_->setGeometry(QRect(dragStart_, QSize()));
    band_->show();
  } else if (event->button() == Qt::MiddleButton) {
    drag_ = Drag::Pan;
    viewport()->setCursor(Qt::ClosedHandCursor);
  }
  event->accept();
}

void MapView::mouseMoveEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  if (drag_ == Drag::Zoom && band_) band_->setGeometry(QRect(dragStart_, at).normalized());
  if (drag_ == Drag::Pan) {
    const QPoint step = at - dragLast_;
    horizontalScrollBar()->setValue(horizontalScrollBar()->value() - step.x());
    verticalScrollBar()->setValue(verticalScrollBar()->value() - step.y());
  }
  dragLast_ = at;
  ShowReadout(at);
  event->accept();
}

void MapView::mouseReleaseEvent(QMouseEvent* event) {
  const Drag drag = drag_;
  drag_ = Drag::None;
  viewport()->unsetCursor();
  if (band_) band_->hide();
  ViewFrame frame;
  ViewPlace place;
  if (drag == Drag::Zoom && MapShown(frame, place)) {
    const QRect rectangle = QRect(dragStart_, event->position().toPoint()).normalized();
    if (rectangle.width() >= kSmallestDrag && rectangle.height() >= kSmallestDrag) {
      const GridModel& g = *doc_.grid;
      const double wanted = std::min(viewport()->width() / static_cast<double>(rectangle.width()),
                                     viewport()->height() / static_cast<double>(rectangle.height()));
      const double factor = LimitedFactor(place, g.xEnd - g.xStart, g.yEnd - g.yStart, wanted);
      const QRectF zoomed =
          factor == wanted
              ? QRectF(rectangle)
              : QRectF(QPointF(rectangle.center()) - QPointF(viewport()->width(), viewport()->height()) / (2 * factor),
                       QSizeF(viewport()->size()) / factor);
      Apply(ZoomToRectangle(frame, place, zoomed, QSizeF(viewport()->size())));
    }
  }
  event->accept();
}

void MapView::wheelEvent(QWheelEvent* event) {
  ViewFrame frame;
  ViewPlace place;
  const int delta = event->angleDelta().y();
  if (delta == 0 || !MapShown(frame, place)) return QAbstractScrollArea::wheelEvent(event);
  const GridModel& g = *doc_.grid;
  const double factor = LimitedFactor(place, g.xEnd - g.xStart, g.yEnd - g.yStart, std::pow(kWheelStep, delta / 120.0));
  Apply(ZoomAbout(frame, place, event->position(), factor));
  ShowReadout(event->position().toPoint());
  event->accept();
}

void MapView::ShowReadout(const QPoint& pixel) {
  if (!readout) return;
  ViewFrame frame;
  ViewPlace place;
  if (!MapShown(frame, place)) return readout(QString());
  const QPointF map = MapAt(frame, place, pixel);
  // As many decimals as tell one pixel from the next.
  const double unitsPerPixel = 1.0 / (place.scaleX * frame.pixelsPerUnitX);
  const int decimals = std::clamp(static_cast<int>(std::ceil(-std::log10(unitsPerPixel))), 0, 9);
  QString text = QString("x = %1  y = %2").arg(map.x(), 0, 'f', decimals).arg(map.y(), 0, 'f', decimals);
  const GridModel& g = *doc_.grid;
  if (g.NX > 1 && g.NY > 1 && g.HasValues() && g.DX > 0 && g.DY > 0) {
    const double fx = (map.x() - g.x0) / g.DX, fy = (map.y() - g.y0) / g.DY;
    const long ix = std::lround(fx), iy = std::lround(fy);
    if (ix >= 0 && iy >= 0 && ix < g.NX && iy < g.NY) {
      const int x = static_cast<int>(ix), y = static_cast<int>(iy);
      const std::size_t node = static_cast<std::size_t>(x) * g.NY + y;
      const bool empty = node < g.emptyNodes.size() && g.emptyNodes[node] != 0;
      const bool far = g.hideFarNodes != 0 && node < g.dataDistance.size() && g.Distance(x, y) > g.maxDistance;
      if (!empty && !far) {
        text += QString("  value = %1").arg(g.Value(0, x, y), 0, 'g', 7);
        if (g.layerCount > 1) text += QString("  standard error = %1").arg(g.Value(1, x, y), 0, 'g', 7);
      }
    }
  }
  readout(text);
}

}  // namespace gridora
