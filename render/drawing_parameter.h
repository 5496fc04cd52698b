#pragma once
// Page layout of one plot (the map or the variogram chart): margins and the fraction
// of the layout rectangle the plot may use.
#include <string>

namespace gridora {

struct DrawingParameters {
  int language = 0;
  int offsetX = 0, offsetY = 0;
  int marginLeft = 150;
  int marginRight = 100;
  int marginTop = 150;
  int marginBottom = 100;
  float areaFraction = 1.0f;
  std::string unitLabel = "Unit";
  std::string unitText = "(m)";
  int frameEmphasis = 0;
};

}  // namespace gridora
