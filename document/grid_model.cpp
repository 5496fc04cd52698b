#include "document/grid_model.h"

#include <new>

#include "document/grid_labels.h"
#include "platform/huge_pages.h"
#include "platform/profile.h"

namespace gridora {

void GridModel::ResetGrid(Profile& profile) {
  float cellX = 1.0f, cellY = 1.0f;
  ReadProfileFloat(profile, "CellSizeXOrg", cellX);
  ReadProfileFloat(profile, "CellSizeYOrg", cellY);
  DX = cellX;
  DY = cellY;
  nxInWindow = nyInWindow = -1;
  layerCount = 0;
  NX = NY = 0;
  scaleX = scaleY = 1.0f;
  x0 = y0 = 0.0;
  xLastDrawn = yLastDrawn = 0.0f;
  reserved4 = 0;
  userLevels = 0;
  axisFixed = 0;
  reverseColors = 0;
  showRandomData = 1;
  hideFarNodes = 0;
  maxDistance = 10000000.0f;
  xStart = xEnd = xInterval = 0.0f;
  yStart = yEnd = yInterval = 0.0f;
  xTickCount = yTickCount = 0;
  xTitle = "X";
  yTitle = "Y";
  xLabelsOn = yLabelsOn = 0;
  xLabels.clear();
  yLabels.clear();
  mapColorMode = 0;
}

bool GridModel::AllocateGrid() {
  if (layerCount < 0 || NX < 0 || NY < 0) return false;
  const std::size_t nodes = NodeCount();
  emptyNodes.clear();
  const std::size_t layers = static_cast<std::size_t>(layerCount);
  if (nodes > kMaximumGridValues || (layers != 0 && nodes > kMaximumGridValues / layers)) return false;
  try {
    std::vector<float> newValues, newDistance;
    AssignOnHugePages(newValues, layers * nodes, 0.0f);
    AssignOnHugePages(newDistance, nodes, 1.0e7f);
    std::vector<float> newMinimum(layers, 0.0f);
    std::vector<float> newMaximum(layers, 0.0f);
    values.swap(newValues);
    dataDistance.swap(newDistance);
    layerMinimum.swap(newMinimum);
    layerMaximum.swap(newMaximum);
  } catch (const std::bad_alloc&) {
    return false;
  } catch (const std::length_error&) {
    return false;
  }
  return true;
}

bool GridModel::Reshape(int layers, int nx, int ny) {
  const int oldLayers = layerCount, oldNX = NX, oldNY = NY;
  layerCount = layers;
  NX = nx;
  NY = ny;
  if (AllocateGrid()) {
    DropLabelsIfShapeChanged(*this, oldNX, oldNY);
    return true;
  }
  layerCount = oldLayers;
  NX = oldNX;
  NY = oldNY;
  return false;
}

void GridModel::ComputeLayerRange(int layer) {
  if (layer < 0 || layer >= layerCount) return;
  if (layerMinimum.size() <= static_cast<std::size_t>(layer) ||
      values.size() < static_cast<std::size_t>(layer + 1) * NodeCount())
    return;
  float minimum = 1.0e10f, maximum = -1.0e10f;
  const float* value = Column(layer, 0);
  const float* end = value + NodeCount();
  for (; value != end; ++value) {
    if (*value > maximum) maximum = *value;
    if (*value < minimum) minimum = *value;
  }
  layerMinimum[layer] = minimum;
  layerMaximum[layer] = maximum;
}

void GridModel::ReleaseGrid() {
  std::vector<float>().swap(values);
  std::vector<float>().swap(dataDistance);
  std::vector<float>().swap(layerMinimum);
  std::vector<float>().swap(layerMaximum);
  xLabels.clear();
  yLabels.clear();
}

std::unique_ptr<GridModel> CreateGridModel(Profile& profile) {
  auto grid = std::make_unique<GridModel>();
  grid->contourLevels = ContourLevels{};
  grid->ResetGrid(profile);
  return grid;
}

}  // namespace gridora
