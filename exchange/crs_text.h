#pragma once
// The coordinate reference system a user names for an export, parsed without reading a
// file or asking the network: an authority code (EPSG:6677, ESRI:102100) or WKT text.
// Anything else (a path, a URL, a PROJ string that may pull grids or init files) is
// refused, and the parse itself runs with GDAL's file and network access switched off.
#include <string>

class OGRSpatialReference;

namespace gridora {

// Sets `reference` from `text` (blanks around it ignored), axes in x/y order. False
// when the text is not one of the accepted forms or names no known system; `why` then
// says so in words for the user ("the coordinate reference system "TEXT" is not
// known...").
bool ParseCrs(const std::string& text, OGRSpatialReference& reference, std::string& why);

}  // namespace gridora
