#include "exchange/grid_export.h"

#include <cpl_string.h>
#include <gdal_priv.h>
#include <ogr_spatialref.h>

#include <fmt/printf.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <memory>

#include "document/grid_model.h"
#include "document/hidden_nodes.h"
#include "exchange/crs_text.h"
#include "exchange/gdal_session.h"
#include "exchange/staged_output.h"

namespace gridora {
namespace {

namespace fs = std::filesystem;

struct FormatInfo {
  GridFormat format;
  const char* driver;  // GDAL's short name
  bool multiBand;
};

constexpr std::array<FormatInfo, 5> kFormats = {{
    {GridFormat::GeoTiff, "GTiff", true},
    {GridFormat::AsciiGrid, "AAIGrid", false},
    {GridFormat::SurferAscii, "GSAG", false},
    {GridFormat::SurferBinary, "GSBG", false},
    {GridFormat::NetCdf, "netCDF", true},
}};

const FormatInfo& Info(GridFormat format) {
  return *std::find_if(kFormats.begin(), kFormats.end(), [format](const FormatInfo& f) { return f.format == format; });
}

struct DatasetCloser {
  void operator()(GDALDataset* dataset) const { GDALClose(dataset); }
};
using Dataset = std::unique_ptr<GDALDataset, DatasetCloser>;

// The band of one layer, north row first, hidden nodes set to `noData`.
std::vector<float> NorthUpRows(const GridModel& grid, int layer, const HiddenNodes& hidden, float noData) {
  std::vector<float> rows(grid.NodeCount());
  for (int iy = 0; iy < grid.NY; ++iy) {
    float* row = rows.data() + static_cast<std::size_t>(grid.NY - 1 - iy) * grid.NX;
    for (int ix = 0; ix < grid.NX; ++ix) row[ix] = hidden.Hidden(ix, iy) ? noData : grid.Value(layer, ix, iy);
  }
  return rows;
}

// Writes one file at `stagedPath`; messages name `path`, where it will be.
bool WriteOneFile(const GridModel& grid, const HiddenNodes& hidden, const std::vector<int>& layers,
                  const GridExportRequest& request, const OGRSpatialReference* reference, const std::string& path,
                  const std::string& stagedPath, std::string& problem) {
  GdalErrorCapture errors;
  const FormatInfo& info = Info(request.format);
  GDALDriver* driver = GetGDALDriverManager()->GetDriverByName(info.driver);
  GDALDriver* memory = GetGDALDriverManager()->GetDriverByName("MEM");
  if (!driver || !memory) {
    problem = fmt::sprintf("Cannot write %s: the GDAL driver %s is not available.", path, info.driver);
    return false;
  }
  const float noData = NoDataValue(request.format);
  Dataset source(memory->Create("", grid.NX, grid.NY, static_cast<int>(layers.size()), GDT_Float32, nullptr));
  if (!source) {
    problem = fmt::sprintf("Cannot write %s: %s", path, errors.Last("not enough memory for the grid."));
    return false;
  }
  const double dx = grid.DX, dy = grid.DY;
  const double north = static_cast<double>(grid.y0) + (grid.NY - 1) * dy + dy / 2.0;
  double transform[6] = {static_cast<double>(grid.x0) - dx / 2.0, dx, 0.0, north, 0.0, -dy};
  source->SetGeoTransform(transform);
  if (reference) source->SetSpatialRef(reference);
  for (std::size_t b = 0; b < layers.size(); ++b) {
    std::vector<float> rows = NorthUpRows(grid, layers[b], hidden, noData);
    GDALRasterBand* band = source->GetRasterBand(static_cast<int>(b) + 1);
    band->SetNoDataValue(noData);
    band->SetDescription(layers[b] == 0 ? "estimate" : "standard_error");
    if (band->RasterIO(GF_Write, 0, 0, grid.NX, grid.NY, rows.data(), grid.NX, grid.NY, GDT_Float32, 0, 0) != CE_None) {
      problem = fmt::sprintf("Cannot write %s: %s", path, errors.Last("the grid could not be copied."));
      return false;
    }
  }

  CPLStringList options;
  if (request.format == GridFormat::GeoTiff) options.AddString("COMPRESS=NONE");
  Dataset copy(driver->CreateCopy(stagedPath.c_str(), source.get(), FALSE, options.List(), nullptr, nullptr));
  if (!copy) {
    problem = fmt::sprintf("Cannot write %s: %s", path, errors.Last("GDAL could not create the file."));
    return false;
  }
  copy->FlushCache();
  const bool flushed = copy->GetRasterBand(1) != nullptr && CPLGetLastErrorType() < CE_Failure;
  copy.reset();  // closing writes the rest of the file
  if (!flushed || !errors.Last("").empty()) {
    problem = fmt::sprintf("Cannot write %s: %s", path, errors.Last("GDAL could not finish the file."));
    return false;
  }
  return true;
}

std::string ErrorFilePath(const std::string& path) {
  fs::path p(path);
  return (p.parent_path() / (p.stem().string() + "_error" + p.extension().string())).string();
}

}  // namespace

bool ExportGrid(const GridModel& grid, const GridExportRequest& request, std::vector<std::string>& written,
                std::string& problem) {
  EnsureGdalDrivers();
  written.clear();
  if (grid.NX < 2 || grid.NY < 2 || grid.layerCount < 1 || grid.values.size() < grid.NodeCount()) {
    problem = "There is no grid to export.";
    return false;
  }
  if (!(grid.DX > 0.0f) || !(grid.DY > 0.0f)) {
    problem = fmt::sprintf("Cannot export the grid: its spacing DX = %g, DY = %g is not positive.",
                           static_cast<double>(grid.DX), static_cast<double>(grid.DY));
    return false;
  }
  if (request.format == GridFormat::AsciiGrid && grid.DX != grid.DY) {
    problem = fmt::sprintf(
        "An ESRI ASCII grid needs square cells, and this grid's spacing is DX = %g, DY = %g. "
        "Export it as GeoTIFF, Surfer or netCDF instead.",
        static_cast<double>(grid.DX), static_cast<double>(grid.DY));
    return false;
  }
  const int errorLayer = StandardErrorLayer(grid);
  if (request.layer != GridLayer::Estimate && errorLayer < 0) {
    problem = "This grid has no standard-error layer: run kriging prediction first, or export the estimate.";
    return false;
  }

  const HiddenNodes hidden(grid);
  std::vector<std::pair<std::string, std::vector<int>>> files;
  switch (request.layer) {
    case GridLayer::Estimate: files.push_back({request.path, {0}}); break;
    case GridLayer::Error: files.push_back({request.path, {errorLayer}}); break;
    case GridLayer::Both:
      if (Info(request.format).multiBand)
        files.push_back({request.path, {0, errorLayer}});
      else
        files = {{request.path, {0}}, {ErrorFilePath(request.path), {errorLayer}}};
      break;
  }
  OGRSpatialReference reference;
  if (!request.crs.empty()) {
    std::string why;
    if (!ParseCrs(request.crs, reference, why)) {
      problem = fmt::sprintf("Cannot write %s: %s", request.path, why);
      return false;
    }
  }
  // Every file is written aside first and all of them replace the old ones together: a
  // second file that cannot be written leaves the first target as it was.
  std::vector<fs::path> targets;
  for (const auto& file : files) targets.emplace_back(file.first);
  StagedOutput staged(targets);
  if (!staged.Open(problem)) return false;
  for (std::size_t k = 0; k < files.size(); ++k)
    if (!WriteOneFile(grid, hidden, files[k].second, request, request.crs.empty() ? nullptr : &reference,
                      files[k].first, staged.Staged(k).string(), problem))
      return false;
  if (!staged.Commit(problem)) return false;
  for (const auto& file : files) written.push_back(file.first);
  return true;
}

}  // namespace gridora
