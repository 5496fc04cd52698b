// Grid exports read back through GDAL's own readers: every node's value at its own
// coordinates, the no-data of hidden nodes, the coordinate system, the second band.
#include "exchange/grid_export.h"

#include <gdal_priv.h>
#include <gtest/gtest.h>
#include <ogr_spatialref.h>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <functional>

#include "document/grid_model.h"
#include "exchange/gdal_session.h"
#include "support/test_support.h"

namespace gridora {
namespace {

using test::TempFolder;

// The files keep the system; the axis order of the objects read back is GDAL's own setting.
const char* const kIgnoreAxisOrder[] = {"IGNORE_DATA_AXIS_TO_SRS_AXIS_MAPPING=YES", nullptr};

// A 5 x 4 grid whose value tells where the node is: 100 ix + iy, and 0.5 + ix + iy in
// the second layer.
GridModel SmallGrid(float dx, float dy, int layers = 1) {
  GridModel grid;
  grid.layerCount = layers;
  grid.NX = 5;
  grid.NY = 4;
  grid.DX = dx;
  grid.DY = dy;
  grid.x0 = 1000.0f;
  grid.y0 = 2000.0f;
  EXPECT_TRUE(grid.AllocateGrid());
  for (int ix = 0; ix < grid.NX; ++ix)
    for (int iy = 0; iy < grid.NY; ++iy) {
      grid.Value(0, ix, iy) = static_cast<float>(100 * ix + iy);
      if (layers > 1) grid.Value(1, ix, iy) = 0.5f + static_cast<float>(ix + iy);
      grid.Distance(ix, iy) = 0.0f;
    }
  return grid;
}

struct Reopened {
  GDALDataset* dataset = nullptr;
  explicit Reopened(const std::filesystem::path& path) {
    EnsureGdalDrivers();
    dataset = GDALDataset::Open(path.string().c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY);
  }
  ~Reopened() {
    if (dataset) GDALClose(dataset);
  }
  // The band's value at the pixel holding (x, y).
  double At(int band, double x, double y, bool* noData = nullptr) const {
    double t[6];
    dataset->GetGeoTransform(t);
    const int column = static_cast<int>(std::floor((x - t[0]) / t[1]));
    const int row = static_cast<int>(std::floor((y - t[3]) / t[5]));
    float value = 0.0f;
    GDALRasterBand* b = dataset->GetRasterBand(band);
    EXPECT_EQ(b->RasterIO(GF_Read, column, row, 1, 1, &value, 1, 1, GDT_Float32, 0, 0), CE_None);
    int hasNoData = 0;
    const double marker = b->GetNoDataValue(&hasNoData);
    if (noData) *noData = hasNoData && static_cast<float>(marker) == value;
    return value;
  }
};

struct FormatCase {
  GridFormat format;
  const char* file;
};

class GridExportRoundTrip : public ::testing::TestWithParam<FormatCase> {};

TEST_P(GridExportRoundTrip, EveryNodeReadsBackAtItsCoordinatesAndHiddenNodesAreNoData) {
  TempFolder folder;
  GridModel grid = SmallGrid(10.0f, 10.0f);
  grid.hideFarNodes = 1;
  grid.maxDistance = 5.0f;
  grid.Distance(4, 3) = 6.0f;  // the north-east corner lies beyond the maximum distance
  std::vector<std::string> written;
  std::string problem;
  const auto path = folder / GetParam().file;
  ASSERT_TRUE(ExportGrid(grid, {path.string(), GetParam().format, GridLayer::Estimate, ""}, written, problem))
      << problem;
  ASSERT_EQ(written, std::vector<std::string>{path.string()});

  Reopened file(path);
  ASSERT_NE(file.dataset, nullptr);
  EXPECT_EQ(file.dataset->GetRasterXSize(), 5);
  EXPECT_EQ(file.dataset->GetRasterYSize(), 4);
  for (int ix = 0; ix < grid.NX; ++ix)
    for (int iy = 0; iy < grid.NY; ++iy) {
      bool noData = false;
      const double value = file.At(1, 1000.0 + 10.0 * ix, 2000.0 + 10.0 * iy, &noData);
      if (ix == 4 && iy == 3) {
        EXPECT_TRUE(noData) << value;
      } else {
        EXPECT_FALSE(noData);
        EXPECT_EQ(value, 100 * ix + iy) << "node " << ix << "," << iy;
      }
    }
  // Nothing but the grid (and its side files) is left in the folder.
  for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
    EXPECT_EQ(entry.path().filename().string().rfind(".", 0), std::string::npos) << entry.path();
}

INSTANTIATE_TEST_SUITE_P(Formats, GridExportRoundTrip,
                         ::testing::Values(FormatCase{GridFormat::GeoTiff, "grid.tif"},
                                           FormatCase{GridFormat::AsciiGrid, "grid.asc"},
                                           FormatCase{GridFormat::SurferAscii, "grid.grd"},
                                           FormatCase{GridFormat::SurferBinary, "grid.grd"},
                                           FormatCase{GridFormat::NetCdf, "grid.nc"}));

TEST(GridExport, RectangularCellsReadBackInGeoTiffAndNetCdf) {
  TempFolder folder;
  const GridModel grid = SmallGrid(10.0f, 25.0f);
  for (auto [format, name] : {std::pair{GridFormat::GeoTiff, "r.tif"}, std::pair{GridFormat::NetCdf, "r.nc"}}) {
    std::vector<std::string> written;
    std::string problem;
    ASSERT_TRUE(ExportGrid(grid, {(folder / name).string(), format, GridLayer::Estimate, ""}, written, problem));
    Reopened file(folder / name);
    ASSERT_NE(file.dataset, nullptr);
    EXPECT_EQ(file.At(1, 1030.0, 2050.0), 302.0) << name;
    EXPECT_EQ(file.At(1, 1000.0, 2075.0), 3.0) << name;
  }
}

TEST(GridExport, CoordinateSystemIsWrittenAndReadBack) {
  TempFolder folder;
  const GridModel grid = SmallGrid(10.0f, 10.0f);
  for (const char* name : {"c.tif", "c.asc", "c.nc"}) {
    std::vector<std::string> written;
    std::string problem;
    const auto format = *GridFormatFromPath(name);
    ASSERT_TRUE(
        ExportGrid(grid, {(folder / name).string(), format, GridLayer::Estimate, "EPSG:6677"}, written, problem))
        << problem;
    Reopened file(folder / name);
    ASSERT_NE(file.dataset, nullptr);
    const OGRSpatialReference* reference = file.dataset->GetSpatialRef();
    ASSERT_NE(reference, nullptr) << name;
    OGRSpatialReference expected;
    expected.importFromEPSG(6677);
    // An ESRI .prj beside the ASCII grid keeps the system's definition, not its EPSG
    // axis order: GDAL recognises it by name.
    EXPECT_TRUE(reference->IsSame(&expected, kIgnoreAxisOrder) ||
                std::string(reference->GetName()) == expected.GetName())
        << name << ": " << reference->GetName();
  }
}

TEST(GridExport, StandardErrorIsASecondBandOrASecondFile) {
  TempFolder folder;
  const GridModel grid = SmallGrid(10.0f, 10.0f, 2);
  std::vector<std::string> written;
  std::string problem;
  ASSERT_TRUE(
      ExportGrid(grid, {(folder / "both.tif").string(), GridFormat::GeoTiff, GridLayer::Both, ""}, written, problem));
  {
    Reopened file(folder / "both.tif");
    ASSERT_EQ(file.dataset->GetRasterCount(), 2);
    EXPECT_EQ(file.At(1, 1020.0, 2010.0), 201.0);
    EXPECT_EQ(file.At(2, 1020.0, 2010.0), 3.5);
  }
  ASSERT_TRUE(
      ExportGrid(grid, {(folder / "both.asc").string(), GridFormat::AsciiGrid, GridLayer::Both, ""}, written, problem));
  EXPECT_EQ(written.size(), 2u);
  Reopened error(folder / "both_error.asc");
  ASSERT_NE(error.dataset, nullptr);
  EXPECT_EQ(error.At(1, 1020.0, 2010.0), 3.5);
}

TEST(GridExport, RefusalsLeaveTheOldFileAlone) {
  TempFolder folder;
  const auto path = folder / "keep.asc";
  test::WriteFileBytes(path, "old");
  struct Case {
    GridModel grid;
    GridLayer layer;
    const char* message;
  };
  const Case cases[] = {
      {SmallGrid(10.0f, 20.0f), GridLayer::Estimate, "DX = 10, DY = 20"},
      {SmallGrid(10.0f, 10.0f), GridLayer::Error, "no standard-error layer"},
      {GridModel{}, GridLayer::Estimate, "no grid"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> written;
    std::string problem;
    EXPECT_FALSE(ExportGrid(c.grid, {path.string(), GridFormat::AsciiGrid, c.layer, ""}, written, problem));
    EXPECT_NE(problem.find(c.message), std::string::npos) << problem;
  }
  std::vector<std::string> written;
  std::string problem;
  EXPECT_FALSE(ExportGrid(SmallGrid(10.0f, 10.0f),
                          {path.string(), GridFormat::AsciiGrid, GridLayer::Estimate, "EPSG:no such"}, written,
                          problem));
  EXPECT_NE(problem.find("not known"), std::string::npos) << problem;
  EXPECT_EQ(test::ReadFileBytes(path), "old");
}

namespace fs = std::filesystem;

fs::perms Mode(const fs::path& path) { return fs::status(path).permissions() & fs::perms::all; }

// What a two-file export meets at its second name: it refuses before writing either.
TEST(GridExport, EveryTargetIsCheckedBeforeAnyIsReplaced) {
  const struct {
    const char* name;
    std::function<void(const fs::path&)> plant;  // at the standard error's name
    const char* message;
  } cases[] = {
      {"read-only file",
       [](const fs::path& p) {
         test::WriteFileBytes(p, "old error");
         fs::permissions(p, fs::perms::owner_read);
       },
       "read-only"},
      {"folder", [](const fs::path& p) { fs::create_directory(p); }, "Is a directory"},
  };
  for (const auto& c : cases) {
    TempFolder folder;
    test::WriteFileBytes(folder / "both.asc", "old estimate");
    c.plant(folder / "both_error.asc");
    std::vector<std::string> written;
    std::string problem;
    EXPECT_FALSE(ExportGrid(SmallGrid(10.0f, 10.0f, 2),
                            {(folder / "both.asc").string(), GridFormat::AsciiGrid, GridLayer::Both, ""}, written,
                            problem))
        << c.name;
    EXPECT_NE(problem.find("both_error.asc: "), std::string::npos) << c.name << ": " << problem;
    EXPECT_NE(problem.find(c.message), std::string::npos) << c.name << ": " << problem;
    EXPECT_EQ(test::ReadFileBytes(folder / "both.asc"), "old estimate") << c.name;
    EXPECT_TRUE(written.empty()) << c.name;
    // Nothing is left beside the targets but what was there.
    for (const auto& entry : fs::directory_iterator(folder.Path()))
      EXPECT_EQ(entry.path().filename().string().rfind(".gridora-stage-", 0), std::string::npos) << c.name;
  }
}

TEST(GridExport, ReplacedFilesKeepTheirModeAndTheirLinks) {
  TempFolder folder;
  const auto real = folder / "real.tif", link = folder / "link.tif";
  test::WriteFileBytes(real, "old");
  fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  fs::create_symlink(real, link);
  std::vector<std::string> written;
  std::string problem;
  ASSERT_TRUE(ExportGrid(SmallGrid(10.0f, 10.0f), {link.string(), GridFormat::GeoTiff, GridLayer::Estimate, ""},
                         written, problem))
      << problem;
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(Mode(real), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  Reopened file(real);
  ASSERT_NE(file.dataset, nullptr);
  EXPECT_EQ(file.At(1, 1020.0, 2010.0), 201.0);

  // A read-only target is refused, for a single file too, and stays as it was.
  test::WriteFileBytes(folder / "locked.tif", "mine");
  fs::permissions(folder / "locked.tif", fs::perms::owner_read);
  EXPECT_FALSE(ExportGrid(SmallGrid(10.0f, 10.0f),
                          {(folder / "locked.tif").string(), GridFormat::GeoTiff, GridLayer::Estimate, ""}, written,
                          problem));
  EXPECT_NE(problem.find("read-only"), std::string::npos) << problem;
  EXPECT_EQ(test::ReadFileBytes(folder / "locked.tif"), "mine");
}

TEST(GridExport, ANameAtTheFileNameLimitExports) {
  TempFolder folder;
  for (const auto& [format, extension] :
       {std::pair{GridFormat::GeoTiff, ".tif"}, std::pair{GridFormat::AsciiGrid, ".asc"},
        std::pair{GridFormat::NetCdf, ".nc"}}) {
    const std::string name = std::string(255 - std::string(extension).size(), 'g') + extension;
    std::vector<std::string> written;
    std::string problem;
    ASSERT_TRUE(ExportGrid(SmallGrid(10.0f, 10.0f), {(folder / name).string(), format, GridLayer::Estimate, ""},
                           written, problem))
        << extension << ": " << problem;
    EXPECT_TRUE(fs::exists(folder / name)) << extension;
  }
}

TEST(GridExport, StagingFoldersOfKilledExportsGoAndThoseInUseStay) {
  TempFolder folder;
  const auto killed = folder / ".gridora-stage-k1ll3d", older = folder / ".out.tif.123456-0.partial",
             running = folder / ".gridora-stage-runnin";
  for (const auto& f : {killed, older, running}) {
    fs::create_directory(f);
    test::WriteFileBytes(f / "out.tif", "half written");
  }
  // An export still running holds its folder locked.
  const int lock = ::open(running.c_str(), O_RDONLY | O_DIRECTORY);
  ASSERT_GE(lock, 0);
  ASSERT_EQ(::flock(lock, LOCK_EX | LOCK_NB), 0);
  std::vector<std::string> written;
  std::string problem;
  ASSERT_TRUE(ExportGrid(SmallGrid(10.0f, 10.0f),
                         {(folder / "out.tif").string(), GridFormat::GeoTiff, GridLayer::Estimate, ""}, written,
                         problem))
      << problem;
  EXPECT_FALSE(fs::exists(killed));
  EXPECT_FALSE(fs::exists(older));
  EXPECT_TRUE(fs::exists(running / "out.tif"));
  ::close(lock);
}

TEST(GridExport, UnwritableFolderGivesAMessage) {
  std::vector<std::string> written;
  std::string problem;
  EXPECT_FALSE(ExportGrid(SmallGrid(10.0f, 10.0f),
                          {"/nonexistent-folder/grid.tif", GridFormat::GeoTiff, GridLayer::Estimate, ""}, written,
                          problem));
  EXPECT_NE(problem.find("Cannot write /nonexistent-folder/grid.tif"), std::string::npos) << problem;
}

}  // namespace
}  // namespace gridora
