#include "gridcommands/document_grid.h"

#include <fmt/format.h>

#include <algorithm>
#include <limits>
#include <utility>

#include "document/grid_model.h"
#include "document/hidden_nodes.h"
#include "platform/count_text.h"
#include "view/document.h"

namespace gridora {

GridValues EstimateOf(const GridModel& grid, std::vector<std::uint8_t>& mask) {
  mask = HiddenNodes(grid).Mask();
  GridValues view;
  view.layout = grid.Layout();
  view.values = grid.values.size() >= grid.NodeCount() && grid.NodeCount() > 0 ? grid.values.data() : nullptr;
  view.empty = mask.empty() ? nullptr : mask.data();
  return view;
}

bool HasGrid(const CommandContext& c) {
  const GridModel& grid = *c.doc.grid;
  return grid.NX >= 1 && grid.NY >= 1 && grid.layerCount >= 1 && grid.values.size() >= grid.NodeCount();
}

UpdateRule WhenGridHasValues() {
  return [](const CommandContext& c, CommandState& s) { s.enabled = HasGrid(c); };
}

UpdateRule WhenGridAndPoints() {
  return [](const CommandContext& c, CommandState& s) {
    s.enabled = HasGrid(c) && c.doc.primaryData && c.doc.primaryData->count >= 1;
  };
}

std::string EveryNodeEmptyProblem(const GridResult& result, const std::string& why) {
  if (result.emptyCount < result.values.size()) return {};
  return fmt::format("Every node of the result would be empty ({}). The grid is unchanged.", why);
}

void ReplaceDocumentGrid(Document& doc, GridResult& result) {
  GridModel& grid = *doc.grid;
  float lowest = std::numeric_limits<float>::max(), highest = std::numeric_limits<float>::lowest();
  const bool anyEmpty = result.emptyCount > 0 && result.empty.size() == result.values.size();
  for (std::size_t k = 0; k < result.values.size(); ++k) {
    if (anyEmpty && result.empty[k] != 0) continue;
    lowest = std::min(lowest, result.values[k]);
    highest = std::max(highest, result.values[k]);
  }
  if (lowest > highest) lowest = highest = 0.0f;  // no value at all: callers refuse this first
  if (anyEmpty)
    for (std::size_t k = 0; k < result.values.size(); ++k)
      if (result.empty[k] != 0) result.values[k] = lowest;

  // Everything that may fail to allocate is made before the first change.
  std::vector<float> minimum{lowest}, maximum{highest};
  std::vector<std::uint8_t> empty;
  if (anyEmpty) empty = std::move(result.empty);

  grid.layerCount = 1;
  grid.values.swap(result.values);
  grid.emptyNodes.swap(empty);
  grid.layerMinimum.swap(minimum);
  grid.layerMaximum.swap(maximum);
  doc.layerIndex = 0;
  doc.mapBitmapDirty = 1;
}

std::string NodeCountText(const GridResult& result) {
  const std::size_t empty = result.emptyCount;
  const std::size_t withValues = result.values.size() - empty;
  return fmt::format("{} with values, {} empty", GroupedCount(withValues) + (withValues == 1 ? " node" : " nodes"),
                     GroupedCount(empty));
}

}  // namespace gridora
