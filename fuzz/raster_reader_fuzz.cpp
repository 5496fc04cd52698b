// The raster reader on arbitrary bytes, through GDAL's drivers of the formats the
// program reads (ASCII grids, Surfer grids, GeoTIFF, netCDF: GDAL tells them by their
// content). A grid read has a positive spacing, finite origin and values, and the
// nodes it hides are only those GDAL called no-data.
#include <cmath>

#include "document/grid_model.h"
#include "exchange/raster_import.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace gridora;
  GridModel grid;
  std::string problem;
  if (!ReadRasterGrid(grid, gridora::fuzz::ScratchFile(data, size), problem)) {
    fuzz::Require(!problem.empty(), "a refusal says why");
    return 0;
  }
  fuzz::Require(grid.NX >= 2 && grid.NY >= 2, "a grid of at least 2 x 2");
  fuzz::Require(grid.DX > 0 && grid.DY > 0 && std::isfinite(grid.DX) && std::isfinite(grid.DY), "a positive spacing");
  fuzz::Require(std::isfinite(grid.x0) && std::isfinite(grid.y0), "a finite origin");
  fuzz::Require(std::isfinite(grid.x0 + (grid.NX - 1) * grid.DX) && std::isfinite(grid.y0 + (grid.NY - 1) * grid.DY),
                "finite far nodes");
  for (float value : grid.values) fuzz::Require(std::isfinite(value), "finite values");
  return 0;
}
