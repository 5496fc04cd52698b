#pragma once
// The map's colour scale: a fixed palette with the current levels and their colours.
namespace gridora {

class ColorScale {
 public:
  ColorScale() = default;
};

}  // namespace gridora
