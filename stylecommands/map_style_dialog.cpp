#include "stylecommands/map_style_dialog.h"

#include <algorithm>

#include "platform/dialog_fields.h"

namespace gridora {

void MapStyleDialog::Load(const MapStyle& style) {
  const std::vector<std::string> names = RampNames();
  const auto at = std::find(names.begin(), names.end(), RampName(style.ramp));
  ramp = at == names.end() ? 0 : static_cast<int>(at - names.begin());
  reverse = style.reverse ? 1 : 0;
  legendTitle = style.legendTitle;
  legendUnits = style.legendUnits;
}

void MapStyleDialog::Store(MapStyle& style) const {
  const std::vector<std::string> names = RampNames();
  const auto index = static_cast<std::size_t>(std::clamp(ramp, 0, static_cast<int>(names.size()) - 1));
  style.ramp = ParseRampName(names[index]).value_or(ColorRamp::Rainbow);
  style.reverse = reverse == 1;
  style.legendTitle = legendTitle;
  style.legendUnits = legendUnits;
}

std::vector<DialogField> MapStyleDialog::Fields() {
  return {
      InGroup(RadioField(6001, "Colour ramp", &ramp, "ramp",
                         {"Rainbow (magenta to blue)", "Viridis (perceptually uniform)",
                          "Cividis (uniform, for colour vision deficiency)", "Terrain (blue, green, brown, white)",
                          "Greys (black to white)"},
                         RampNames()),
              "Colour ramp"),
      InGroup(RadioField(6002, "Direction", &reverse, "reverse", {"Lowest values at the ramp's start", "Reversed"},
                         {"no", "yes"}),
              "Direction"),
      InGroup(MakeField(6003, "Title", FieldKind::Text, &legendTitle, "legend-title"), "Legend"),
      InGroup(MakeField(6004, "Units", FieldKind::Text, &legendUnits, "legend-units"), "Legend"),
  };
}

std::vector<DialogField> LayoutDialog::Fields() { return {MakeField(6011, "Title", FieldKind::Text, &title, "title")}; }

}  // namespace gridora
