#include "message_box.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QMessageBox>
#include <QSpacerItem>

namespace gridora {
void FitTitle(QMessageBox& box) {
  // The title bar's font is the window manager's; a bold application font is a fair
  // stand-in.
  QFont font = QApplication::font();
  font.setBold(true);
  const int width = QFontMetrics(font).horizontalAdvance(box.windowTitle()) + kTitleBarExtras;
  // QMessageBox sizes itself from its layout when shown, so the width goes in as a
  // spacer across the bottom of its grid.
  if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Minimum), grid->rowCount(), 0, 1,
                  grid->columnCount());
}

void ShowInformation(QWidget* parent, const QString& title, const QString& text) {
  QMessageBox box(QMessageBox::Information, title, text, QMessageBox::Ok, parent);
  FitTitle(box);
  box.exec();
}

bool AskYesNo(QWidget* parent, const QString& title, const QString& text) {
  QMessageBox box(QMessageBox::Question, title, text, QMessageBox::Yes | QMessageBox::No, parent);
  FitTitle(box);
  return box.exec() == QMessageBox::Yes;
}

}  // namespace gridora
