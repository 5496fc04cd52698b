#include "map_view.h"

#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>

#include "commands/command_table.h"
#include "commands/key_commands.h"
#include "painter_context.h"
#include "view/document.h"
#include "view/view_paint.h"

namespace gridora {

MapView::MapView(Document& doc, CommandContext& context, QWidget* parent)
    : QAbstractScrollArea(parent), doc_(doc), context_(context) {
  viewport()->setBackgroundRole(QPalette::Base);
  viewport()->setAutoFillBackground(true);
  setFocusPolicy(Qt::StrongFocus);
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

}  // namespace gridora
