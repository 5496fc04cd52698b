// Contour files read back through OGR: geometry, level attributes, DXF layers, CRS.
#include "exchange/contour_export.h"

#include <gdal_priv.h>
#include <gtest/gtest.h>
#include <ogrsf_frmts.h>

#include <cmath>

#include "exchange/gdal_session.h"
#include "support/test_support.h"

namespace gridora {
namespace {

using test::TempFolder;

// The files keep the system; the axis order of the objects read back is GDAL's own setting.
const char* const kIgnoreAxisOrder[] = {"IGNORE_DATA_AXIS_TO_SRS_AXIS_MAPPING=YES", nullptr};

std::vector<ContourLine> TwoLevels() {
  ContourLine ring;
  ring.level = 12.5;
  ring.closed = true;
  ring.points = {{0, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}};
  ContourLine open;
  open.level = -3;
  open.points = {{1000.5, 2000.25}, {1001.5, 2002.25}};
  return {ring, open};
}

struct VectorFile {
  GDALDataset* dataset = nullptr;
  explicit VectorFile(const std::filesystem::path& path) {
    EnsureGdalDrivers();
    dataset = GDALDataset::Open(path.string().c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY);
  }
  ~VectorFile() {
    if (dataset) GDALClose(dataset);
  }
};

TEST(ContourExport, GeoPackageAndGeoJsonKeepPointsLevelsAndCrs) {
  TempFolder folder;
  for (const char* name : {"c.gpkg", "c.geojson"}) {
    std::string problem;
    const auto path = folder / name;
    ASSERT_TRUE(ExportContours(TwoLevels(), path.string(), *ContourFormatFromPath(name), "EPSG:6677", problem))
        << problem;
    VectorFile file(path);
    ASSERT_NE(file.dataset, nullptr) << name;
    OGRLayer* layer = file.dataset->GetLayer(0);
    ASSERT_EQ(layer->GetFeatureCount(), 2) << name;
    OGRSpatialReference expected;
    expected.importFromEPSG(6677);
    ASSERT_NE(layer->GetSpatialRef(), nullptr) << name;
    EXPECT_TRUE(layer->GetSpatialRef()->IsSame(&expected, kIgnoreAxisOrder)) << name;
    std::vector<double> levels;
    for (auto& feature : *layer) {
      levels.push_back(feature->GetFieldAsDouble("level"));
      const auto* line = feature->GetGeometryRef()->toLineString();
      if (levels.back() == -3.0) {
        EXPECT_EQ(line->getNumPoints(), 2);
        EXPECT_EQ(line->getX(0), 1000.5);
        EXPECT_EQ(line->getY(1), 2002.25);
      } else {
        EXPECT_EQ(line->getNumPoints(), 5);
        EXPECT_TRUE(line->get_IsClosed());
      }
    }
    EXPECT_EQ(levels, (std::vector<double>{12.5, -3.0})) << name;
  }
}

TEST(ContourExport, DxfPutsEachLevelOnItsOwnLayerAtItsElevation) {
  TempFolder folder;
  std::string problem;
  const auto path = folder / "c.dxf";
  ASSERT_TRUE(ExportContours(TwoLevels(), path.string(), ContourFormat::Dxf, "", problem)) << problem;
  VectorFile file(path);
  ASSERT_NE(file.dataset, nullptr);
  OGRLayer* layer = file.dataset->GetLayer(0);
  int seen = 0;
  for (auto& feature : *layer) {
    const std::string name = feature->GetFieldAsString("Layer");
    const OGRGeometry* geometry = feature->GetGeometryRef();
    ASSERT_NE(geometry, nullptr);
    const OGRLineString* line = OGR_GT_Flatten(geometry->getGeometryType()) == wkbPolygon
                                    ? geometry->toPolygon()->getExteriorRing()
                                    : geometry->toLineString();
    if (name == "12.5") {
      EXPECT_EQ(line->getZ(0), 12.5);
      EXPECT_EQ(line->getX(1), 10.0);
    } else {
      EXPECT_EQ(name, "-3");
      EXPECT_EQ(line->getZ(1), -3.0);
      EXPECT_EQ(line->getX(0), 1000.5);
    }
    ++seen;
  }
  EXPECT_EQ(seen, 2);
}

TEST(ContourExport, FailuresKeepTheOldFile) {
  TempFolder folder;
  const auto path = folder / "keep.geojson";
  test::WriteFileBytes(path, "old");
  std::string problem;
  EXPECT_FALSE(ExportContours(TwoLevels(), path.string(), ContourFormat::GeoJson, "nonsense crs", problem));
  EXPECT_NE(problem.find("not known"), std::string::npos) << problem;
  EXPECT_EQ(test::ReadFileBytes(path), "old");
  EXPECT_FALSE(ExportContours(TwoLevels(), "/nonexistent-folder/c.gpkg", ContourFormat::GeoPackage, "", problem));
  EXPECT_NE(problem.find("Cannot write /nonexistent-folder/c.gpkg"), std::string::npos) << problem;
}

}  // namespace
}  // namespace gridora
