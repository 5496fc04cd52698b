#pragma once
// Contour polylines written through GDAL's vector drivers for GIS and CAD users:
// DXF (each level on its own layer, named after its value, polylines at the level's
// elevation), GeoPackage and GeoJSON (one line feature per polyline, its level in the
// attribute `level`).
#include <optional>
#include <string>
#include <vector>

#include "gridops/contour_lines.h"

namespace gridora {

enum class ContourFormat { Dxf, GeoPackage, GeoJson };

// The format a file name's extension implies (.dxf, .gpkg, .geojson/.json), or nothing.
std::optional<ContourFormat> ContourFormatFromPath(const std::string& path);

// The text a level is known by: the DXF layer name ("%.6g").
std::string LevelName(double level);

// Writes the lines; `crs` (EPSG code or WKT, may be empty) goes into formats that keep
// one. False: `problem` says why, and the file that was there before is intact.
bool ExportContours(const std::vector<ContourLine>& lines, const std::string& path, ContourFormat format,
                    const std::string& crs, std::string& problem);

}  // namespace gridora
