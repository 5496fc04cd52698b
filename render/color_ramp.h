#pragma once
// The colour ramps a map can be drawn with: the rainbow of the colour scale's palette
// (the default), the perceptually uniform viridis and cividis, a terrain ramp and a
// grey ramp. A ramp maps t in [0, 1] (low to high values) to a colour.
#include <optional>
#include <string>
#include <vector>

#include "platform/drawing_context.h"

namespace gridora {

enum class ColorRamp { Rainbow, Viridis, Cividis, Terrain, Greys };

// The ramp's colour at t (clamped to [0, 1]; NaN reads as 0), channels rounded to the
// nearest of 0..255. The tables are read between their entries, linearly in sRGB.
Color RampColor(ColorRamp ramp, double t);

// The word the batch mode and the dialog use for a ramp ("rainbow", "viridis",
// "cividis", "terrain", "greys"), and back; nullopt for a word that names none.
const char* RampName(ColorRamp ramp);
std::optional<ColorRamp> ParseRampName(const std::string& name);
std::vector<std::string> RampNames();

// How the map is styled beyond its levels: the ramp, whether it runs high to low (on
// top of View > Color target), and the legend's title and units. The defaults draw the
// map as it always was.
struct MapStyle {
  ColorRamp ramp = ColorRamp::Rainbow;
  bool reverse = false;
  std::string legendTitle;
  std::string legendUnits;
  // The title of the printed and exported layout; empty: the document's name.
  std::string layoutTitle;

  bool operator==(const MapStyle&) const = default;
};

}  // namespace gridora
