#include "app_icons.h"

#include <QFont>
#include <QPainter>
#include <QPixmap>
#include <QStyle>

#include "commands/command_ids.h"

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

QIcon ToolbarIcon(int commandId, const std::string& glyph, QStyle* style) {
  switch (commandId) {
    case ID_FILE_OPEN:
      return style->standardIcon(QStyle::SP_DialogOpenButton);
    case ID_FILE_SAVE:
      return style->standardIcon(QStyle::SP_DialogSaveButton);
    case ID_APP_ABOUT:
      return style->standardIcon(QStyle::SP_MessageBoxQuestion);
    default:
      break;
  }
  QPixmap pixmap(17, 17);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  QFont font("Arial");
  font.setPixelSize(glyph.size() > 2 ? 7 : 9);
  font.setBold(true);
  painter.setFont(font);
  painter.setPen(Qt::black);
  const std::string text = glyph.empty() ? std::string(commandId == ID_FILE_PRINT ? "Pr"
                                                       : commandId == ID_EDIT_CUT ? "Ct"
                                                       : commandId == ID_EDIT_PASTE ? "Pa"
                                                                                     : "Cp")
                                         : glyph;
  painter.drawText(QRect(0, 0, 17, 17), Qt::AlignCenter, QString::fromStdString(text));
  return QIcon(pixmap);
}

}  // namespace gridora
