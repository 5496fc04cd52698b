#include "view/map_contour_levels.h"

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
  for (int i = 1; i + 1 < scale.levelCount && i < static_cast<int>(scale.levels.size()); ++i) {
    const double level = scale.levels[static_cast<std::size_t>(i)];
    if (!std::isfinite(level) || level >= ColorScale::kTopLevel) continue;
    if (!result.levels.empty() && level <= result.levels.back()) continue;
    result.levels.push_back(level);
  }
  return result;
}

}  // namespace gridora
