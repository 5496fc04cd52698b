#pragma once
// Several grids of one layout as the bands of one GeoTIFF (float32): band k + 1 holds
// grid k (the realisations of a simulation). Placed as the grid exports place a grid
// (grid_export.h): each node at the centre of its pixel, north up; staged beside the
// target and moved into place when complete (staged_output.h).
#include <string>

#include "document/node_layout.h"

namespace gridora {

// `values` holds `bands` grids one after the other, each in NodeLayout::Index order.
// `bandName` prefixes the bands' descriptions ("realisation_1", ...). False: `problem`
// says why, and the file that was there before is intact.
bool ExportBandStack(const NodeLayout& layout, const float* values, int bands, const std::string& bandName,
                     const std::string& path, std::string& problem);

}  // namespace gridora
