#include "dialogs/field_tips.h"

#include <gtest/gtest.h>

#include "platform/dialog_fields.h"

namespace gridora {
namespace {

TEST(FieldTip, KnownKeyElseLabelKindAndUnit) {
  float number = 0.0f;
  int whole = 0;
  std::string text;
  struct Case {
    DialogField field;
    std::string tip;
  } cases[] = {
      {MakeField(1, "Title", FieldKind::Text, &text, "title"),
       "Title printed above the map; empty: the document's name. (Script key: title)"},
      {MakeField(2, "Spacing", FieldKind::Float, &number, "dx"),
       "Spacing of the grid nodes along X, in map units. (Script key: dx)"},
      {InGroup(WithUnit(MakeField(3, "Range", FieldKind::Float, &number, "range"), "m"), "Variogram"),
       "Variogram: Range. A number, in m. (Script key: range)"},
      {MakeField(4, "Iterations", FieldKind::Int, &whole, ""), "Iterations. A whole number."},
      {WithCaption(MakeField(5, "", FieldKind::Check, &whole, "log"), "Logarithm"),
       "Logarithm. On or off. (Script key: log)"},
  };
  for (const Case& c : cases) EXPECT_EQ(FieldTip(c.field), c.tip) << c.field.controlId;
}

}  // namespace
}  // namespace gridora
