#include "render/color_scale.h"

#include <algorithm>

#include "document/contour_levels.h"

namespace gridora {
namespace {

// Magenta through red, orange, yellow and green to blue; index 0 colours the lowest
// values unless the colours are reversed.
constexpr int kPalette[ColorScale::kPaletteSize][3] = {
    {255, 0, 255}, {255, 0, 200}, {255, 0, 150}, {255, 0, 100}, {255, 0, 50},  {255, 0, 0},   {255, 35, 0},
    {255, 70, 0},  {255, 105, 0}, {255, 135, 0}, {255, 165, 0}, {255, 195, 0}, {255, 225, 0}, {255, 255, 0},
    {240, 255, 0}, {220, 255, 0}, {200, 255, 0}, {180, 255, 0}, {160, 255, 0}, {140, 255, 0}, {120, 255, 0},
    {100, 255, 0}, {75, 255, 0},  {50, 255, 0},  {25, 255, 0},  {0, 255, 0},   {0, 225, 25},  {0, 200, 50},
    {0, 170, 75},  {0, 150, 100}, {0, 125, 125}, {0, 100, 150}, {0, 75, 175},  {0, 50, 200},  {0, 25, 225},
    {0, 0, 255},   {0, 0, 255},
};

}  // namespace

ColorScale::ColorScale() {
  for (int i = 0; i < kPaletteSize; ++i) {
    redTable[static_cast<std::size_t>(i)] = kPalette[i][0];
    greenTable[static_cast<std::size_t>(i)] = kPalette[i][1];
    blueTable[static_cast<std::size_t>(i)] = kPalette[i][2];
  }
  SetupDefault(1.0f, 35.0f, 36, false);
}

Color ColorScale::PaletteColor(int index) {
  const int* c = kPalette[std::clamp(index, 0, kPaletteSize - 1)];
  return Rgb(c[0], c[1], c[2]);
}

void ColorScale::Resize(int count) {
  levelCount = std::max(count, 1);
  const auto n = static_cast<std::size_t>(levelCount);
  levels.assign(n, 0.0f);
  levelRed.assign(n, 0);
  levelGreen.assign(n, 0);
  levelBlue.assign(n, 0);
}

// Spreads the palette over the levels: palette index trunc(i * 37 / count), in single
// precision, read from the top when reversed.
void ColorScale::AssignColors(bool reversed) {
  if (ramp != ColorRamp::Rainbow) {
    // Bands 0 to levelCount - 2 are the ones values fall in (the last level is the open
    // top), so they span the whole ramp.
    const bool fromTop = reversed != rampReversed;
    const int span = std::max(levelCount - 2, 1);
    for (int i = 0; i < levelCount; ++i) {
      const double t = std::min(static_cast<double>(i) / span, 1.0);
      const Color c = RampColor(ramp, fromTop ? 1.0 - t : t);
      const auto k = static_cast<std::size_t>(i);
      levelRed[k] = RedOf(c);
      levelGreen[k] = GreenOf(c);
      levelBlue[k] = BlueOf(c);
    }
    return;
  }
  if (rampReversed) reversed = !reversed;
  for (int i = 0; i < levelCount; ++i) {
    const float spread = static_cast<float>(i) * 37.0f / static_cast<float>(levelCount);
    int p = std::clamp(static_cast<int>(spread), 0, kPaletteSize - 1);
    if (reversed) p = kPaletteSize - 1 - p;
    const auto k = static_cast<std::size_t>(i);
    const auto q = static_cast<std::size_t>(p);
    levelRed[k] = redTable[q];
    levelGreen[k] = greenTable[q];
    levelBlue[k] = blueTable[q];
  }
}

void ColorScale::SetupDefault(float minimumValue, float maximumValue, int count, bool reversed) {
  Resize(count);
  minimum = minimumValue;
  maximum = maximumValue;
  interval = (maximum - minimum) / static_cast<float>(levelCount);
  for (int i = 0; i < levelCount; ++i)
    levels[static_cast<std::size_t>(i)] = i == levelCount - 1 ? kTopLevel : static_cast<float>(i) * interval + minimum;
  AssignColors(reversed);
}

void ColorScale::SetupFromLevels(const ContourLevels& record, bool reversed) {
  // The record may come from a file: keep its count inside the array it indexes.
  Resize(std::clamp(record.count, 1, ContourLevels::kMaximumCount));
  for (int i = 0; i < levelCount; ++i)
    levels[static_cast<std::size_t>(i)] = i == levelCount - 1 ? kTopLevel : record.levels[static_cast<std::size_t>(i)];
  AssignColors(reversed);
}

}  // namespace gridora
