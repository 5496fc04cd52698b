#include "formats/finite_values.h"

#include <fmt/printf.h>

#include <cmath>
#include <utility>

#include "document/grid_model.h"
#include "document/random_data.h"

namespace gridora {

std::optional<std::string> FindNonFiniteGridValue(const GridModel& grid) {
  const std::pair<const char*, double> settings[] = {
      {"DX", grid.DX},
      {"DY", grid.DY},
      {"the X origin", grid.x0},
      {"the Y origin", grid.y0},
      {"the X scale", grid.scaleX},
      {"the Y scale", grid.scaleY},
      {"the maximum distance", grid.maxDistance},
      {"the X axis start", grid.xStart},
      {"the X axis end", grid.xEnd},
      {"the X axis interval", grid.xInterval},
      {"the Y axis start", grid.yStart},
      {"the Y axis end", grid.yEnd},
      {"the Y axis interval", grid.yInterval},
  };
  for (const auto& [name, value] : settings)
    if (!std::isfinite(value)) return std::string(name);
  if (grid.NX < 1 || grid.NY < 1 || grid.layerCount < 1 ||
      grid.values.size() < grid.NodeCount() * static_cast<std::size_t>(grid.layerCount))
    return std::nullopt;
  for (int layer = 0; layer < grid.layerCount; ++layer)
    for (int ix = 0; ix < grid.NX; ++ix) {
      const float* column = grid.Column(layer, ix);
      for (int iy = 0; iy < grid.NY; ++iy)
        if (!std::isfinite(column[iy])) return fmt::sprintf("the value of node (%d, %d) of layer %d", ix, iy, layer);
    }
  return std::nullopt;
}

std::optional<std::string> FindNonFinitePoint(const RandomData& points) {
  if (!points.points) return std::nullopt;
  for (int i = 0; i < points.count; ++i) {
    const DataPoint& p = points.points[i];
    if (!std::isfinite(p.x) || !std::isfinite(p.y) || !std::isfinite(p.z))
      return fmt::sprintf("data point No.%d (counted from 1)", i + 1);
  }
  return std::nullopt;
}

std::string NonFiniteMessage(const std::string& path, const std::string& what) {
  return fmt::sprintf("Cannot save %s: %s is not a finite number. Correct it and save again; the file is unchanged.",
                      path, what);
}

}  // namespace gridora
