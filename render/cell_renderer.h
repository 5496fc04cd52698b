#pragma once
// Draws grid cells as filled contour bands.
#include "render/color_scale.h"

namespace gridora {

class CellRenderer {
 public:
  CellRenderer() = default;
  ColorScale& Scale() { return colorScale_; }

 private:
  ColorScale colorScale_;
};

}  // namespace gridora
