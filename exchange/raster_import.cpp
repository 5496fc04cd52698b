#include "exchange/raster_import.h"

#include <gdal_priv.h>

#include <fmt/printf.h>

#include <cmath>
#include <limits>
#include <memory>

#include "document/grid_model.h"
#include "exchange/gdal_session.h"

namespace gridora {
namespace {

struct DatasetCloser {
  void operator()(GDALDataset* dataset) const { GDALClose(dataset); }
};

// Far beyond any maximum distance a user sets: the node is hidden whenever hiding is on.
constexpr float kNoDataDistance = std::numeric_limits<float>::max();

}  // namespace

bool ReadRasterGrid(GridModel& grid, const std::string& path, std::string& problem) {
  EnsureGdalDrivers();
  GdalErrorCapture errors;
  std::unique_ptr<GDALDataset, DatasetCloser> dataset(
      GDALDataset::Open(path.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY));
  if (!dataset) {
    problem = fmt::sprintf("Cannot open %s as a raster: %s", path, errors.Last("GDAL does not recognise it."));
    return false;
  }
  const int bands = dataset->GetRasterCount();
  if (bands != 1) {
    problem = bands == 0
                  ? fmt::sprintf(
                        "%s holds no raster band (a netCDF file with several variables must be "
                        "opened as one of its subdatasets).",
                        path)
                  : fmt::sprintf("%s has %d bands; only a single-band raster can be opened as a grid.", path, bands);
    return false;
  }
  const int nx = dataset->GetRasterXSize(), ny = dataset->GetRasterYSize();
  if (nx < 2 || ny < 2) {
    problem = fmt::sprintf("%s is %d x %d pixels; a grid needs at least 2 x 2.", path, nx, ny);
    return false;
  }
  double t[6] = {0.0, 1.0, 0.0, 0.0, 0.0, 1.0};
  if (dataset->GetGeoTransform(t) != CE_None) {
    problem = fmt::sprintf("%s has no georeferencing: its pixels have no coordinates.", path);
    return false;
  }
  if (t[2] != 0.0 || t[4] != 0.0) {
    problem = fmt::sprintf(
        "%s is rotated or sheared (its geotransform has terms %g and %g); only north-up "
        "rasters can be opened as a grid.",
        path, t[2], t[4]);
    return false;
  }
  if (!(t[1] > 0.0) || t[5] == 0.0 || !std::isfinite(t[5])) {
    problem = fmt::sprintf("%s has a pixel size of %g x %g; a grid needs a positive spacing.", path, t[1], t[5]);
    return false;
  }

  GridModel read;
  read.layerCount = 1;
  read.NX = nx;
  read.NY = ny;
  if (static_cast<std::size_t>(nx) * static_cast<std::size_t>(ny) > kMaximumGridValues || !read.AllocateGrid()) {
    problem = fmt::sprintf("Cannot open %s: a grid of %d x %d nodes is too large for this computer.", path, nx, ny);
    return false;
  }
  GDALRasterBand* band = dataset->GetRasterBand(1);
  int hasNoData = 0;
  const double noData = band->GetNoDataValue(&hasNoData);
  std::vector<float> row(static_cast<std::size_t>(nx));
  const bool southFirst = t[5] > 0.0;
  float lowest = std::numeric_limits<float>::max();
  bool anyHidden = false;
  for (int r = 0; r < ny; ++r) {
    if (band->RasterIO(GF_Read, 0, r, nx, 1, row.data(), nx, 1, GDT_Float32, 0, 0) != CE_None) {
      problem = fmt::sprintf("Cannot read %s: %s", path, errors.Last("a row of the raster could not be read."));
      return false;
    }
    const int iy = southFirst ? r : ny - 1 - r;
    for (int ix = 0; ix < nx; ++ix) {
      const float value = row[static_cast<std::size_t>(ix)];
      const bool missing = !std::isfinite(value) || (hasNoData && static_cast<float>(noData) == value);
      read.Value(0, ix, iy) = value;
      read.Distance(ix, iy) = missing ? kNoDataDistance : 0.0f;
      anyHidden = anyHidden || missing;
      if (!missing) lowest = std::min(lowest, value);
    }
  }
  if (lowest == std::numeric_limits<float>::max()) {
    problem = fmt::sprintf("%s holds no value: every pixel is no-data.", path);
    return false;
  }
  // Hidden nodes take the lowest value, so the ranges and the colour levels follow the data.
  for (int ix = 0; ix < nx; ++ix)
    for (int iy = 0; iy < ny; ++iy)
      if (read.Distance(ix, iy) == kNoDataDistance) read.Value(0, ix, iy) = lowest;

  const double dy = std::abs(t[5]);
  grid.layerCount = 1;
  grid.NX = nx;
  grid.NY = ny;
  grid.DX = static_cast<float>(t[1]);
  grid.DY = static_cast<float>(dy);
  grid.x0 = static_cast<float>(t[0] + t[1] / 2.0);
  grid.y0 = static_cast<float>(southFirst ? t[3] + dy / 2.0 : t[3] - (ny - 0.5) * dy);
  grid.values.swap(read.values);
  grid.dataDistance.swap(read.dataDistance);
  grid.emptyNodes.swap(read.emptyNodes);
  grid.layerMinimum.swap(read.layerMinimum);
  grid.layerMaximum.swap(read.layerMaximum);
  grid.hideFarNodes = anyHidden ? 1 : grid.hideFarNodes;
  grid.ComputeLayerRange(0);
  return true;
}

}  // namespace gridora
