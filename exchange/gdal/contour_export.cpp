#include "exchange/contour_export.h"

#include <gdal_priv.h>
#include <ogr_feature.h>
#include <ogr_geometry.h>
#include <ogr_spatialref.h>
#include <ogrsf_frmts.h>

#include <fmt/printf.h>

#include <algorithm>
#include <filesystem>
#include <memory>

#include "exchange/crs_text.h"
#include "exchange/gdal_session.h"
#include "exchange/staged_output.h"

namespace gridora {
namespace {

namespace fs = std::filesystem;

struct DatasetCloser {
  void operator()(GDALDataset* dataset) const { GDALClose(dataset); }
};

const char* DriverName(ContourFormat format) {
  switch (format) {
    case ContourFormat::Dxf: return "DXF";
    case ContourFormat::GeoPackage: return "GPKG";
    case ContourFormat::GeoJson: return "GeoJSON";
  }
  return "";
}

bool WriteLines(GDALDataset& dataset, const std::vector<ContourLine>& lines, ContourFormat format,
                const OGRSpatialReference* reference, std::string& problem, const GdalErrorCapture& errors) {
  const bool dxf = format == ContourFormat::Dxf;
  OGRLayer* layer = dataset.CreateLayer("contours", const_cast<OGRSpatialReference*>(reference),
                                        dxf ? wkbLineString25D : wkbLineString, nullptr);
  if (!layer) {
    problem = errors.Last("the contour layer could not be made.");
    return false;
  }
  if (!dxf) {
    OGRFieldDefn level("level", OFTReal);
    if (layer->CreateField(&level) != OGRERR_NONE) {
      problem = errors.Last("the level attribute could not be made.");
      return false;
    }
  }
  const bool transaction = !dxf && layer->StartTransaction() == OGRERR_NONE;
  for (const ContourLine& line : lines) {
    if (line.points.size() < 2) continue;
    OGRFeature feature(layer->GetLayerDefn());
    OGRLineString geometry;
    geometry.setNumPoints(static_cast<int>(line.points.size()), FALSE);
    for (std::size_t i = 0; i < line.points.size(); ++i) {
      if (dxf)
        geometry.setPoint(static_cast<int>(i), line.points[i].x, line.points[i].y, line.level);
      else
        geometry.setPoint(static_cast<int>(i), line.points[i].x, line.points[i].y);
    }
    feature.SetGeometry(&geometry);
    if (dxf)
      feature.SetField("Layer", LevelName(line.level).c_str());
    else
      feature.SetField("level", line.level);
    if (layer->CreateFeature(&feature) != OGRERR_NONE) {
      problem = errors.Last("a contour line could not be written.");
      return false;
    }
  }
  if (transaction && layer->CommitTransaction() != OGRERR_NONE) {
    problem = errors.Last("the contour lines could not be stored.");
    return false;
  }
  return true;
}

}  // namespace

bool ExportContours(const std::vector<ContourLine>& lines, const std::string& path, ContourFormat format,
                    const std::string& crs, std::string& problem) {
  EnsureGdalDrivers();
  GdalErrorCapture errors;
  GDALDriver* driver = GetGDALDriverManager()->GetDriverByName(DriverName(format));
  if (!driver) {
    problem = fmt::sprintf("Cannot write %s: the GDAL driver %s is not available.", path, DriverName(format));
    return false;
  }
  OGRSpatialReference reference;
  const bool referenced = !crs.empty();
  std::string why;
  if (referenced && !ParseCrs(crs, reference, why)) {
    problem = fmt::sprintf("Cannot write %s: %s", path, why);
    return false;
  }
  StagedOutput staged({fs::path(path)});
  if (!staged.Open(problem)) return false;
  const std::string stagedPath = staged.Staged(0).string();
  std::unique_ptr<GDALDataset, DatasetCloser> dataset(
      driver->Create(stagedPath.c_str(), 0, 0, 0, GDT_Unknown, nullptr));
  if (!dataset) {
    problem = fmt::sprintf("Cannot write %s: %s", path, errors.Last("GDAL could not create the file."));
    return false;
  }
  if (!WriteLines(*dataset, lines, format, referenced ? &reference : nullptr, why, errors)) {
    problem = fmt::sprintf("Cannot write %s: %s", path, why);
    return false;
  }
  dataset.reset();  // closing writes the rest of the file
  if (!errors.Last("").empty()) {
    problem = fmt::sprintf("Cannot write %s: %s", path, errors.Last(""));
    return false;
  }
  return staged.Commit(problem);
}

}  // namespace gridora
