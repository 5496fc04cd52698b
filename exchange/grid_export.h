#pragma once
// The grid written through GDAL for GIS users: GeoTIFF (float32), ESRI ASCII grid,
// Surfer ASCII and binary grids, netCDF (CF, with x and y coordinate variables).
//
// Each node sits at the centre of its pixel, north up: the raster's origin lies half a
// cell outside the first node, and the grid's rows, stored from south to north, are
// handed to GDAL from north to south; each driver then stores them in its own order.
// Nodes the map hides (beyond the maximum distance, outside the data's hull) are
// written as the file's no-data value.
#include <optional>
#include <string>
#include <vector>

namespace gridora {

struct GridModel;

enum class GridFormat { GeoTiff, AsciiGrid, SurferAscii, SurferBinary, NetCdf };
enum class GridLayer { Estimate, Error, Both };

// The format a word of the batch key `format` names ("gtiff", "aaigrid", "gsag",
// "gsbg", "netcdf"), or nothing.
std::optional<GridFormat> GridFormatFromName(const std::string& name);
// The format a file name's extension implies (.tif/.tiff, .asc, .grd: Surfer binary,
// .nc), or nothing.
std::optional<GridFormat> GridFormatFromPath(const std::string& path);
std::optional<GridLayer> GridLayerFromName(const std::string& name);

// The no-data value written for hidden nodes: Surfer's blank value in Surfer grids,
// -9999 elsewhere.
float NoDataValue(GridFormat format);

// The grid layer holding the kriging standard error, or -1 when the grid has none.
// It is the grid's second layer.
int StandardErrorLayer(const GridModel& grid);

struct GridExportRequest {
  std::string path;
  GridFormat format = GridFormat::GeoTiff;
  GridLayer layer = GridLayer::Estimate;
  std::string crs;  // EPSG code ("EPSG:6677") or WKT; empty: none written
};

// Writes the grid. `written` receives the paths of the grid files (a single-band format
// asked for both layers writes the standard error to a second file, "<name>_error.<ext>").
// False: `problem` says why, and every file that was there before is intact.
bool ExportGrid(const GridModel& grid, const GridExportRequest& request, std::vector<std::string>& written,
                std::string& problem);

}  // namespace gridora
