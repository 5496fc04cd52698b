// The exchange commands run end to end through batch scripts, as a user would.
#include <gdal_priv.h>
#include <gtest/gtest.h>
#include <ogrsf_frmts.h>

#include "commands/command_ids.h"
#include "exchange/gdal_session.h"
#include "support/batch_run.h"
#include "support/test_support.h"
#include "view/document.h"

namespace gridora {
namespace {

using test::BatchRun;

// Points of the plane z = x + 2y on a 5 x 5 lattice, with a header and one repeated row.
const char* kPlaneTable =
    "id;east;north;value\n"
    "0;0;0;0\n0;0;0;2\n"
    "1;10;0;10\n2;20;0;20\n3;30;0;30\n4;40;0;40\n"
    "5;0;10;20\n6;10;10;30\n7;20;10;40\n8;30;10;50\n9;40;10;60\n"
    "10;0;20;40\n11;10;20;50\n12;20;20;60\n13;30;20;70\n14;40;20;80\n"
    "15;0;40;80\n16;40;40;120\n17;20;40;100\n";

TEST(ExchangeCommands, TableToGridToGeoTiffAndContours) {
  BatchRun run;
  test::WriteFileBytes(run.folder / "plane.csv", kPlaneTable);
  const int status = run.Run(
      "import-table plane.csv x=east y=north z=4\n"
      "merge-duplicates\n"
      "min-curvature xmin=0 ymin=0 xmax=40 ymax=40 dx=10 dy=10\n"
      "export-grid plane crs=EPSG:6677\n"
      "export-contours plane.geojson\n"
      "export-grid plane.asc layer=error\n");
  EXPECT_EQ(status, 2) << run.err.str();  // the last line: no standard error without kriging
  const std::string out = run.out.str();
  EXPECT_NE(out.find("Number of data = 19"), std::string::npos) << out;
  EXPECT_NE(out.find("2 points merged into 1 positions"), std::string::npos) << out;
  EXPECT_NE(out.find("no standard-error layer"), std::string::npos) << out;
  EXPECT_EQ(run.doc.primaryData->count, 18);
  EXPECT_EQ(run.doc.primaryData->points[0].z, 1.0);  // the mean of 0 and 2
  EXPECT_FALSE(std::filesystem::exists(run.folder / "plane.asc"));

  EnsureGdalDrivers();
  GDALDataset* grid = GDALDataset::Open((run.folder / "plane.tif").string().c_str(), GDAL_OF_RASTER);
  ASSERT_NE(grid, nullptr) << "the .tif extension is added to a name without one";
  EXPECT_EQ(grid->GetRasterXSize(), run.doc.grid->NX);
  EXPECT_NE(grid->GetSpatialRef(), nullptr);
  GDALClose(grid);

  GDALDataset* lines = GDALDataset::Open((run.folder / "plane.geojson").string().c_str(), GDAL_OF_VECTOR);
  ASSERT_NE(lines, nullptr);
  EXPECT_GT(lines->GetLayer(0)->GetFeatureCount(), 5);
  GDALClose(lines);
}

TEST(ExchangeCommands, TableRefusalsStopTheScriptAndKeepThePoints) {
  BatchRun run;
  test::WriteFileBytes(run.folder / "plane.csv", kPlaneTable);
  test::WriteFileBytes(run.folder / "words.csv", "a,b,c\nx,y,z\n");
  EXPECT_EQ(run.Run("import-table plane.csv x=east y=north z=value\nimport-table words.csv x=1 y=2 z=3\n"), 2);
  EXPECT_NE(run.out.str().find("no row with numbers"), std::string::npos) << run.out.str();
  EXPECT_EQ(run.doc.primaryData->count, 19);

  BatchRun wrongColumn;
  test::WriteFileBytes(wrongColumn.folder / "plane.csv", kPlaneTable);
  EXPECT_EQ(wrongColumn.Run("import-table plane.csv x=east y=north z=depth\n"), 2);
  EXPECT_NE(wrongColumn.out.str().find("no column \"depth\" for Z"), std::string::npos) << wrongColumn.out.str();
}

TEST(ExchangeCommands, ImportChoicesAppendAndSecondary) {
  BatchRun run;
  test::WriteFileBytes(run.folder / "plane.csv", kPlaneTable);
  EXPECT_EQ(run.Run("import-table plane.csv x=east y=north z=value\n"
                    "import-table plane.csv import=append\n"
                    "import-table plane.csv import=secondary\n"),
            0)
      << run.err.str();
  EXPECT_EQ(run.doc.primaryData->count, 38);
  ASSERT_TRUE(run.doc.secondaryData);
  EXPECT_EQ(run.doc.secondaryData->count, 19);
  EXPECT_EQ(run.profile.ReadText("General", "TableX", ""), "east");
}

TEST(ExchangeCommands, BlockReduceHullBlankingLabelsAndRasterBack) {
  BatchRun run;
  test::WriteFileBytes(run.folder / "plane.csv", kPlaneTable);
  const int status = run.Run(
      "import-table plane.csv x=east y=north z=value\n"
      "block-reduce cell=20\n"
      "min-curvature xmin=-20 ymin=-20 xmax=60 ymax=60 dx=10 dy=10\n"
      "blank-hull distance=0\n"
      "contour-labels\n"
      "export-grid blank.tif\n"
      "open-raster blank.tif\n");
  ASSERT_EQ(status, 0) << run.err.str();
  EXPECT_NE(run.out.str().find("19 points reduced to 9, one per cell of 20"), std::string::npos) << run.out.str();
  // Back from the file: nodes outside the data's square are hidden, those inside kept.
  const GridModel& g = *run.doc.grid;
  EXPECT_EQ(g.x0, -20.0f);
  EXPECT_EQ(g.hideFarNodes, 1);
  EXPECT_GT(g.Distance(0, 0), g.maxDistance);
  EXPECT_EQ(g.Distance(4, 4), 0.0f);
}

TEST(ExchangeCommands, ColumnsNamedXYZAreProposedWhenNoneWereChosen) {
  BatchRun run;
  test::WriteFileBytes(run.folder / "named.txt", "id\tZ\tY\tX\n1\t30\t20\t10\n");
  ASSERT_EQ(run.Run("import-table named.txt\n"), 0) << run.err.str();
  EXPECT_EQ(run.doc.primaryData->points[0].x, 10.0);
  EXPECT_EQ(run.doc.primaryData->points[0].y, 20.0);
  EXPECT_EQ(run.doc.primaryData->points[0].z, 30.0);
}

TEST(ExchangeCommands, UpdateRules) {
  test::DocumentFixture f;
  for (int id :
       {ID_EXPORT_GRID, ID_EXPORT_CONTOURS, ID_MERGE_DUPLICATES, ID_BLOCK_REDUCE, ID_BLANK_HULL, ID_CONTOUR_LABELS})
    EXPECT_FALSE(f.State(id).enabled) << id;
  EXPECT_TRUE(f.State(ID_IMPORT_TABLE).enabled);
  EXPECT_TRUE(f.State(ID_OPEN_RASTER).enabled);
}

}  // namespace
}  // namespace gridora
