// The file formats of the exchange by name and extension, and what each needs without
// GDAL: these answer before any GDAL code is loaded (gdal_module.h), so choosing a
// reader or checking a batch key never costs the loading of GDAL.
#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>

#include <fmt/printf.h>

#include "document/grid_model.h"
#include "exchange/contour_export.h"
#include "exchange/grid_export.h"
#include "exchange/polyline_import.h"

namespace gridora {
namespace {

struct GridFormatName {
  GridFormat format;
  const char* name;  // the batch word
};

constexpr std::array<GridFormatName, 5> kGridFormatNames = {{
    {GridFormat::GeoTiff, "gtiff"},
    {GridFormat::AsciiGrid, "aaigrid"},
    {GridFormat::SurferAscii, "gsag"},
    {GridFormat::SurferBinary, "gsbg"},
    {GridFormat::NetCdf, "netcdf"},
}};

// Surfer's own marker of a blank node.
constexpr float kSurferBlank = 1.70141e38f;
constexpr float kNoData = -9999.0f;

std::string LowerExtension(const std::string& path) {
  std::string extension = std::filesystem::path(path).extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return extension;
}

}  // namespace

std::optional<GridFormat> GridFormatFromName(const std::string& name) {
  for (const GridFormatName& f : kGridFormatNames)
    if (name == f.name) return f.format;
  return std::nullopt;
}

std::optional<GridFormat> GridFormatFromPath(const std::string& path) {
  const std::string extension = LowerExtension(path);
  if (extension == ".tif" || extension == ".tiff") return GridFormat::GeoTiff;
  if (extension == ".asc") return GridFormat::AsciiGrid;
  if (extension == ".grd") return GridFormat::SurferBinary;
  if (extension == ".nc") return GridFormat::NetCdf;
  return std::nullopt;
}

std::optional<GridLayer> GridLayerFromName(const std::string& name) {
  if (name == "estimate") return GridLayer::Estimate;
  if (name == "error") return GridLayer::Error;
  if (name == "both") return GridLayer::Both;
  return std::nullopt;
}

float NoDataValue(GridFormat format) {
  return format == GridFormat::SurferAscii || format == GridFormat::SurferBinary ? kSurferBlank : kNoData;
}

int StandardErrorLayer(const GridModel& grid) {
  return grid.layerCount >= 2 && grid.values.size() >= 2 * grid.NodeCount() ? 1 : -1;
}

std::optional<ContourFormat> ContourFormatFromPath(const std::string& path) {
  const std::string extension = LowerExtension(path);
  if (extension == ".dxf") return ContourFormat::Dxf;
  if (extension == ".gpkg") return ContourFormat::GeoPackage;
  if (extension == ".geojson" || extension == ".json") return ContourFormat::GeoJson;
  return std::nullopt;
}

std::string LevelName(double level) { return fmt::sprintf("%.6g", level); }

bool IsGisLineFile(const std::string& path) {
  const std::string extension = LowerExtension(path);
  return extension == ".gpkg" || extension == ".geojson" || extension == ".json" || extension == ".shp" ||
         extension == ".dxf";
}

}  // namespace gridora
