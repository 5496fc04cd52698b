#pragma once
// View > Map style: the colour ramp, its direction and the legend's title and units;
// File > Export layout: the page's title.
#include <string>
#include <vector>

#include "platform/dialog_data.h"
#include "render/color_ramp.h"

namespace gridora {

class MapStyleDialog : public DialogData {
 public:
  int ramp = 0;     // index into RampNames()
  int reverse = 0;  // 0 low to high, 1 high to low
  std::string legendTitle;
  std::string legendUnits;

  // The dialog's members from a style and back.
  void Load(const MapStyle& style);
  void Store(MapStyle& style) const;

  std::string Title() const override { return "Map style"; }
  int ResourceId() const override { return 600; }
  std::vector<DialogField> Fields() override;
};

class LayoutDialog : public DialogData {
 public:
  std::string title;

  std::string Title() const override { return "Export layout"; }
  int ResourceId() const override { return 601; }
  std::vector<DialogField> Fields() override;
};

}  // namespace gridora
