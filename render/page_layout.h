#pragma once
// The parts of a printed map page that do not depend on the data: the length of a
// scale bar, the north arrow's outline and the page's rooms (title above, legend
// right, scale bar below the map). Logical units (0.1 mm), Y up, the page's top-left
// corner at (0, 0).
#include <array>
#include <vector>

#include "platform/drawing_context.h"

namespace gridora {

// The longest of 1, 2 or 5 times a power of ten that is at most `longest` (map units);
// 0 for a length that is not a positive finite number.
double ScaleBarLength(double longest);

// The north arrow with its tip at (x, top), `height` tall with its letter: the two
// halves of the arrow head (the left one filled, the right one open, so that it reads
// on any colour) and the "N" under them.
struct NorthArrow {
  std::array<LogicalPoint, 3> filledHalf;
  std::array<LogicalPoint, 3> openHalf;
  LogicalPoint letter;  // top-left of the "N" under the arrow
  int letterHeight = 0;
};
NorthArrow NorthArrowAt(int x, int top, int height);

// The rooms of a page `width` x `height`: the map's fit rectangle (the map keeps its
// margins inside it), the title's baseline band and the legend's room.
struct PageRooms {
  LogicalRect mapFit;    // handed to the map's scale fit
  LogicalRect legend;    // the legend stays inside this
  LogicalRect page;      // the whole page
  int marginLeft = 0;    // the map frame's left edge
  int marginTop = 0;     // the map frame's top edge below the page's top
  int marginBottom = 0;  // room under the frame for the tick labels and the scale bar
  int titleTop = 0;      // the title's top (y)
  int titleHeight = 0;
};
PageRooms LayOutPage(int width, int height);

}  // namespace gridora
