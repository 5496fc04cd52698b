#include "exchange/crs_text.h"

#include "exchange/gdal_session.h"

#include <ogr_spatialref.h>

#include <fmt/printf.h>

#include <algorithm>
#include <cctype>
#include <string_view>

namespace gridora {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

bool StartsWithNoCase(std::string_view text, std::string_view start) {
  return text.size() >= start.size() && std::equal(start.begin(), start.end(), text.begin(), [](char a, char b) {
           return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
         });
}

// "EPSG:6677", "ESRI:102100" (any case of the authority).
bool IsAuthorityCode(std::string_view text) {
  for (std::string_view authority : {"EPSG:", "ESRI:"}) {
    if (!StartsWithNoCase(text, authority)) continue;
    const std::string_view code = text.substr(authority.size());
    return !code.empty() && code.size() <= 9 &&
           std::all_of(code.begin(), code.end(), [](unsigned char c) { return std::isdigit(c) != 0; });
  }
  return false;
}

// WKT 1 or 2: a keyword of letters, digits and underscores, then '[' or '('.
bool LooksLikeWkt(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (std::isalnum(static_cast<unsigned char>(text[i])) || text[i] == '_')) ++i;
  return i > 0 && std::isalpha(static_cast<unsigned char>(text[0])) && i < text.size() &&
         (text[i] == '[' || text[i] == '(');
}

}  // namespace

bool ParseCrs(const std::string& text, OGRSpatialReference& reference, std::string& why) {
  const std::string_view form = Trimmed(text);
  if (!IsAuthorityCode(form) && !LooksLikeWkt(form)) {
    why = fmt::sprintf(
        "the coordinate reference system \"%s\" is not known: give an EPSG or ESRI code (EPSG:6677) or WKT text; "
        "files and web addresses are not read.",
        text);
    return false;
  }
  // The input is parsed as it is, never opened as a file or fetched from a URL; what
  // GDAL and PROJ say about it is kept from the console.
  const GdalErrorCapture quiet;
  const std::string input(form);
  if (reference.SetFromUserInput(input.c_str(), OGRSpatialReference::SET_FROM_USER_INPUT_LIMITATIONS_get()) !=
      OGRERR_NONE) {
    why = fmt::sprintf("the coordinate reference system \"%s\" is not known.", text);
    return false;
  }
  reference.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
  return true;
}

}  // namespace gridora
