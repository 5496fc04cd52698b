#include <gtest/gtest.h>

#include "platform/ini_file_profile.h"
#include "platform/number_text.h"
#include "platform/profile.h"
#include "support/test_support.h"

namespace gridora {
namespace {

TEST(ProfileFloat, WritesPercentFTextAndKeepsValueOnBadText) {
  MemoryProfile profile;
  WriteProfileFloat(profile, "ScaleX", 2.5f);
  EXPECT_EQ(profile.Raw("General", "ScaleX"), "2.500000");

  profile.WriteText("General", "ScaleZ", "abc");
  float value = 7.0f;
  EXPECT_FALSE(ReadProfileFloat(profile, "ScaleZ", value));
  EXPECT_EQ(value, 7.0f);

  float missing = 1.25f;  // a missing key keeps the default
  EXPECT_TRUE(ReadProfileFloat(profile, "Nothing", missing));
  EXPECT_EQ(missing, 1.25f);
}

TEST(ProfileFloat, ValuesThatAreNotFiniteCountAsNotSet) {
  for (const char* text : {"nan", "-nan", "inf", "-inf", "infinity", "1e39", "-3.5e38"}) {
    MemoryProfile profile;
    profile.WriteText("General", "CellSizeXOrg", text);
    float spacing = 10.0f;
    EXPECT_FALSE(ReadProfileFloat(profile, "CellSizeXOrg", spacing)) << text;
    EXPECT_EQ(spacing, 10.0f) << text;
  }
  MemoryProfile profile;
  profile.WriteText("General", "CellSizeXOrg", "3e38");  // large, but a float
  float spacing = 10.0f;
  EXPECT_TRUE(ReadProfileFloat(profile, "CellSizeXOrg", spacing));
  EXPECT_EQ(spacing, 3e38f);
}

TEST(ProfileSection, NamesAreNotCaseSensitive) {
  MemoryProfile profile;
  profile.WriteInt("general", "WindowX", 12);
  EXPECT_EQ(ReadProfileInt(profile, "WindowX", 0), 12);
}

TEST(IniFileProfile, RoundTripsThroughTheFileAndSurvivesDamage) {
  test::TempFolder folder;
  const auto path = folder / "profile.ini";
  test::WriteFileBytes(path, "garbage without equals\n[General]\nWindowX=5\nbroken\nScaleX=\"1.5\"\n");
  {
    IniFileProfile profile(path);
    EXPECT_EQ(ReadProfileInt(profile, "WindowX", 0), 5);
    float scale = 1.0f;
    ReadProfileFloat(profile, "ScaleX", scale);
    EXPECT_EQ(scale, 1.5f);
    EXPECT_TRUE(WriteProfileFloat(profile, "CellSizeXOrg", 2.5f));
  }
  IniFileProfile reread(path);
  EXPECT_EQ(reread.Raw("General", "CellSizeXOrg"), "2.500000");
  EXPECT_NE(test::ReadFileBytes(path).find("[General]"), std::string::npos);
}

TEST(IniFileProfile, UnwritableFileIsReportedNotFatal) {
  IniFileProfile profile("/nonexistent-folder/gridora.ini");
  EXPECT_FALSE(WriteProfileInt(profile, "WindowX", 1));
  EXPECT_EQ(ReadProfileInt(profile, "WindowX", 0), 1);  // kept for this run
}

TEST(NumberText, ParsesWholeTextOnly) {
  struct Case {
    const char* text;
    bool ok;
    double value;
  } cases[] = {{"1.5", true, 1.5}, {"  -2e3 ", true, -2000}, {"+4", true, 4},
               {"abc", false, 0},  {"1.5x", false, 0},       {"", false, 0}};
  for (const auto& c : cases) {
    double value = 0;
    EXPECT_EQ(ParseDouble(c.text, value), c.ok) << c.text;
    if (c.ok) {
      EXPECT_DOUBLE_EQ(value, c.value) << c.text;
    }
  }
}

TEST(NumberText, ScanTakesTheLongestNumberPrefix) {
  std::string text = "  12.5abc 3";
  std::size_t pos = 0;
  double value = 0;
  ASSERT_TRUE(ScanDouble(text, pos, value));
  EXPECT_EQ(value, 12.5);
  EXPECT_EQ(text.substr(pos), "abc 3");
  EXPECT_FALSE(ScanDouble(text, pos, value));
}

TEST(NumberText, SignificantDigitsAsDialogsShowThem) {
  EXPECT_EQ(FormatSignificant(10000000.0, 6), "1e+07");
  EXPECT_EQ(FormatSignificant(static_cast<double>(222.038223f), 6), "222.038");
}

}  // namespace
}  // namespace gridora
