#include "view/map_contour_levels.h"

#include <algorithm>
#include <cmath>

#include "render/color_scale.h"
#include "view/contour_map.h"
#include "view/document.h"

namespace gridora {

MapContourLevels CurrentContourLevels(Document& doc) {
  MapContourLevels result;
  float minimum = 0.0f, maximum = 0.0f;
  SetupColorLevels(doc, minimum, maximum);
  const ColorScale& scale = *doc.colorScale;
  result.logValues = doc.logScale == 1;
  // The user's levels: every one of them is a line, the Minimum and the Maximum too
  // (the colour scale makes the first open the lowest band and the last the open top).
  const GridModel& g = *doc.grid;
  const bool error = doc.layerIndex == 1;
  if (error ? g.errorUserLevels == 1 : g.userLevels == 1) {
    const ContourLevels& record = error ? g.errorLevels : g.contourLevels;
    const int count = std::clamp(record.count, 1, ContourLevels::kMaximumCount);
    for (int i = 0; i < count; ++i) {
      double level = record.levels[static_cast<std::size_t>(i)];
      // The last was stored a millionth below the Maximum typed.
      if (i == count - 1) level = static_cast<float>(level + 0.000001);
      if (!std::isfinite(level)) continue;
      if (!result.levels.empty() && level <= result.levels.back()) continue;
      result.levels.push_back(level);
    }
    return result;
  }
  for (int i = 1; i + 1 < scale.levelCount && i < static_cast<int>(scale.levels.size()); ++i) {
    const double level = scale.levels[static_cast<std::size_t>(i)];
    if (!std::isfinite(level) || level >= ColorScale::kTopLevel) continue;
    if (!result.levels.empty() && level <= result.levels.back()) continue;
    result.levels.push_back(level);
  }
  return result;
}

}  // namespace gridora
