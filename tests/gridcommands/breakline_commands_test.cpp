// Faults through the commands: breaklines reads lines from text and GIS files, refuses
// bad ones, and minimum curvature keeps a step across them; clear-breaklines ends that.
#include <fmt/printf.h>
#include <gdal_priv.h>
#include <gtest/gtest.h>
#include <ogrsf_frmts.h>

#include <cmath>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "support/batch_run.h"

namespace gridora {
namespace {

using test::BatchRun;

// 120 points of a step: 0 left of x = 50, 10 right of it, none within 2.5 of it; those
// for which `leftOut` holds are not written.
std::string StepPoints(const std::function<bool(double, double)>& leftOut = {}) {
  std::mt19937 generator(8);
  std::uniform_real_distribution<double> position(0.0, 100.0);
  std::string text;
  for (int n = 0; n < 120;) {
    const double x = position(generator), y = position(generator);
    if (std::fabs(x - 50.0) < 2.5) continue;
    ++n;
    if (leftOut && leftOut(x, y)) continue;
    text += fmt::sprintf("%.6f %.6f %g\n", x, y, x < 50.0 ? 0.0 : 10.0);
  }
  return text;
}

// The largest distance of the nodes from their side's level, nodes within 3 of x = 50
// left out (the fault's own column).
double WorstStep(const GridModel& g) {
  double worst = 0.0;
  for (int ix = 0; ix < g.NX; ++ix) {
    const double x = g.x0 + ix * g.DX;
    if (std::fabs(x - 50.0) < 3.0) continue;
    for (int iy = 0; iy < g.NY; ++iy) worst = std::max(worst, std::fabs(g.Value(0, ix, iy) - (x < 50.0 ? 0.0 : 10.0)));
  }
  return worst;
}

constexpr const char* kGrid = "min-curvature xmin=0 ymin=0 xmax=100 ymax=100 dx=2 dy=2\n";

TEST(BreaklineCommands, AFaultKeepsTheStepAndClearingItSmearsIt) {
  for (const char* solver : {"direct", "multigrid"}) {
    SCOPED_TRACE(solver);
    BatchRun run;
    test::WriteFileBytes(run.folder / "points.xyz", StepPoints());
    // A slanted fault with a bend, from below the grid to above it.
    test::WriteFileBytes(run.folder / "fault.txt", "# the main fault\n50.4 -20\n49.6 40\n\n49.6 40\n50.5 130\n");
    ASSERT_EQ(run.Run(fmt::format("open-random points.xyz\nsurface-options solver={}\nbreaklines fault.txt\n{}", solver,
                                  kGrid)),
              0)
        << run.out.str() << run.err.str();
    EXPECT_NE(run.out.str().find("2 lines (4 vertices) read as faults"), std::string::npos) << run.out.str();
    ASSERT_EQ(run.doc.breaklines.size(), 2u);
    EXPECT_LT(WorstStep(*run.doc.grid), 0.01);

    ASSERT_EQ(run.Run(std::string("clear-breaklines\n") + kGrid), 0) << run.out.str();
    EXPECT_TRUE(run.doc.breaklines.empty());
    EXPECT_GT(WorstStep(*run.doc.grid), 1.0);
  }
}

// Faults that cut a part of the grid off from every point: refused, the grid kept.
TEST(BreaklineCommands, APartWithoutDataIsRefused) {
  BatchRun run;
  test::WriteFileBytes(run.folder / "points.xyz", StepPoints());
  // A closed box with no point inside.
  test::WriteFileBytes(run.folder / "points.xyz",
                       StepPoints([](double x, double y) { return x > 19 && x < 31 && y > 19 && y < 31; }));
  test::WriteFileBytes(run.folder / "box.txt", "20.5 20.5\n30.5 20.5\n30.5 30.5\n20.5 30.5\n20.5 20.5\n");
  ASSERT_EQ(run.Run(std::string("open-random points.xyz\n") + kGrid), 0) << run.out.str();
  const std::vector<float> withoutBox = run.doc.grid->values;
  EXPECT_EQ(run.Run(std::string("breaklines box.txt\n") + kGrid), 2);
  EXPECT_NE((run.out.str() + run.err.str()).find("the faults cut off a part of the grid from every data point"),
            std::string::npos)
      << run.out.str() << run.err.str();
  EXPECT_EQ(run.doc.grid->values, withoutBox);
}

// Files with bad content are refused with a message naming what is wrong; the faults
// read before stay.
TEST(BreaklineCommands, BadFilesAreRefused) {
  struct Case {
    const char* name;
    std::string content;
    const char* message;
  };
  const Case cases[] = {
      {"letters.txt", "1 2\n3 x\n", "line 2: \"3 x\" is not a pair of finite numbers"},
      {"one.txt", "1 2\n3 4\n\n5 6\n", "line 4: a line needs at least two vertices"},
      {"fields.txt", "1 2 3 4\n5 6\n", "line 1: a vertex is \"x y\" (or \"x y z\"), not 4 fields"},
      {"nan.txt", "1 2\nnan 4\n", "is not a pair of finite numbers"},
      {"empty.txt", "\n\n# nothing\n", "holds no line"},
      {"binary.txt", std::string("1 2\n3\0 4\n", 9), "NUL bytes"},
      {"broken.geojson", "{\"type\": \"FeatureCollection\", \"features\": [", "Cannot read lines from"},
      {"points.geojson",
       R"({"type": "FeatureCollection", "features": [{"type": "Feature", "properties": {},
           "geometry": {"type": "Point", "coordinates": [1, 2]}}]})",
       "holds no line"},
      {"fake.dxf", "not a drawing\n", "Cannot read lines from"},
      {"missing.txt", "", "missing.txt"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BatchRun run;
    test::WriteFileBytes(run.folder / "good.txt", "0 0\n1 1\n");
    if (std::string(c.name) != "missing.txt") test::WriteFileBytes(run.folder / c.name, c.content);
    ASSERT_EQ(run.Run("breaklines good.txt\n"), 0) << run.out.str() << run.err.str();
    EXPECT_EQ(run.Run(fmt::format("breaklines {}\n", c.name)), 2);
    const std::string said = run.out.str() + run.err.str();
    EXPECT_NE(said.find(c.message), std::string::npos) << said;
    EXPECT_NE(said.find("The faults are unchanged."), std::string::npos) << said;
    ASSERT_EQ(run.doc.breaklines.size(), 1u);
    EXPECT_EQ(run.doc.breaklines[0].vertices.size(), 2u);
  }
}

// The same lines from GeoJSON and from the GeoPackage, Shapefile and DXF files GDAL
// writes of it: a line string, a line of a multi-line and a polygon's ring.
TEST(BreaklineCommands, ReadsTheGisFormats) {
  const std::string geojson = R"({"type": "FeatureCollection", "features": [
    {"type": "Feature", "properties": {}, "geometry": {"type": "LineString", "coordinates": [[10, 0], [12, 50], [11, 100]]}},
    {"type": "Feature", "properties": {}, "geometry": {"type": "MultiLineString", "coordinates": [[[70, 0], [70, 100]]]}},
    {"type": "Feature", "properties": {}, "geometry": {"type": "Polygon", "coordinates": [[[20, 20], [30, 20], [30, 30], [20, 20]]]}}
  ]})";
  const std::vector<std::vector<PlanePoint>> expected = {
      {{10, 0}, {12, 50}, {11, 100}}, {{70, 0}, {70, 100}}, {{20, 20}, {30, 20}, {30, 30}, {20, 20}}};
  test::TempFolder folder;
  const std::string source = (folder / "lines.geojson").string();
  test::WriteFileBytes(source, geojson);
  GDALAllRegister();
  // Each file as GDAL writes it from the GeoJSON: one layer of the same features.
  for (const auto& [driverName, file] : std::vector<std::pair<const char*, const char*>>{
           {"GPKG", "lines.gpkg"}, {"ESRI Shapefile", "lines.shp"}, {"DXF", "lines.dxf"}}) {
    GDALDataset* in = static_cast<GDALDataset*>(GDALOpenEx(source.c_str(), GDAL_OF_VECTOR, nullptr, nullptr, nullptr));
    ASSERT_TRUE(in);
    GDALDriver* driver = GetGDALDriverManager()->GetDriverByName(driverName);
    ASSERT_TRUE(driver);
    GDALDataset* out = driver->Create((folder / file).string().c_str(), 0, 0, 0, GDT_Unknown, nullptr);
    ASSERT_TRUE(out) << driverName;
    OGRLayer* from = in->GetLayer(0);
    // A shapefile holds one kind of geometry: lines there, the ring as a closed line.
    OGRLayer* to = out->CreateLayer("lines", nullptr, wkbUnknown, nullptr);
    ASSERT_TRUE(to) << driverName;
    for (const auto& feature : *from) {
      OGRFeature copy(to->GetLayerDefn());
      const OGRGeometry* geometry = feature->GetGeometryRef();
      if (std::string(driverName) != "GPKG" && wkbFlatten(geometry->getGeometryType()) == wkbPolygon) {
        copy.SetGeometry(geometry->toPolygon()->getExteriorRing());
      } else if (std::string(driverName) == "ESRI Shapefile" &&
                 wkbFlatten(geometry->getGeometryType()) == wkbLineString) {
        OGRMultiLineString multi;
        multi.addGeometry(geometry);
        copy.SetGeometry(&multi);
      } else {
        copy.SetGeometry(geometry);
      }
      ASSERT_EQ(to->CreateFeature(&copy), OGRERR_NONE) << driverName;
    }
    GDALClose(out);
    GDALClose(in);
  }
  for (const char* file : {"lines.geojson", "lines.gpkg", "lines.shp", "lines.dxf"}) {
    SCOPED_TRACE(file);
    BatchRun run;
    ASSERT_EQ(run.Run(fmt::format("breaklines {}\n", (folder / file).string())), 0) << run.out.str() << run.err.str();
    ASSERT_EQ(run.doc.breaklines.size(), expected.size());
    for (std::size_t l = 0; l < expected.size(); ++l) {
      ASSERT_EQ(run.doc.breaklines[l].vertices.size(), expected[l].size()) << l;
      for (std::size_t v = 0; v < expected[l].size(); ++v) {
        EXPECT_DOUBLE_EQ(run.doc.breaklines[l].vertices[v].x, expected[l][v].x);
        EXPECT_DOUBLE_EQ(run.doc.breaklines[l].vertices[v].y, expected[l][v].y);
      }
    }
  }
}

}  // namespace
}  // namespace gridora
