#pragma once
// The document's grid as the Grid menu's commands see it, and the one way they give it
// a new grid.
//
// The commands work on layer 0 (the estimate). A node counts as empty when the map
// leaves it blank and the grid exports write it as no-data (HiddenNodes: no estimate,
// a raster's no-data pixel, farther from the data than the maximum distance while
// that is on, outside the enlarged hull while that is on), so a volume or a filter
// takes exactly the nodes the user sees and an exported grid holds.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "commands/command_table.h"
#include "gridops/grid_values.h"

namespace gridora {

class Document;
struct GridModel;

// Layer 0 of `grid` and its empty nodes. `mask` keeps the empty flags the view points
// to (left empty when no node is hidden); it must outlive the view, and so must `grid`.
GridValues EstimateOf(const GridModel& grid, std::vector<std::uint8_t>& mask);

// The grid has values on at least one node.
bool HasGrid(const CommandContext& context);
// The update rules: a grid; a grid and at least one point.
UpdateRule WhenGridHasValues();
UpdateRule WhenGridAndPoints();

// A result with a value on no node is refused with this text (a grid of only empty
// nodes can be neither shown nor saved); "" when some node has a value.
std::string EveryNodeEmptyProblem(const GridResult& result, const std::string& why);

// Makes `result` (on the grid's own nodes) the document's grid: one layer (a standard
// error layer of the old grid does not belong to the new values and goes), the empty
// nodes as the grid's empty-node mask, the range from the nodes with values; empty
// nodes take the lowest value, as a raster's no-data pixels do, so that the colour
// levels follow the data. Everything else the grid holds (origin, spacing, distances
// to the data, titles, levels, labels) stays. Every change of the grid by the Grid
// menu goes through here, and nothing changes before it: the new storage is made
// first and swapped in at once, so running out of memory leaves the old grid whole.
void ReplaceDocumentGrid(Document& doc, GridResult& result);

// "N nodes with values, M empty" for the completion messages.
std::string NodeCountText(const GridResult& result);

}  // namespace gridora
