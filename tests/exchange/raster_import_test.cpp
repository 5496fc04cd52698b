// Rasters written by GDAL itself, read as grids.
#include "exchange/raster_import.h"

#include <gdal_priv.h>
#include <gtest/gtest.h>

#include "document/grid_model.h"
#include "exchange/gdal_session.h"
#include "support/test_support.h"

namespace gridora {
namespace {

using test::TempFolder;

// A 3 x 2 GeoTIFF with the given geotransform: row 0 holds 1 2 3, row 1 holds 4 5 -9999.
void WriteRaster(const std::filesystem::path& path, const double (&transform)[6], int bands = 1) {
  EnsureGdalDrivers();
  GDALDriver* driver = GetGDALDriverManager()->GetDriverByName("GTiff");
  GDALDataset* dataset = driver->Create(path.string().c_str(), 3, 2, bands, GDT_Float32, nullptr);
  ASSERT_NE(dataset, nullptr);
  double t[6];
  std::copy(std::begin(transform), std::end(transform), t);
  dataset->SetGeoTransform(t);
  float values[6] = {1, 2, 3, 4, 5, -9999};
  dataset->GetRasterBand(1)->SetNoDataValue(-9999);
  EXPECT_EQ(dataset->GetRasterBand(1)->RasterIO(GF_Write, 0, 0, 3, 2, values, 3, 2, GDT_Float32, 0, 0), CE_None);
  GDALClose(dataset);
}

TEST(RasterImport, NorthUpPixelsBecomeNodesAtTheirCentres) {
  TempFolder folder;
  const auto path = folder / "r.tif";
  WriteRaster(path, {100.0, 10.0, 0.0, 520.0, 0.0, -20.0});
  GridModel grid;
  std::string problem;
  ASSERT_TRUE(ReadRasterGrid(grid, path.string(), problem)) << problem;
  EXPECT_EQ(grid.NX, 3);
  EXPECT_EQ(grid.NY, 2);
  EXPECT_EQ(grid.DX, 10.0f);
  EXPECT_EQ(grid.DY, 20.0f);
  EXPECT_EQ(grid.x0, 105.0f);
  EXPECT_EQ(grid.y0, 490.0f);            // the south row's centre
  EXPECT_EQ(grid.Value(0, 0, 1), 1.0f);  // the north-west pixel
  EXPECT_EQ(grid.Value(0, 1, 0), 5.0f);
  EXPECT_EQ(grid.hideFarNodes, 1);  // the no-data pixel is hidden
  EXPECT_GT(grid.Distance(2, 0), grid.maxDistance);
  EXPECT_EQ(grid.Distance(1, 0), 0.0f);
  EXPECT_EQ(grid.layerMinimum[0], 1.0f);
  EXPECT_EQ(grid.layerMaximum[0], 5.0f);
}

TEST(RasterImport, RefusalsLeaveTheGridAlone) {
  TempFolder folder;
  WriteRaster(folder / "rotated.tif", {100.0, 10.0, 1.0, 520.0, 0.0, -20.0});
  WriteRaster(folder / "two.tif", {100.0, 10.0, 0.0, 520.0, 0.0, -20.0}, 2);
  test::WriteFileBytes(folder / "text.tif", "not a raster");
  struct Case {
    const char* file;
    const char* message;
  };
  const Case cases[] = {{"rotated.tif", "rotated or sheared"},
                        {"two.tif", "has 2 bands"},
                        {"text.tif", "Cannot open"},
                        {"missing.tif", "Cannot open"}};
  for (const Case& c : cases) {
    GridModel grid;
    grid.NX = 7;
    std::string problem;
    EXPECT_FALSE(ReadRasterGrid(grid, (folder / c.file).string(), problem));
    EXPECT_NE(problem.find(c.message), std::string::npos) << problem;
    EXPECT_EQ(grid.NX, 7);
  }
}

}  // namespace
}  // namespace gridora
