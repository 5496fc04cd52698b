// What a dialog field shows reads back as the same value, so OK without an edit (in the
// window or on a batch line without the field's key) changes nothing.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <limits>

#include "platform/dialog_data.h"
#include "platform/number_text.h"

namespace gridora {
namespace {

TEST(RoundTripText, DialogFieldsShowTextThatReadsBackAsTheSameValue) {
  struct Case {
    double value;
    const char* doubleText;  // what a double field shows
  } cases[] = {
      {0.1, "0.1"},
      {1e-7, "1e-07"},
      {4100033.1, "4100033.1"},
      {353238.3, "353238.3"},
      {-0.0, "-0"},
      {1e15, "1e+15"},
      {1e7, "1e+07"},
      {100, "100"},
      {2.5, "2.5"},
      {222.038223, "222.038223"},
      {1.0 / 3.0, "0.3333333333333333"},
      {0.1 + 0.2, "0.30000000000000004"},
      {-353238.31, "-353238.31"},
      {5e-300, "5e-300"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.doubleText);
    double member = c.value;
    DialogField field;
    field.kind = FieldKind::Double;
    field.member = &member;
    const std::string text = FormatFieldValue(field);
    EXPECT_EQ(text, c.doubleText);
    member = 12345.0;
    ASSERT_FALSE(ParseFieldValue(field, text));
    EXPECT_EQ(std::bit_cast<std::uint64_t>(member), std::bit_cast<std::uint64_t>(c.value));

    // A float field does the same for its own value.
    float floatMember = static_cast<float>(c.value);
    const float expected = floatMember;
    field.kind = FieldKind::Float;
    field.member = &floatMember;
    const std::string floatText = FormatFieldValue(field);
    floatMember = 12345.0f;
    ASSERT_FALSE(ParseFieldValue(field, floatText)) << floatText;
    EXPECT_EQ(std::bit_cast<std::uint32_t>(floatMember), std::bit_cast<std::uint32_t>(expected)) << floatText;
  }
  // The float fields' texts of values that six digits hold are as they always were.
  EXPECT_EQ(FormatRoundTrip(0.1f), "0.1");
  EXPECT_EQ(FormatRoundTrip(10000000.0f), "1e+07");
  EXPECT_EQ(FormatRoundTrip(4100033.1f), "4100033");
  EXPECT_EQ(FormatRoundTrip(353238.3f), "353238.3");  // reads back as 353238.3125
  EXPECT_EQ(FormatRoundTrip(std::numeric_limits<double>::infinity()), "inf");
}

}  // namespace
}  // namespace gridora
