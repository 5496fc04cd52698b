#include "view/traced_band_cache.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <utility>

#include "document/grid_model.h"
#include "render/cell_renderer.h"
#include "render/color_scale.h"
#include "view/document.h"

namespace gridora {
namespace {

// What a band picture was traced from. The values are compared by a 64-bit hash, the
// positions and levels as they are.
struct TraceKey {
  int nx = 0, ny = 0, layer = 0, contourLines = 0;
  std::uint64_t valuesHash = 0;
  std::vector<int> xs, ys;
  std::vector<float> levels;
  std::vector<Color> colors;
  bool operator==(const TraceKey&) const = default;
};

std::uint64_t HashValues(const float* values, std::size_t count) {
  std::uint64_t hash = 0x9E3779B97F4A7C15ull ^ count;
  for (std::size_t i = 0; i < count; ++i) {
    std::uint32_t bits;
    std::memcpy(&bits, values + i, sizeof bits);
    hash = (hash ^ bits) * 0x100000001B3ull;
  }
  return hash;
}

TraceKey KeyOf(const Document& doc, const std::vector<int>& xs, const std::vector<int>& ys) {
  const GridModel& g = *doc.grid;
  const ColorScale& scale = *doc.colorScale;
  TraceKey key;
  key.nx = g.NX;
  key.ny = g.NY;
  key.layer = doc.layerIndex;
  key.contourLines = doc.cellRenderer->drawContourLines;
  key.valuesHash = HashValues(g.Column(doc.layerIndex, 0), g.NodeCount());
  key.xs = xs;
  key.ys = ys;
  const int n = std::clamp(scale.levelCount, 0, static_cast<int>(scale.levels.size()));
  key.levels.assign(scale.levels.begin(), scale.levels.begin() + n);
  for (int i = 0; i < n; ++i) key.colors.push_back(scale.LevelColor(i));
  return key;
}

}  // namespace

// The document keeps the last picture with what it was traced from.
struct TracedBandsCache {
  TraceKey key;
  std::shared_ptr<const TracedBands> bands;
};

std::shared_ptr<const TracedBands> TracedBandsFor(Document& doc, const std::vector<int>& xs,
                                                  const std::vector<int>& ys) {
  TraceKey key = KeyOf(doc, xs, ys);
  if (doc.tracedBands && doc.tracedBands->bands && doc.tracedBands->key == key) return doc.tracedBands->bands;
  auto bands = std::make_shared<const TracedBands>(TraceBands(*doc.grid, doc.layerIndex, xs, ys, *doc.cellRenderer));
  doc.tracedBands = std::make_shared<TracedBandsCache>(TracedBandsCache{std::move(key), bands});
  return bands;
}

}  // namespace gridora
