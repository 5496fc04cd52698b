#include "app_icons.h"

#include <QPainter>
#include <QPixmap>

// The resource file is part of a static library: nothing would pull its object in.
static void LoadIconResources() { Q_INIT_RESOURCE(icons); }

namespace gridora {

QIcon AppIcon() {
  // A small contour map: coloured bands with a black frame.
  QPixmap pixmap(32, 32);
  pixmap.fill(Qt::white);
  QPainter painter(&pixmap);
  const QColor bands[] = {QColor(0, 0, 255), QColor(0, 200, 255), QColor(0, 200, 0), QColor(255, 220, 0),
                          QColor(255, 0, 0)};
  for (int i = 0; i < 5; ++i) {
    painter.setBrush(bands[i]);
    painter.setPen(Qt::NoPen);
    const int inset = 2 + i * 3;
    painter.drawEllipse(QRect(inset, inset, 28 - 2 * inset + 2, 28 - 2 * inset + 2));
  }
  painter.setPen(Qt::black);
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(0, 0, 31, 31);
  return QIcon(pixmap);
}

QIcon ToolbarIcon(const std::string& name) {
  static const bool loaded = (LoadIconResources(), true);
  (void)loaded;
  return QIcon(":/icons/" + QString::fromStdString(name) + ".svg");
}

}  // namespace gridora
