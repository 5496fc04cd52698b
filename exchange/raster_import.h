#pragma once
// A single-band raster read through GDAL as a grid: each pixel becomes the node at its
// centre, so the geotransform gives x0, y0, DX and DY. No-data pixels are kept as
// hidden nodes: their distance to the data is set beyond any maximum distance and the
// grid's "hide far nodes" is switched on. A byte band marked signed reads as -128..127.
//
// What is read is confined to the formats the program names: GeoTIFF, ESRI ASCII grid,
// netCDF and Surfer grids (GDAL's GTiff, AAIGrid, netCDF, GSAG, GSBG and GS7BG drivers
// only, so no VRT or other file that names further files). The name must be a regular
// file: no /vsi... name (archives, memory, network), no URL, no FIFO or device. A file
// with subdatasets is refused, and no side file is looked for (.aux.xml, overviews,
// masks, world files: ConfinedGdalRead). Refused with a message: georeferencing that is
// rotated or sheared, not finite, of zero spacing or beyond the numbers a grid holds,
// and a grid larger than the memory this computer can spare now.
#include <string>

namespace gridora {

struct GridModel;

// Fills `grid`'s shape, spacing, origin and values (one layer, ranges computed), and
// nothing else. False: `problem` says why and `grid` is unchanged.
bool ReadRasterGrid(GridModel& grid, const std::string& path, std::string& problem);

}  // namespace gridora
