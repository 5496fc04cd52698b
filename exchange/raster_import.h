#pragma once
// A single-band raster read through GDAL (GeoTIFF, ESRI ASCII grid, netCDF, Surfer
// grids...) as a grid: each pixel becomes the node at its centre, so the geotransform
// gives x0, y0, DX and DY. A rotated or sheared geotransform is refused. No-data
// pixels are kept as hidden nodes: their distance to the data is set beyond any
// maximum distance and the grid's "hide far nodes" is switched on.
#include <string>

namespace gridora {

struct GridModel;

// Fills `grid`'s shape, spacing, origin and values (one layer, ranges computed), and
// nothing else. False: `problem` says why and `grid` is unchanged.
bool ReadRasterGrid(GridModel& grid, const std::string& path, std::string& problem);

}  // namespace gridora
