#pragma once
// The one font description every text of the map and the chart uses, and the text
// size factor. Heights are logical units (0.1 mm).
#include "platform/drawing_context.h"

namespace gridora {

// Text heights are multiplied by this factor; it stays 1.0 on every platform here.
inline constexpr double kTextScale = 1.0;

// "Arial" at `height` x kTextScale; escapement in tenths of a degree counter-clockwise.
inline Font MapFont(int height, int escapement = 0) {
  Font font;
  font.face = "Arial";
  font.height = static_cast<int>(height * kTextScale);
  font.escapement = escapement;
  return font;
}

}  // namespace gridora
