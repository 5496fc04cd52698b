#include <gtest/gtest.h>

#include <limits>

#include "dialogs/dialogs.h"
#include "support/test_support.h"

namespace gridora {
namespace {

TEST(DialogExchange, RefusesTextThatDoesNotConvert) {
  AxisDialog axis;
  EXPECT_FALSE(test::SetField(axis, "xstart", "abc"));
  DialogField field = axis.Fields()[0];
  EXPECT_EQ(ParseFieldValue(field, "abc").value_or(""), "Enter a number.");
  EXPECT_EQ(axis.xStart, 0.0f);

  CsvImportDialog option;
  DialogField skip = option.Fields()[1];
  EXPECT_EQ(ParseFieldValue(skip, "1.5").value_or(""), "Enter an integer.");
}

TEST(DialogExchange, FloatShowsSixDigitsDoubleFifteen) {
  FloatDialog input;
  input.value = 10000000.0f;
  EXPECT_EQ(FormatFieldValue(input.Fields()[1]), "1e+07");
  GridOriginDialog origin;
  origin.xMinimum = 222.038223;
  EXPECT_EQ(FormatFieldValue(origin.Fields()[0]), "222.038223");
}

TEST(ModelSize, RefreshComputesNodeCounts) {
  struct Case {
    float w, dx;
    int nx;
  } cases[] = {
      {10, 3, 5}, {10, 2.5f, 5}, {10, 1, 11}, {0.3f, 0.1f, 4}, {1e30f, 1e-30f, std::numeric_limits<int>::max()}};
  for (const auto& c : cases) {
    GridSpacingDialog dialog;
    dialog.W = c.w;
    dialog.H = c.w;
    dialog.dx = c.dx;
    dialog.dy = c.dx;
    dialog.OnButton(GridSpacingDialog::kRefreshButton);
    EXPECT_EQ(dialog.nx, c.nx) << c.w << " / " << c.dx;
    EXPECT_EQ(dialog.ny, c.nx);
  }
}

TEST(ModelSize, ModeOneLocksCountsAndZeroSpacingKeepsThem) {
  GridSpacingDialog dialog;
  dialog.mode = 1;
  dialog.nx = 7;
  dialog.dx = 0;
  dialog.Refresh();
  EXPECT_EQ(dialog.nx, 7);
  for (const DialogField& field : dialog.Fields()) {
    const bool editable = field.controlId == 1007 || field.controlId == 1008;
    EXPECT_EQ(!field.readOnly, editable) << field.controlId;
    EXPECT_EQ(field.hidden, field.controlId == 1006 || field.controlId == 1009);
  }
}

}  // namespace
}  // namespace gridora
