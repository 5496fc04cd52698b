#pragma once
// The map's colour scale: a fixed palette of 37 colours and the current contour levels
// with the colour of each. A value takes the colour of the band it falls in; band i
// runs from level i to level i + 1, and the last level is always 1e8 so the top band
// is open-ended.
#include <array>
#include <vector>

#include "platform/drawing_context.h"
#include "render/color_ramp.h"

namespace gridora {

struct ContourLevels;

struct ColorLookup {
  int red = 0, green = 0, blue = 0;
  int band = 0;
  Color color() const { return Rgb(red, green, blue); }
};

class ColorScale {
 public:
  static constexpr int kPaletteSize = 37;
  static constexpr float kTopLevel = 100000000.0f;

  // The palette, then the default setup of 36 levels from 1 to 35.
  ColorScale();

  // `count` levels from `minimum` in steps of (maximum - minimum) / count; the last one
  // is kTopLevel. A count below 1 is taken as 1.
  void SetupDefault(float minimum, float maximum, int count, bool reversed);
  // The user's levels (at most 37 of them); the last one becomes kTopLevel. Minimum,
  // maximum and interval keep the values of the last default setup.
  void SetupFromLevels(const ContourLevels& record, bool reversed);

  // The first band i (0 <= i <= levelCount - 2) with value < level i + 1, else the top
  // band levelCount - 1 (0 when there is a single level). A value equal to a level
  // takes the band above it; level 0 never splits a band.
  ColorLookup Lookup(float value) const {
    const int last = levelCount - 1;
    int band = last > 0 ? last : 0;
    for (int i = 0; i < last; ++i) {
      if (value < levels[static_cast<std::size_t>(i) + 1]) {
        band = i;
        break;
      }
    }
    const auto b = static_cast<std::size_t>(band);
    return {levelRed[b], levelGreen[b], levelBlue[b], band};
  }
  Color LookupColor(float value) const { return Lookup(value).color(); }

  // Colour of level index i (0 <= i < levelCount).
  Color LevelColor(int i) const {
    const auto k = static_cast<std::size_t>(i);
    return Rgb(levelRed[k], levelGreen[k], levelBlue[k]);
  }

  // Entry `index` (clamped to the palette) of the rainbow palette.
  static Color PaletteColor(int index);

  // The ramp the levels take their colours from, and whether it runs from the top
  // (on top of the `reversed` of the setups). The rainbow spreads the palette as it
  // always did; another ramp gives band i of n the ramp's colour at
  // min(i / (n - 2), 1): the bands values fall in run from one end of the ramp to the other.
  ColorRamp ramp = ColorRamp::Rainbow;
  bool rampReversed = false;

  std::array<int, kPaletteSize> redTable{}, greenTable{}, blueTable{};
  int levelCount = 36;
  std::vector<float> levels;
  std::vector<int> levelRed, levelGreen, levelBlue;
  float minimum = 0.0f, maximum = 0.0f, interval = 0.0f;

 private:
  void Resize(int count);
  void AssignColors(bool reversed);
};

}  // namespace gridora
