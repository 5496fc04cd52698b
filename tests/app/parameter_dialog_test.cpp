#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "dialogs/dialogs.h"
#include "parameter_dialog.h"

namespace gridora {
namespace {

// Closes the next message box as soon as it shows, remembering its text.
QString CloseNextMessageBox() {
  static QString text;
  text.clear();
  QTimer::singleShot(0, [] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      text = box->text();
      box->accept();
    }
  });
  return {};
}

QLineEdit* EditAt(ParameterDialog& dialog, int index) { return dialog.findChildren<QLineEdit*>().at(index); }

TEST(ParameterDialog, RefusedNumberKeepsTheDialogOpen) {
  ContourSetupDialog data;
  ParameterDialog dialog(data, nullptr);
  dialog.show();
  EditAt(dialog, 0)->setText("abc");
  CloseNextMessageBox();
  dialog.accept();
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_NE(dialog.result(), QDialog::Accepted);
  EditAt(dialog, 0)->setText("2.5");
  EditAt(dialog, 1)->setText("10");
  EditAt(dialog, 2)->setText("1");
  dialog.accept();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(data.minimum, 2.5f);
}

TEST(ParameterDialog, ValuesRefusedAsAWholeKeepTheDialogOpen) {
  ContourSetupDialog data;
  ParameterDialog dialog(data, nullptr);
  dialog.show();
  EditAt(dialog, 0)->setText("0");
  EditAt(dialog, 1)->setText("10");
  EditAt(dialog, 2)->setText("0");
  for (int attempt = 0; attempt < 2; ++attempt) {  // the same values twice: still open
    CloseNextMessageBox();
    dialog.accept();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_NE(dialog.result(), QDialog::Accepted);
  }
  EditAt(dialog, 2)->setText("2");
  dialog.accept();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(data.interval, 2.0f);
}

TEST(ParameterDialog, RefreshRecomputesNodeCountsAndLocksThem) {
  GridSpacingDialog data;
  data.mode = 1;
  data.W = 10;
  data.H = 10;
  data.dx = 1;
  data.dy = 1;
  ParameterDialog dialog(data, nullptr);
  dialog.show();
  QLineEdit* nx = EditAt(dialog, 0);
  EXPECT_TRUE(nx->isReadOnly());
  QLineEdit* dx = EditAt(dialog, 3);
  EXPECT_FALSE(dx->isReadOnly());
  dx->setText("3");
  QPushButton* refresh = nullptr;
  for (auto* button : dialog.findChildren<QPushButton*>())
    if (button->text() == "Reflesh") refresh = button;
  ASSERT_TRUE(refresh);
  refresh->click();
  EXPECT_EQ(nx->text(), "5");
}

}  // namespace
}  // namespace gridora
