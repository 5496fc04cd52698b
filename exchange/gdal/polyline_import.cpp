#include "exchange/polyline_import.h"

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

#include <fmt/printf.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>

#include "exchange/gdal_session.h"
#include "platform/regular_file.h"

namespace gridora {
namespace {

struct DatasetCloser {
  void operator()(GDALDataset* dataset) const { GDALClose(dataset); }
};

const char* const kLineDrivers[] = {"GPKG", "GeoJSON", "ESRI Shapefile", "DXF", nullptr};

// The vertices of one line string; false when one is not a finite number.
bool AddLine(const OGRSimpleCurve& curve, std::vector<Polyline>& lines) {
  Polyline line;
  line.vertices.reserve(static_cast<std::size_t>(std::max(0, curve.getNumPoints())));
  for (int k = 0; k < curve.getNumPoints(); ++k) {
    const double x = curve.getX(k), y = curve.getY(k);
    if (!std::isfinite(x) || !std::isfinite(y)) return false;
    line.vertices.push_back({x, y});
  }
  if (line.vertices.size() >= 2) lines.push_back(std::move(line));
  return true;
}

// Every line string inside `geometry`; false at a vertex that is not a finite number.
bool Collect(const OGRGeometry* geometry, std::vector<Polyline>& lines) {
  if (!geometry || geometry->IsEmpty()) return true;
  const OGRwkbGeometryType type = wkbFlatten(geometry->getGeometryType());
  if (type == wkbLineString || type == wkbLinearRing) return AddLine(*geometry->toSimpleCurve(), lines);
  if (type == wkbPolygon) {
    for (const OGRLinearRing* ring : *geometry->toPolygon())
      if (!AddLine(*ring, lines)) return false;
    return true;
  }
  if (OGR_GT_IsSubClassOf(type, wkbGeometryCollection)) {
    for (const OGRGeometry* part : *geometry->toGeometryCollection())
      if (!Collect(part, lines)) return false;
    return true;
  }
  if (geometry->hasCurveGeometry()) {
    const std::unique_ptr<OGRGeometry> linear(geometry->getLinearGeometry());
    return Collect(linear.get(), lines);
  }
  return true;  // points and the like: no line
}

}  // namespace

bool ReadGisLines(const std::string& path, std::vector<Polyline>& lines, std::string& problem) {
  // GDAL's virtual file names reach into archives, memory and the network: only a file.
  if (path.rfind("/vsi", 0) == 0 || path.find("://") != std::string::npos) {
    problem = fmt::sprintf("Cannot read lines from %s: only a file on this computer can be read.", path);
    return false;
  }
  std::string reason;
  if (!IsRegularFileToRead(path, reason)) {
    problem = fmt::sprintf("Cannot read lines from %s: %s.", path, reason);
    return false;
  }
  std::error_code error;
  const std::string opened = std::filesystem::absolute(path, error).string();
  if (error || opened.rfind("/vsi", 0) == 0) {
    problem = fmt::sprintf("Cannot read lines from %s: only a file on this computer can be read.", path);
    return false;
  }

  EnsureGdalDrivers();
  GdalErrorCapture errors;
  const ConfinedGdalRead confined;
  std::unique_ptr<GDALDataset, DatasetCloser> dataset(GDALDataset::FromHandle(
      GDALOpenEx(opened.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY, kLineDrivers, nullptr, nullptr)));
  if (!dataset) {
    problem = fmt::sprintf("Cannot read lines from %s: %s", path,
                           errors.Last("it is not a GeoPackage, GeoJSON, Shapefile or DXF file that GDAL recognises."));
    return false;
  }
  std::vector<Polyline> read;
  for (OGRLayer* layer : dataset->GetLayers()) {
    layer->ResetReading();
    for (const auto& feature : *layer)
      if (!Collect(feature->GetGeometryRef(), read)) {
        problem = fmt::sprintf("%s: a vertex of a line in layer %s is not a finite number.", path, layer->GetName());
        return false;
      }
  }
  if (read.empty()) {
    problem = fmt::sprintf("%s holds no line (no line string or polygon with two vertices or more).", path);
    return false;
  }
  lines = std::move(read);
  return true;
}

}  // namespace gridora
