#pragma once
// Copies a pixel map, or a part of it, onto a logical rectangle of a drawing context,
// or fills the rectangle black or white without any source. The context itself only
// stretches whole pixel maps; cutting out the part is done here.
#include "platform/drawing_context.h"

namespace gridora {

enum class PixelCopyMode {
  Source,  // the chosen part of the source, stretched onto the rectangle
  Black,   // the rectangle filled black; no source needed
  White,   // the rectangle filled white; no source needed
};

// A part of a pixel map: columns [x, x + width) and rows [y, y + height), row 0 at the
// top. Whatever lies outside the map is cut off.
struct PixelArea {
  int x = 0, y = 0, width = 0, height = 0;
};

// Draws onto `destination` (logical units) and returns whether anything was drawn: a
// copy without a source, or of an empty source or area, draws nothing.
bool CopyPixels(DrawingContext& context, const LogicalRect& destination, const PixelMap* source, const PixelArea& area,
                PixelCopyMode mode = PixelCopyMode::Source);

}  // namespace gridora
