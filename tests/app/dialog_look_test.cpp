// What a user sees of a parameter dialog: whole numbers, labels for every value,
// read-only values that look it and are passed by, titles that fit.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>

#include "dialogs/dialogs.h"
#include "message_box.h"
#include "parameter_dialog.h"

namespace gridora {
namespace {

QLineEdit* EditAt(ParameterDialog& dialog, int index) { return dialog.findChildren<QLineEdit*>().at(index); }

// The label a form shows beside the field, or beside the row that holds it with its
// unit (empty when none).
QString LabelOf(QDialog& dialog, QWidget* field) {
  for (QFormLayout* form : dialog.findChildren<QFormLayout*>())
    for (QWidget* row : {field, field->parentWidget()})
      if (auto* label = qobject_cast<QLabel*>(form->labelForField(row))) return label->text();
  return {};
}

TEST(DialogLook, LongestNumbersShowWhole) {
  GridOriginDialog origin;
  origin.xMinimum = -2.64123456789012;
  origin.yMinimum = -1.23456789012345e+100;
  origin.maxData = -1.23457e+38f;
  ParameterDialog dialog(origin, nullptr);
  dialog.show();
  QApplication::processEvents();
  for (QLineEdit* edit : dialog.findChildren<QLineEdit*>()) {
    const int textWidth = edit->fontMetrics().horizontalAdvance(edit->text());
    EXPECT_GT(edit->width(), textWidth) << edit->text().toStdString();
  }
  EXPECT_EQ(EditAt(dialog, 0)->text(), "-2.64123456789012");
}

TEST(DialogLook, FieldsWithoutLabelsAreNamed) {
  GridOriginDialog origin;
  ParameterDialog originDialog(origin, nullptr);
  EXPECT_EQ(LabelOf(originDialog, EditAt(originDialog, 3)), "X max. =");
  EXPECT_EQ(LabelOf(originDialog, EditAt(originDialog, 4)), "Y max. =");
  AxisDialog axis;
  ParameterDialog axisDialog(axis, nullptr);
  EXPECT_EQ(LabelOf(axisDialog, EditAt(axisDialog, 3)), "Title");  // the X group: start, end, interval, title
  // Fields that have labels keep them.
  EXPECT_EQ(LabelOf(originDialog, EditAt(originDialog, 0)), "X=");
}

TEST(DialogLook, ReadOnlyFieldsLookItAndNeverTakeTheFirstFocus) {
  GridSizeDialog size;  // NX and NY read-only, then DX
  ParameterDialog dialog(size, nullptr);
  dialog.show();
  QApplication::setActiveWindow(&dialog);
  QApplication::processEvents();
  QLineEdit* nx = EditAt(dialog, 0);
  QLineEdit* dx = EditAt(dialog, 2);
  EXPECT_TRUE(nx->isReadOnly());
  EXPECT_NE(nx->palette().color(QPalette::Base), dx->palette().color(QPalette::Base));
  EXPECT_EQ(dialog.focusWidget(), dx);
  EXPECT_FALSE(nx->focusPolicy() & Qt::TabFocus);
}

TEST(DialogLook, TitlesFitDialogsAndMessageBoxes) {
  QFont bold = QApplication::font();
  bold.setBold(true);
  const int titleWidth = QFontMetrics(bold).horizontalAdvance("Origin for interpolation");

  GridOriginDialog origin;
  ParameterDialog dialog(origin, nullptr);
  dialog.show();
  QApplication::processEvents();
  EXPECT_GT(dialog.width(), titleWidth + 100);

  QMessageBox box(QMessageBox::Information, "Origin for interpolation", "Enter a number.", QMessageBox::Ok);
  FitTitle(box);
  QTimer::singleShot(0, &box, [&box] { box.accept(); });
  box.exec();
  EXPECT_GT(box.width(), titleWidth + 100);
}

}  // namespace
}  // namespace gridora
