#pragma once
// A second grid for grid math or as the lower surface of a volume: a document file
// (by its name or its layout, as File > Open decides) or a raster of the formats the
// raster import reads, brought onto the nodes of the document's grid by bilinear
// resampling (ResampleBilinear). Its empty nodes are those its own map would leave
// blank (HiddenNodes: a raster's no-data pixels among them); a node of the document's
// grid outside the second grid's nodes, or beside an empty one, is empty.
#include <string>

#include "document/node_layout.h"
#include "gridops/grid_values.h"

namespace gridora {

// Reads `path` and resamples layer 0 onto `nodes`. False with a problem text naming the
// file when it cannot be read, holds no grid, or lies wholly outside `nodes` (every
// resampled node empty); `result` is then untouched.
bool ReadSecondGrid(const std::string& path, const NodeLayout& nodes, GridResult& result, std::string& problem);

// What the file dialog offers.
inline constexpr const char* kSecondGridFilter = "*.snp *.tif *.tiff *.asc *.grd *.nc";

}  // namespace gridora
