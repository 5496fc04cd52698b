#include "exchange/raster_import.h"

#include <gdal_priv.h>

#include <fmt/printf.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <memory>
#include <type_traits>

#include "document/grid_model.h"
#include "exchange/gdal_session.h"
#include "platform/memory_budget.h"
#include "platform/regular_file.h"

namespace gridora {
namespace {

struct DatasetCloser {
  void operator()(GDALDataset* dataset) const { GDALClose(dataset); }
};

// Far beyond any maximum distance a user sets: the node is hidden whenever hiding is on.
constexpr float kNoDataDistance = std::numeric_limits<float>::max();

// The drivers of the formats the program reads; GDALOpenEx tries no other.
const char* const kRasterDrivers[] = {"GTiff", "AAIGrid", "netCDF", "GSAG", "GSBG", "GS7BG", nullptr};

// The type the grid keeps its origin and spacing in.
using Coordinate = std::remove_cv_t<decltype(GridModel::DX)>;

bool FitsCoordinate(double value) {
  return std::isfinite(value) && std::fabs(value) <= static_cast<double>(std::numeric_limits<Coordinate>::max());
}

// Why the geotransform `t` of an nx x ny raster cannot place a grid; empty when it can.
std::string GeoreferencingRefusal(const std::string& path, const double (&t)[6], int nx, int ny) {
  for (double term : t)
    if (!std::isfinite(term))
      return fmt::sprintf(
          "%s has georeferencing that is not finite (origin %g, %g; pixel size %g x %g); a grid needs finite "
          "coordinates.",
          path, t[0], t[3], t[1], t[5]);
  if (t[2] != 0.0 || t[4] != 0.0)
    return fmt::sprintf(
        "%s is rotated or sheared (its geotransform has terms %g and %g); only north-up "
        "rasters can be opened as a grid.",
        path, t[2], t[4]);
  // A spacing that is 0 once kept in the grid's numbers is no spacing.
  if (!(t[1] > 0.0) || t[5] == 0.0 || !(static_cast<Coordinate>(t[1]) > 0) ||
      !(static_cast<Coordinate>(std::fabs(t[5])) > 0))
    return fmt::sprintf("%s has a pixel size of %g x %g; a grid needs a positive spacing.", path, t[1], t[5]);
  // Every edge, and every node, must be a number the grid can hold.
  const double width = t[1] * nx, height = std::fabs(t[5]) * ny;
  const double west = t[0], east = t[0] + width;
  const double north = t[5] < 0.0 ? t[3] : t[3] + height, south = north - height;
  if (!FitsCoordinate(width) || !FitsCoordinate(height) || !FitsCoordinate(east) || !FitsCoordinate(south) ||
      !FitsCoordinate(west) || !FitsCoordinate(north) || !FitsCoordinate(t[1]) || !FitsCoordinate(t[5]))
    return fmt::sprintf("%s reaches beyond the numbers a grid can hold: %d x %d pixels of %g x %g from (%g, %g).", path,
                        nx, ny, t[1], t[5], t[0], t[3]);
  return {};
}

// A single byte band marked as signed (GDAL's PIXELTYPE=SIGNEDBYTE) holds -128..127.
bool IsSignedByte(GDALRasterBand& band) {
  if (band.GetRasterDataType() != GDT_Byte) return false;
  const char* pixelType = band.GetMetadataItem("PIXELTYPE", "IMAGE_STRUCTURE");
  return pixelType && std::string(pixelType) == "SIGNEDBYTE";
}

}  // namespace

bool ReadRasterGrid(GridModel& grid, const std::string& path, std::string& problem) {
  // GDAL's virtual file names reach into archives, memory and the network: only a file.
  if (path.rfind("/vsi", 0) == 0 || path.find("://") != std::string::npos) {
    problem = fmt::sprintf(
        "Cannot open %s as a raster: only a file on this computer can be opened (no /vsi... or network names).", path);
    return false;
  }
  std::string reason;
  if (!IsRegularFileToRead(path, reason)) {
    problem = fmt::sprintf("Cannot open %s as a raster: %s.", path, reason);
    return false;
  }
  // An absolute name leaves GDAL no prefix to read as a driver's syntax ("NETCDF:...").
  std::error_code error;
  const std::string opened = std::filesystem::absolute(path, error).string();
  if (error || opened.rfind("/vsi", 0) == 0) {
    problem = fmt::sprintf("Cannot open %s as a raster: only a file on this computer can be opened.", path);
    return false;
  }

  EnsureGdalDrivers();
  GdalErrorCapture errors;
  const ConfinedGdalRead confined;
  std::unique_ptr<GDALDataset, DatasetCloser> dataset(GDALDataset::FromHandle(
      GDALOpenEx(opened.c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY, kRasterDrivers, nullptr, nullptr)));
  if (!dataset) {
    problem =
        fmt::sprintf("Cannot open %s as a raster: %s", path,
                     errors.Last("it is not a GeoTIFF, ESRI ASCII grid, netCDF or Surfer grid that GDAL recognises."));
    return false;
  }
  // A file of several variables names each as a subdataset; reading one would open a
  // name taken from inside the file.
  if (CSLCount(dataset->GetMetadata("SUBDATASETS")) > 0) {
    problem = fmt::sprintf(
        "%s holds several rasters (subdatasets); only a file with a single raster band can be opened as a grid.", path);
    return false;
  }
  const int bands = dataset->GetRasterCount();
  if (bands != 1) {
    problem = bands == 0
                  ? fmt::sprintf(
                        "%s holds no raster band; only a file with a single raster band can be opened as a grid.", path)
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
  if (const std::string refusal = GeoreferencingRefusal(path, t, nx, ny); !refusal.empty()) {
    problem = refusal;
    return false;
  }

  const std::size_t nodes = static_cast<std::size_t>(nx) * static_cast<std::size_t>(ny);
  if (nodes > kMaximumGridValues) {
    problem = fmt::sprintf("Cannot open %s: a grid of %d x %d nodes is too large for this computer.", path, nx, ny);
    return false;
  }
  // The values and the distances of the new grid, beside the grid the document holds.
  const std::uint64_t needed = static_cast<std::uint64_t>(nodes) * 2 * sizeof(float);
  if (const std::optional<std::uint64_t> spare = SpareMemoryNow(); spare && needed > *spare) {
    problem = fmt::sprintf(
        "Cannot open %s: a grid of %d x %d nodes needs about %s of memory, more than the %s this computer can spare "
        "now.",
        path, nx, ny, NeededMemoryText(needed), SpareMemoryText(*spare));
    return false;
  }
  GridModel read;
  read.layerCount = 1;
  read.NX = nx;
  read.NY = ny;
  if (!read.AllocateGrid()) {
    problem = fmt::sprintf("Cannot open %s: a grid of %d x %d nodes is too large for this computer.", path, nx, ny);
    return false;
  }
  GDALRasterBand* band = dataset->GetRasterBand(1);
  int hasNoData = 0;
  const double noData = band->GetNoDataValue(&hasNoData);
  const bool signedBytes = IsSignedByte(*band);
  std::vector<float> row(static_cast<std::size_t>(nx));
  std::vector<std::uint8_t> bytes(signedBytes ? static_cast<std::size_t>(nx) : 0);
  const bool southFirst = t[5] > 0.0;
  float lowest = std::numeric_limits<float>::max();
  bool anyHidden = false;
  for (int r = 0; r < ny; ++r) {
    const CPLErr status = signedBytes ? band->RasterIO(GF_Read, 0, r, nx, 1, bytes.data(), nx, 1, GDT_Byte, 0, 0)
                                      : band->RasterIO(GF_Read, 0, r, nx, 1, row.data(), nx, 1, GDT_Float32, 0, 0);
    if (status != CE_None) {
      problem = fmt::sprintf("Cannot read %s: %s", path, errors.Last("a row of the raster could not be read."));
      return false;
    }
    if (signedBytes)
      for (int ix = 0; ix < nx; ++ix)
        row[static_cast<std::size_t>(ix)] =
            static_cast<float>(static_cast<std::int8_t>(bytes[static_cast<std::size_t>(ix)]));
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
  grid.DX = static_cast<Coordinate>(t[1]);
  grid.DY = static_cast<Coordinate>(dy);
  grid.x0 = static_cast<Coordinate>(t[0] + t[1] / 2.0);
  grid.y0 = static_cast<Coordinate>(southFirst ? t[3] + dy / 2.0 : t[3] - (ny - 0.5) * dy);
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
