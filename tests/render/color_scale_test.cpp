#include "render/color_scale.h"

#include <gtest/gtest.h>

#include "document/contour_levels.h"

namespace gridora {
namespace {

TEST(ColorScale, PaletteRunsFromMagentaThroughGreenToBlue) {
  const ColorScale scale;
  struct Entry {
    int index, red, green, blue;
  } entries[] = {{0, 255, 0, 255}, {5, 255, 0, 0},    {9, 255, 135, 0}, {13, 255, 255, 0}, {18, 160, 255, 0},
                 {25, 0, 255, 0},  {30, 0, 125, 125}, {35, 0, 0, 255},  {36, 0, 0, 255}};
  for (const auto& e : entries) {
    SCOPED_TRACE(e.index);
    EXPECT_EQ(scale.redTable[e.index], e.red);
    EXPECT_EQ(scale.greenTable[e.index], e.green);
    EXPECT_EQ(scale.blueTable[e.index], e.blue);
  }
}

TEST(ColorScale, ConstructionSetsUpThirtySixLevelsFromOneTo35) {
  const ColorScale scale;
  ASSERT_EQ(scale.levelCount, 36);
  EXPECT_EQ(scale.minimum, 1.0f);
  EXPECT_EQ(scale.maximum, 35.0f);
  EXPECT_EQ(scale.interval, 34.0f / 36.0f);
  EXPECT_EQ(scale.levels[0], 1.0f);
  EXPECT_EQ(scale.levels[35], 1e8f);
}

TEST(ColorScale, DefaultLevelsUsePaletteIndexesZeroTo35) {
  ColorScale scale;
  scale.SetupDefault(0.0f, 36.0f, 36, false);
  for (int i = 0; i < 35; ++i) EXPECT_EQ(scale.levels[i], static_cast<float>(i)) << i;
  for (int i = 0; i < 36; ++i) {
    EXPECT_EQ(scale.levelRed[i], scale.redTable[i]) << i;
    EXPECT_EQ(scale.levelGreen[i], scale.greenTable[i]) << i;
    EXPECT_EQ(scale.levelBlue[i], scale.blueTable[i]) << i;
  }
  // The maximum falls into the band starting at level 34.
  EXPECT_EQ(scale.Lookup(36.0f).band, 34);
}

TEST(ColorScale, LookupTakesTheBandAboveAnEqualLevel) {
  ColorScale scale;
  scale.SetupDefault(0.0f, 36.0f, 36, false);
  struct Case {
    float value;
    int band;
  } cases[] = {{-100.0f, 0}, {0.0f, 0}, {0.999f, 0}, {1.0f, 1}, {1.5f, 1}, {2.0f, 2}, {34.0f, 34}, {1e9f, 35}};
  for (const auto& c : cases) {
    const ColorLookup look = scale.Lookup(c.value);
    EXPECT_EQ(look.band, c.band) << c.value;
    EXPECT_EQ(look.color(), scale.LevelColor(c.band)) << c.value;
  }
}

TEST(ColorScale, ReversedColoursReadThePaletteFromTheTop) {
  ColorScale scale;
  scale.SetupDefault(0.0f, 36.0f, 36, true);
  EXPECT_EQ(scale.LookupColor(-5.0f), Rgb(0, 0, 255));   // palette 36
  EXPECT_EQ(scale.LookupColor(5.5f), Rgb(0, 100, 150));  // band 5 -> palette 31
  EXPECT_EQ(scale.LevelColor(35), Rgb(255, 0, 200));     // palette 1
}

TEST(ColorScale, ConstantRangePutsEveryValueInBand34) {
  ColorScale scale;
  scale.SetupDefault(7.0f, 7.0f, 36, false);
  EXPECT_EQ(scale.interval, 0.0f);
  for (int i = 0; i < 35; ++i) EXPECT_EQ(scale.levels[i], 7.0f);
  EXPECT_EQ(scale.levels[35], 1e8f);
  const ColorLookup look = scale.Lookup(7.0f);
  EXPECT_EQ(look.band, 34);
  EXPECT_EQ(look.color(), Rgb(0, 25, 225));  // palette 34
}

TEST(ColorScale, UserLevelsZeroToTenSpreadThePaletteOverElevenLevels) {
  ContourLevels record;
  record.count = 11;
  for (int i = 0; i < 11; ++i) record.levels[i] = static_cast<float>(i);
  ColorScale scale;
  scale.SetupDefault(2.0f, 5.0f, 36, false);
  scale.SetupFromLevels(record, false);
  ASSERT_EQ(scale.levelCount, 11);
  EXPECT_EQ(scale.levels[9], 9.0f);
  EXPECT_EQ(scale.levels[10], 1e8f);
  const int palette[] = {0, 3, 6, 10, 13, 16, 20, 23, 26, 30, 33};
  for (int i = 0; i < 11; ++i) EXPECT_EQ(scale.levelRed[i], scale.redTable[palette[i]]) << i;
  for (int i = 0; i < 11; ++i)
    EXPECT_EQ(scale.LevelColor(i),
              Rgb(scale.redTable[palette[i]], scale.greenTable[palette[i]], scale.blueTable[palette[i]]))
        << i;
  // Minimum, maximum and interval stay those of the default setup.
  EXPECT_EQ(scale.minimum, 2.0f);
  EXPECT_EQ(scale.maximum, 5.0f);
}

TEST(ColorScale, ASingleLevelColoursEverythingWithColourZero) {
  ContourLevels record;
  record.count = 1;
  ColorScale scale;
  scale.SetupFromLevels(record, false);
  ASSERT_EQ(scale.levelCount, 1);
  for (float v : {-1.0f, 0.0f, 1e9f}) {
    EXPECT_EQ(scale.Lookup(v).band, 0);
    EXPECT_EQ(scale.LookupColor(v), Rgb(255, 0, 255));
  }
}

TEST(ColorScale, LevelCountsOutsideOneTo37AreHeldInside) {
  ContourLevels record;
  ColorScale scale;
  for (int count : {0, -5}) {
    record.count = count;
    scale.SetupFromLevels(record, false);
    EXPECT_EQ(scale.levelCount, 1);
  }
  record.count = 1000;
  scale.SetupFromLevels(record, false);
  EXPECT_EQ(scale.levelCount, 37);
  scale.SetupDefault(0.0f, 1.0f, 0, false);
  EXPECT_EQ(scale.levelCount, 1);
}

}  // namespace
}  // namespace gridora
