#include "render/page_layout.h"

#include <algorithm>
#include <cmath>

namespace gridora {

double ScaleBarLength(double longest) {
  if (!std::isfinite(longest) || longest <= 0.0) return 0.0;
  const double decade = std::pow(10.0, std::floor(std::log10(longest)));
  // 1, 2 or 5 times the decade; a longest just under a decade boundary keeps the step below.
  for (double step : {5.0, 2.0, 1.0})
    if (step * decade <= longest * (1.0 + 1e-12)) return step * decade;
  return decade / 2.0;
}

NorthArrow NorthArrowAt(int x, int top, int height) {
  // The head takes three fifths of the height, a gap and the letter the rest.
  const int half = std::max(height / 4, 1);
  const int base = top - height * 3 / 5;
  const int notch = top - height * 9 / 20;
  NorthArrow arrow;
  arrow.filledHalf = {LogicalPoint{x, top}, LogicalPoint{x - half, base}, LogicalPoint{x, notch}};
  arrow.openHalf = {LogicalPoint{x, top}, LogicalPoint{x + half, base}, LogicalPoint{x, notch}};
  arrow.letterHeight = std::max(height * 3 / 10, 1);
  arrow.letter = {x - arrow.letterHeight * 3 / 10, base - 10};
  return arrow;
}

PageRooms LayOutPage(int width, int height) {
  PageRooms rooms;
  width = std::max(width, 1);
  height = std::max(height, 1);
  rooms.page = {0, 0, width, -height};
  // A tenth of the shorter side around the page, at most 1.5 cm.
  const int edge = std::min(150, std::min(width, height) / 10);
  rooms.titleHeight = std::clamp(height / 25, 20, 80);
  rooms.titleTop = -edge;
  rooms.marginLeft = edge + 250;  // the y tick labels and the axis title
  rooms.marginTop = edge + rooms.titleHeight + 150;
  rooms.marginBottom = 450;  // tick labels, the axis title and the scale bar
  const int legendWidth = std::min(650, width / 4);
  rooms.mapFit = {0, 0, std::max(width - legendWidth - edge, 1), -std::max(height - edge, 1)};
  rooms.legend = {edge, -edge, width - edge, -(height - edge)};
  return rooms;
}

}  // namespace gridora
