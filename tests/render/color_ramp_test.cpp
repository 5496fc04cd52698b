#include "render/color_ramp.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>

#include "render/color_scale.h"

namespace gridora {
namespace {

// The published colours, as their authors list them (viridis and cividis in hex, the
// terrain stops and the greys as fractions of 255), one channel in 255 of rounding.
TEST(ColorRamp, EndsAndMidpointsMatchThePublishedColours) {
  struct Case {
    ColorRamp ramp;
    double t;
    int red, green, blue;
  } cases[] = {
      {ColorRamp::Viridis, 0.0, 0x44, 0x01, 0x54},
      {ColorRamp::Viridis, 0.5, 0x21, 0x91, 0x8c},
      {ColorRamp::Viridis, 1.0, 0xfd, 0xe7, 0x25},
      {ColorRamp::Cividis, 0.0, 0x00, 0x22, 0x4e},
      {ColorRamp::Cividis, 0.5, 0x7c, 0x7b, 0x78},
      {ColorRamp::Cividis, 1.0, 0xfe, 0xe8, 0x38},
      {ColorRamp::Terrain, 0.0, 51, 51, 153},
      {ColorRamp::Terrain, 0.25, 0, 204, 102},
      {ColorRamp::Terrain, 0.5, 255, 255, 153},
      {ColorRamp::Terrain, 1.0, 255, 255, 255},
      {ColorRamp::Greys, 0.0, 0, 0, 0},
      {ColorRamp::Greys, 0.5, 128, 128, 128},
      {ColorRamp::Greys, 1.0, 255, 255, 255},
      {ColorRamp::Rainbow, 0.0, 255, 0, 255},
      {ColorRamp::Rainbow, 1.0, 0, 0, 255},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << RampName(c.ramp) << " at " << c.t);
    const Color got = RampColor(c.ramp, c.t);
    EXPECT_LE(std::abs(RedOf(got) - c.red), 1);
    EXPECT_LE(std::abs(GreenOf(got) - c.green), 1);
    EXPECT_LE(std::abs(BlueOf(got) - c.blue), 1);
  }
}

TEST(ColorRamp, TakesOutOfRangeAndNanPositionsAsTheEnds) {
  for (ColorRamp ramp :
       {ColorRamp::Rainbow, ColorRamp::Viridis, ColorRamp::Cividis, ColorRamp::Terrain, ColorRamp::Greys}) {
    SCOPED_TRACE(RampName(ramp));
    EXPECT_EQ(RampColor(ramp, -3.0), RampColor(ramp, 0.0));
    EXPECT_EQ(RampColor(ramp, 7.0), RampColor(ramp, 1.0));
    EXPECT_EQ(RampColor(ramp, std::numeric_limits<double>::quiet_NaN()), RampColor(ramp, 0.0));
  }
}

// Perceptually uniform ramps grow in lightness from end to end; the sum of the
// channels stands in for it well enough to catch a table read backwards or out of step.
TEST(ColorRamp, UniformRampsGetLighterAlongTheRamp) {
  for (ColorRamp ramp : {ColorRamp::Viridis, ColorRamp::Cividis, ColorRamp::Greys}) {
    SCOPED_TRACE(RampName(ramp));
    int previous = -1;
    for (int i = 0; i <= 20; ++i) {
      const Color c = RampColor(ramp, i / 20.0);
      const int light = 2 * RedOf(c) + 5 * GreenOf(c) + BlueOf(c);
      EXPECT_GT(light, previous) << i;
      previous = light;
    }
  }
}

TEST(ColorRamp, NamesReadBackAndUnknownWordsAreRefused) {
  for (const std::string& name : RampNames()) {
    const auto ramp = ParseRampName(name);
    ASSERT_TRUE(ramp) << name;
    EXPECT_EQ(RampName(*ramp), name);
  }
  for (const char* word : {"", "Viridis", "rainbow ", "jet"}) EXPECT_FALSE(ParseRampName(word)) << word;
}

// The bands values fall in (0 to levelCount - 2) run over the whole ramp; reversing the
// ramp or View > Color target turns it end for end, both together cancel.
TEST(ColorScaleRamp, BandsSpanTheRampAndReverse) {
  struct Case {
    bool reversed, rampReversed;
    double lowT, highT;
  } cases[] = {{false, false, 0.0, 1.0}, {true, false, 1.0, 0.0}, {false, true, 1.0, 0.0}, {true, true, 0.0, 1.0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.reversed << c.rampReversed);
    ColorScale scale;
    scale.ramp = ColorRamp::Viridis;
    scale.rampReversed = c.rampReversed;
    scale.SetupDefault(0.0f, 10.0f, 11, c.reversed);
    EXPECT_EQ(scale.LookupColor(-5.0f), RampColor(ColorRamp::Viridis, c.lowT));
    EXPECT_EQ(scale.LookupColor(10.0f), RampColor(ColorRamp::Viridis, c.highT));
    // Levels 10 / 11 apart: 5 lies in band 5 of bands 0..9, at t = 5 / 9.
    const double mid = c.lowT + (c.highT - c.lowT) * 5.0 / 9.0;
    EXPECT_EQ(scale.LookupColor(5.0f), RampColor(ColorRamp::Viridis, mid));
  }
}

// The rainbow's reverse flag is the same as View > Color target's, so the plain scale
// (no ramp, not reversed) keeps the palette spread it always had.
TEST(ColorScaleRamp, RainbowReverseFlipsThePalette) {
  ColorScale plain, reversedByRamp, reversedBySetup;
  plain.SetupDefault(0.0f, 36.0f, 36, false);
  reversedByRamp.rampReversed = true;
  reversedByRamp.SetupDefault(0.0f, 36.0f, 36, false);
  reversedBySetup.SetupDefault(0.0f, 36.0f, 36, true);
  for (int i = 0; i < 36; ++i) {
    EXPECT_EQ(plain.LevelColor(i), ColorScale::PaletteColor(i)) << i;
    EXPECT_EQ(reversedByRamp.LevelColor(i), reversedBySetup.LevelColor(i)) << i;
    EXPECT_EQ(reversedByRamp.LevelColor(i), ColorScale::PaletteColor(36 - i)) << i;
  }
}

}  // namespace
}  // namespace gridora
