#include "exchange/band_stack_export.h"

#include <cpl_string.h>
#include <gdal_priv.h>

#include <fmt/printf.h>

#include <filesystem>
#include <memory>
#include <vector>

#include "exchange/gdal_session.h"
#include "exchange/staged_output.h"

namespace gridora {
namespace {

struct DatasetCloser {
  void operator()(GDALDataset* dataset) const { GDALClose(dataset); }
};
using Dataset = std::unique_ptr<GDALDataset, DatasetCloser>;

}  // namespace

bool ExportBandStack(const NodeLayout& layout, const float* values, int bands, const std::string& bandName,
                     const std::string& path, std::string& problem) {
  EnsureGdalDrivers();
  if (layout.nx < 1 || layout.ny < 1 || bands < 1 || !(layout.dx > 0.0) || !(layout.dy > 0.0)) {
    problem = fmt::sprintf("Cannot write %s: there is no grid to write.", path);
    return false;
  }
  StagedOutput staged({std::filesystem::path(path)});
  if (!staged.Open(problem)) return false;
  {
    GdalErrorCapture errors;
    GDALDriver* driver = GetGDALDriverManager()->GetDriverByName("GTiff");
    if (!driver) {
      problem = fmt::sprintf("Cannot write %s: the GDAL driver GTiff is not available.", path);
      return false;
    }
    CPLStringList options;
    options.AddString("COMPRESS=NONE");
    options.AddString("INTERLEAVE=BAND");
    options.AddString("BIGTIFF=IF_SAFER");
    Dataset file(
        driver->Create(staged.Staged(0).string().c_str(), layout.nx, layout.ny, bands, GDT_Float32, options.List()));
    if (!file) {
      problem = fmt::sprintf("Cannot write %s: %s", path, errors.Last("GDAL could not create the file."));
      return false;
    }
    const double north = layout.y0 + (layout.ny - 1) * layout.dy + layout.dy / 2.0;
    double transform[6] = {layout.x0 - layout.dx / 2.0, layout.dx, 0.0, north, 0.0, -layout.dy};
    file->SetGeoTransform(transform);
    const std::size_t nodes = layout.NodeCount();
    std::vector<float> rows(nodes);
    for (int b = 0; b < bands; ++b) {
      const float* grid = values + static_cast<std::size_t>(b) * nodes;
      for (int iy = 0; iy < layout.ny; ++iy) {
        float* row = rows.data() + static_cast<std::size_t>(layout.ny - 1 - iy) * static_cast<std::size_t>(layout.nx);
        for (int ix = 0; ix < layout.nx; ++ix) row[ix] = grid[layout.Index(ix, iy)];
      }
      GDALRasterBand* band = file->GetRasterBand(b + 1);
      band->SetDescription(fmt::sprintf("%s_%d", bandName, b + 1).c_str());
      if (band->RasterIO(GF_Write, 0, 0, layout.nx, layout.ny, rows.data(), layout.nx, layout.ny, GDT_Float32, 0, 0) !=
          CE_None) {
        problem = fmt::sprintf("Cannot write %s: %s", path,
                               errors.Last(fmt::sprintf("band %d could not be written.", b + 1)));
        return false;
      }
    }
    file->FlushCache();
    const bool flushed = CPLGetLastErrorType() < CE_Failure;
    file.reset();
    if (!flushed || !errors.Last("").empty()) {
      problem = fmt::sprintf("Cannot write %s: %s", path, errors.Last("GDAL could not finish the file."));
      return false;
    }
  }
  return staged.Commit(problem);
}

}  // namespace gridora
