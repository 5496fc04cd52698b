#include "render/pixel_copy.h"

#include <algorithm>

namespace gridora {

bool CopyPixels(DrawingContext& context, const LogicalRect& destination, const PixelMap* source, const PixelArea& area,
                PixelCopyMode mode) {
  if (mode == PixelCopyMode::Black || mode == PixelCopyMode::White) {
    const Brush brush{false, mode == PixelCopyMode::Black ? Rgb(0, 0, 0) : Rgb(255, 255, 255)};
    context.FillRect(destination, &brush);
    return true;
  }
  if (!source || source->Empty()) return false;
  if (area.x == 0 && area.y == 0 && area.width == source->width && area.height == source->height) {
    context.StretchPixelMap(destination, *source);
    return true;
  }
  // A part of the source: copy that part out first.
  const int left = std::clamp(area.x, 0, source->width), top = std::clamp(area.y, 0, source->height);
  const int right = std::clamp(area.x + area.width, left, source->width);
  const int bottom = std::clamp(area.y + area.height, top, source->height);
  PixelMap part{right - left, bottom - top, {}};
  if (part.Empty()) return false;
  part.pixels.reserve(static_cast<std::size_t>(part.width) * static_cast<std::size_t>(part.height));
  for (int row = top; row < bottom; ++row)
    for (int column = left; column < right; ++column) part.pixels.push_back(source->At(column, row));
  context.StretchPixelMap(destination, part);
  return true;
}

}  // namespace gridora
