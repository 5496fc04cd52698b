// Rasters written by GDAL itself, read as grids.
#include "exchange/raster_import.h"

#include <gdal_priv.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdint>
#include <functional>

#include "document/grid_model.h"
#include "exchange/gdal_session.h"
#include "support/fake_memory.h"
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

// An ESRI ASCII grid of 2 x 2 nodes with the given header lines.
std::string AsciiGrid(const std::string& header) {
  return "ncols 2\nnrows 2\n" + header + "NODATA_value -9999\n1 2\n3 4\n";
}

TEST(RasterImport, OnlyTheDocumentedFormatsOfRegularLocalFilesAreRead) {
  TempFolder folder;
  WriteRaster(folder / "r.tif", {100.0, 10.0, 0.0, 520.0, 0.0, -20.0});
  // A VRT under a GeoTIFF's name, naming another file.
  test::WriteFileBytes(folder / "vrt.tif",
                       "<VRTDataset rasterXSize=\"3\" rasterYSize=\"2\"><VRTRasterBand dataType=\"Float32\" band=\"1\">"
                       "<SimpleSource><SourceFilename relativeToVRT=\"1\">r.tif</SourceFilename>"
                       "<SourceBand>1</SourceBand></SimpleSource></VRTRasterBand></VRTDataset>");
  ASSERT_EQ(::mkfifo((folder / "fifo.tif").c_str(), 0600), 0);
  std::filesystem::create_directory(folder / "folder.tif");
  const std::string local = (folder / "r.tif").string();
  struct Case {
    std::string path;
    const char* message;
  };
  const Case cases[] = {
      {(folder / "vrt.tif").string(), "Cannot open"},
      {"/vsizip/" + (folder / "a.zip").string() + "/r.tif", "no /vsi"},
      {"/vsicurl/https://example.invalid/r.tif", "no /vsi"},
      {"/vsimem/r.tif", "no /vsi"},
      {"https://example.invalid/r.tif", "network"},
      {"NETCDF:\"" + local + "\":z", "Cannot open"},
      {"GTIFF_DIR:1:" + local, "Cannot open"},
      {(folder / "fifo.tif").string(), "not a regular file"},
      {"/dev/zero", "not a regular file"},
      {(folder / "folder.tif").string(), "it is a folder"},
  };
  for (const Case& c : cases) {
    GridModel grid;
    grid.NX = 7;
    std::string problem;
    EXPECT_FALSE(ReadRasterGrid(grid, c.path, problem)) << c.path;
    EXPECT_NE(problem.find(c.message), std::string::npos) << c.path << ": " << problem;
    EXPECT_EQ(grid.NX, 7) << c.path;
  }
}

TEST(RasterImport, SideFilesAreNotRead) {
  TempFolder folder;
  // Georeferencing in an .aux.xml beside the file is not taken: the file's own counts.
  WriteRaster(folder / "r.tif", {100.0, 10.0, 0.0, 520.0, 0.0, -20.0});
  test::WriteFileBytes(folder / "r.tif.aux.xml",
                       "<PAMDataset><GeoTransform>0, 1, 0, 0, 0, -1</GeoTransform></PAMDataset>");
  GridModel grid;
  std::string problem;
  ASSERT_TRUE(ReadRasterGrid(grid, (folder / "r.tif").string(), problem)) << problem;
  EXPECT_EQ(grid.DX, 10.0f);
  EXPECT_EQ(grid.x0, 105.0f);

  // A world file beside a GeoTIFF without georeferencing gives it none.
  EnsureGdalDrivers();
  GDALDataset* plain = GetGDALDriverManager()->GetDriverByName("GTiff")->Create((folder / "plain.tif").string().c_str(),
                                                                                2, 2, 1, GDT_Float32, nullptr);
  ASSERT_NE(plain, nullptr);
  GDALClose(plain);
  test::WriteFileBytes(folder / "plain.tfw", "10\n0\n0\n-10\n100\n500\n");
  EXPECT_FALSE(ReadRasterGrid(grid, (folder / "plain.tif").string(), problem));
  EXPECT_NE(problem.find("no georeferencing"), std::string::npos) << problem;
}

TEST(RasterImport, GeoreferencingThatPlacesNoGridIsRefused) {
  const struct {
    const char* name;
    std::string header;
    const char* message;
  } cases[] = {
      {"origin not a number", "xllcorner nan\nyllcorner 0\ncellsize 1\n", "not finite"},
      {"infinite origin", "xllcorner inf\nyllcorner 0\ncellsize 1\n", "not finite"},
      {"zero spacing", "xllcorner 0\nyllcorner 0\ncellsize 0\n", "positive spacing"},
      // GDAL's own geotransform overflows here (the north edge); beyond it, ours would.
      {"spacing beyond doubles over the nodes", "xllcorner 0\nyllcorner 0\ncellsize 1e308\n", "not finite"},
      {"east edge beyond doubles", "xllcorner 1.5e308\nyllcorner 0\ncellsize 5e307\n", "beyond the numbers"},
  };
  TempFolder folder;
  for (const auto& c : cases) {
    const auto path = folder / "g.asc";
    test::WriteFileBytes(path, AsciiGrid(c.header));
    GridModel grid;
    grid.NX = 7;
    std::string problem;
    EXPECT_FALSE(ReadRasterGrid(grid, path.string(), problem)) << c.name;
    EXPECT_NE(problem.find(c.message), std::string::npos) << c.name << ": " << problem;
    EXPECT_EQ(grid.NX, 7) << c.name;
  }
}

TEST(RasterImport, AGridLargerThanTheSpareMemoryIsRefusedBeforeItIsRead) {
  TempFolder folder;
  WriteRaster(folder / "r.tif", {100.0, 10.0, 0.0, 520.0, 0.0, -20.0});
  // 3 x 2 nodes need 48 bytes; a machine with none to spare refuses even those.
  const test::FakeMemory none({std::uint64_t{0}, std::nullopt, std::nullopt});
  GridModel grid;
  std::string problem;
  EXPECT_FALSE(ReadRasterGrid(grid, (folder / "r.tif").string(), problem));
  EXPECT_NE(problem.find("can spare now"), std::string::npos) << problem;
}

TEST(RasterImport, SignedBytesReadAsSigned) {
  TempFolder folder;
  const auto path = folder / "signed.tif";
  EnsureGdalDrivers();
  const char* options[] = {"PIXELTYPE=SIGNEDBYTE", nullptr};
  GDALDataset* dataset = GetGDALDriverManager()->GetDriverByName("GTiff")->Create(
      path.string().c_str(), 2, 2, 1, GDT_Byte, const_cast<char**>(options));
  ASSERT_NE(dataset, nullptr);
  double t[6] = {0.0, 1.0, 0.0, 2.0, 0.0, -1.0};
  dataset->SetGeoTransform(t);
  const std::uint8_t bytes[4] = {0xFF, 0x80, 0x7F, 0x05};  // -1, -128, 127, 5
  ASSERT_EQ(
      dataset->GetRasterBand(1)->RasterIO(GF_Write, 0, 0, 2, 2, const_cast<std::uint8_t*>(bytes), 2, 2, GDT_Byte, 0, 0),
      CE_None);
  GDALClose(dataset);
  GridModel grid;
  std::string problem;
  ASSERT_TRUE(ReadRasterGrid(grid, path.string(), problem)) << problem;
  EXPECT_EQ(grid.Value(0, 0, 1), -1.0f);  // north-west
  EXPECT_EQ(grid.Value(0, 1, 1), -128.0f);
  EXPECT_EQ(grid.Value(0, 0, 0), 127.0f);
  EXPECT_EQ(grid.Value(0, 1, 0), 5.0f);
  EXPECT_EQ(grid.layerMinimum[0], -128.0f);
}

}  // namespace
}  // namespace gridora
