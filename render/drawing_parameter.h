#pragma once
// Page layout of one plot (the map or the variogram chart): margins and the fraction
// of the layout rectangle the plot may use.
#include <string>

#include "render/color_ramp.h"

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
  // The map's ramp, legend title and units and the layout's title (View > Map style):
  // kept for the session, not written to the document file.
  MapStyle style;
  // Set by the map's drawing: the legend was laid out to fit the view (or put on a
  // panel inside it), so the picture depends on where the view stands.
  bool legendFollowsView = false;
};

}  // namespace gridora
