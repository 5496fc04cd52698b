#include "history/document_snapshot.h"

#include <algorithm>
#include <cstring>
#include <set>
#include <utility>

#include "view/document.h"

namespace gridora {
namespace {

// What painting writes into the grid: the scales, the nodes inside the drawn window and,
// while the axes are not fixed, the window and its ticks.
void CopyDrawnFields(const GridModel& from, GridModel& to) {
  to.scaleX = from.scaleX;
  to.scaleY = from.scaleY;
  to.nxInWindow = from.nxInWindow;
  to.nyInWindow = from.nyInWindow;
  to.xLastDrawn = from.xLastDrawn;
  to.yLastDrawn = from.yLastDrawn;
  if (to.axisFixed != 0) return;
  to.xStart = from.xStart;
  to.xEnd = from.xEnd;
  to.xInterval = from.xInterval;
  to.yStart = from.yStart;
  to.yEnd = from.yEnd;
  to.yInterval = from.yInterval;
  to.xTickCount = from.xTickCount;
  to.yTickCount = from.yTickCount;
}

// The grid's fields without its large vectors, which are moved out and back so that
// nothing large is copied.
std::shared_ptr<const GridModel> SettingsOf(GridModel& grid) {
  std::vector<float> values = std::move(grid.values);
  std::vector<float> distances = std::move(grid.dataDistance);
  std::vector<std::uint8_t> empty = std::move(grid.emptyNodes);
  std::shared_ptr<GridModel> settings;
  try {
    settings = std::make_shared<GridModel>(grid);
  } catch (...) {
    grid.values = std::move(values);
    grid.dataDistance = std::move(distances);
    grid.emptyNodes = std::move(empty);
    throw;
  }
  grid.values = std::move(values);
  grid.dataDistance = std::move(distances);
  grid.emptyNodes = std::move(empty);
  CopyDrawnFields(GridModel{}, *settings);
  return settings;
}

template <class T>
bool SameBytes(const std::vector<T>& a, const std::vector<T>& b) {
  return a.size() == b.size() && (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(T)) == 0);
}

template <class T>
std::shared_ptr<const std::vector<T>> ShareOrCopy(const std::vector<T>& now,
                                                  const std::vector<std::shared_ptr<const std::vector<T>>>& known) {
  for (const auto& block : known)
    if (block && SameBytes(*block, now)) return block;
  return std::make_shared<const std::vector<T>>(now);
}

bool SamePoints(const PointBlock& block, const RandomData& data) {
  if (block.points.size() != static_cast<std::size_t>(data.count)) return false;
  if (block.xMinimum != data.xMinimum || block.xMaximum != data.xMaximum || block.yMinimum != data.yMinimum ||
      block.yMaximum != data.yMaximum || block.zMinimum != data.zMinimum || block.zMaximum != data.zMaximum)
    return false;
  return (block.points.empty() ||
          std::memcmp(block.points.data(), data.points.get(), block.points.size() * sizeof(DataPoint)) == 0) &&
         block.labels == data.labels;
}

std::shared_ptr<const PointBlock> SharePoints(const RandomData* data,
                                              const std::vector<std::shared_ptr<const PointBlock>>& known) {
  if (!data) return nullptr;
  for (const auto& block : known)
    if (block && SamePoints(*block, *data)) return block;
  auto block = std::make_shared<PointBlock>();
  const int count = data->count > 0 ? data->count : 0;
  block->points.assign(data->points.get(), data->points.get() + count);
  block->labels = data->labels;
  block->xMinimum = data->xMinimum;
  block->xMaximum = data->xMaximum;
  block->yMinimum = data->yMinimum;
  block->yMaximum = data->yMaximum;
  block->zMinimum = data->zMinimum;
  block->zMaximum = data->zMaximum;
  return block;
}

std::unique_ptr<RandomData> PointsFrom(const PointBlock& block) {
  std::unique_ptr<RandomData> data = CreateRandomData();
  std::copy(block.points.begin(), block.points.end(), data->points.get());
  data->count = static_cast<int>(block.points.size());
  data->labels = block.labels;
  data->xMinimum = block.xMinimum;
  data->xMaximum = block.xMaximum;
  data->yMinimum = block.yMinimum;
  data->yMaximum = block.yMaximum;
  data->zMinimum = block.zMinimum;
  data->zMaximum = block.zMaximum;
  return data;
}

}  // namespace

DocumentSnapshot TakeSnapshot(Document& doc, const std::vector<const DocumentSnapshot*>& shareWith) {
  DocumentSnapshot s;
  if (doc.grid) {
    std::vector<std::shared_ptr<const std::vector<float>>> values, distances;
    std::vector<std::shared_ptr<const std::vector<std::uint8_t>>> empty;
    for (const DocumentSnapshot* other : shareWith) {
      if (!other) continue;
      values.push_back(other->values);
      distances.push_back(other->distances);
      empty.push_back(other->emptyNodes);
    }
    s.settings = SettingsOf(*doc.grid);
    s.values = ShareOrCopy(doc.grid->values, values);
    s.distances = ShareOrCopy(doc.grid->dataDistance, distances);
    s.emptyNodes = ShareOrCopy(doc.grid->emptyNodes, empty);
  }
  std::vector<std::shared_ptr<const PointBlock>> points;
  for (const DocumentSnapshot* other : shareWith) {
    if (!other) continue;
    points.push_back(other->primary);
    points.push_back(other->secondary);
  }
  s.primary = SharePoints(doc.primaryData.get(), points);
  s.secondary = SharePoints(doc.secondaryData.get(), points);
  s.contourInterval = doc.contourInterval;
  s.contourMinimum = doc.contourMinimum;
  s.contourMaximum = doc.contourMaximum;
  s.logScale = doc.logScale;
  s.variableSelection = doc.variableSelection;
  s.showStandardError = doc.showStandardError;
  s.layerIndex = doc.layerIndex;
  if (doc.krigingOptions) s.krigingOptions = *doc.krigingOptions;
  return s;
}

bool SameState(const DocumentSnapshot& a, const DocumentSnapshot& b) {
  const bool sameSettings = a.settings == b.settings || (a.settings && b.settings && *a.settings == *b.settings);
  return sameSettings && a.values == b.values && a.distances == b.distances && a.emptyNodes == b.emptyNodes &&
         a.primary == b.primary && a.secondary == b.secondary && a.contourInterval == b.contourInterval &&
         a.contourMinimum == b.contourMinimum && a.contourMaximum == b.contourMaximum && a.logScale == b.logScale &&
         a.variableSelection == b.variableSelection && a.showStandardError == b.showStandardError &&
         a.layerIndex == b.layerIndex && a.krigingOptions == b.krigingOptions;
}

void RestoreSnapshot(Document& doc, const DocumentSnapshot& s) {
  // Everything is built first: a failed allocation leaves the document as it was.
  std::unique_ptr<GridModel> grid;
  if (s.settings) {
    grid = std::make_unique<GridModel>(*s.settings);
    if (s.values) grid->values = *s.values;
    if (s.distances) grid->dataDistance = *s.distances;
    if (s.emptyNodes) grid->emptyNodes = *s.emptyNodes;
    if (doc.grid) CopyDrawnFields(*doc.grid, *grid);
  }
  std::unique_ptr<RandomData> primary = s.primary ? PointsFrom(*s.primary) : nullptr;
  std::unique_ptr<RandomData> secondary = s.secondary ? PointsFrom(*s.secondary) : nullptr;
  std::unique_ptr<KrigingOptions> options =
      s.krigingOptions ? std::make_unique<KrigingOptions>(*s.krigingOptions) : nullptr;

  if (grid) doc.grid = std::move(grid);
  if (primary) doc.primaryData = std::move(primary);
  doc.secondaryData = std::move(secondary);
  doc.krigingOptions = std::move(options);
  doc.contourInterval = s.contourInterval;
  doc.contourMinimum = s.contourMinimum;
  doc.contourMaximum = s.contourMaximum;
  doc.logScale = s.logScale;
  doc.variableSelection = s.variableSelection;
  doc.showStandardError = s.showStandardError;
  doc.layerIndex = s.layerIndex;
  doc.tracedBands.reset();
  doc.mapBitmapDirty = 1;
}

std::size_t SharedBytes(const std::vector<const DocumentSnapshot*>& snapshots) {
  std::set<const void*> counted;
  std::size_t bytes = 0;
  const auto add = [&](const void* block, std::size_t size) {
    if (block && counted.insert(block).second) bytes += size;
  };
  for (const DocumentSnapshot* s : snapshots) {
    if (!s) continue;
    if (s->values) add(s->values.get(), s->values->size() * sizeof(float));
    if (s->distances) add(s->distances.get(), s->distances->size() * sizeof(float));
    if (s->emptyNodes) add(s->emptyNodes.get(), s->emptyNodes->size());
    for (const PointBlock* block : {s->primary.get(), s->secondary.get()}) {
      if (!block) continue;
      std::size_t size = block->points.size() * sizeof(DataPoint);
      for (const std::string& label : block->labels) size += sizeof(std::string) + label.capacity();
      add(block, size);
    }
  }
  return bytes;
}

}  // namespace gridora
