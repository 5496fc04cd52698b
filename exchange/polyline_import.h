#pragma once
// Lines from GIS and CAD files: GeoPackage (.gpkg), GeoJSON (.geojson, .json), Shapefile
// (.shp with its .shx and .dbf) and DXF, through GDAL's drivers of those formats only,
// from a regular local file, confined to that file (gdal_session.h). Every line string
// of every layer is a line; a polygon gives its rings (closed lines); curves are
// approximated by GDAL's linear form; points are left out.
#include <string>
#include <vector>

#include "document/polyline.h"

namespace gridora {

// True when `path`'s extension is one of the formats above (case ignored).
bool IsGisLineFile(const std::string& path);

// Reads the lines into `lines`. False, with `problem` naming the file and what is wrong,
// and `lines` untouched: no such regular file, not a file of those formats, no line in
// it, a vertex that is not a finite number.
bool ReadGisLines(const std::string& path, std::vector<Polyline>& lines, std::string& problem);

}  // namespace gridora
