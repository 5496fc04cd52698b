#include "about_dialog.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "app_icons.h"

namespace gridora {

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
  setWindowTitle("About Gridora");
  auto* layout = new QVBoxLayout(this);
  auto* row = new QHBoxLayout;
  auto* icon = new QLabel(this);
  icon->setPixmap(AppIcon().pixmap(32, 32));
  row->addWidget(icon, 0, Qt::AlignTop);
  auto* texts = new QVBoxLayout;
  texts->addWidget(new QLabel("Gridora Version 1.0.1.3", this));
  texts->addWidget(new QLabel("May. 15, 2024", this));
  row->addLayout(texts);
  layout->addLayout(row);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  layout->addWidget(buttons);
}

}  // namespace gridora
