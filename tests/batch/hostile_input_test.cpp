// Every command that reads a data file refuses what is not a regular file: a FIFO would
// hang the read, /dev/zero never ends, a folder holds no data. The command fails with
// a message and the document keeps what it had.
#include <gdal_priv.h>
#include <gtest/gtest.h>
#include <ogr_spatialref.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "batch/batch_script.h"
#include "support/batch_run.h"

namespace gridora {
namespace {

namespace fs = std::filesystem;

TEST(HostileInput, ReadersRefuseFifosDevicesAndFolders) {
  const char* const commands[] = {"open", "open-random", "open-pwri", "import-table", "open-raster"};
  struct Input {
    const char* what;
    const char* name;  // in the run's folder, or an absolute path
    const char* reason;
  } inputs[] = {
      {"a FIFO", "fifo.snp", "it is not a regular file"},
      {"a FIFO", "fifo.csv", "it is not a regular file"},
      {"an endless device", "/dev/zero", "it is not a regular file"},
      {"a folder", "folder.tif", "it is a folder"},
  };
  for (const char* command : commands) {
    for (const Input& input : inputs) {
      test::BatchRun run;
      ASSERT_EQ(::mkfifo((run.folder / "fifo.snp").c_str(), 0600), 0);
      ASSERT_EQ(::mkfifo((run.folder / "fifo.csv").c_str(), 0600), 0);
      fs::create_directory(run.folder / "folder.tif");
      const std::string context = std::string(command) + " " + input.name + " (" + input.what + ")";
      EXPECT_EQ(run.Run(std::string(command) + " " + input.name + "\n"), 2) << context;
      EXPECT_NE(run.out.str().find(input.reason), std::string::npos) << context << ": " << run.out.str();
      EXPECT_EQ(run.doc.primaryData->count, 0) << context;
    }
  }
}

TEST(HostileInput, QuotesInsideQuotedValuesAreDoubled) {
  struct Case {
    const char* line;
    const char* key;
    const char* value;
  } cases[] = {
      {"export-grid g.tif crs=\"GEOGCS[\"\"WGS 84\"\",DATUM[\"\"x y\"\"]]\"", "crs",
       "GEOGCS[\"WGS 84\",DATUM[\"x y\"]]"},
      {"axis-setup xtitle=\"\"", "xtitle", ""},
      {"axis-setup xtitle=\"a \"\"quoted\"\" word\"", "xtitle", "a \"quoted\" word"},
      {"axis-setup xtitle=\"\"\"\"", "xtitle", "\""},
      {"axis-setup xtitle=\"one\"\" two\"", "xtitle", "one\" two"},
  };
  for (const Case& c : cases) {
    std::string error;
    const auto line = ParseBatchLine(c.line, 1, error);
    ASSERT_TRUE(line) << c.line << ": " << error;
    EXPECT_EQ(line->keys.at(c.key), c.value) << c.line;
  }
  std::string error;
  EXPECT_FALSE(ParseBatchLine("axis-setup xtitle=\"open \"\"", 1, error));
  EXPECT_EQ(error, "unbalanced quote");
  // A quoted empty first word is no command (it was once a line with an empty name).
  for (const char* text : {"\"\"", "  \"\" open", "\"\" xtitle=a"}) {
    error.clear();
    EXPECT_FALSE(ParseBatchLine(text, 1, error)) << text;
    EXPECT_EQ(error, "no command name") << text;
  }
}

TEST(HostileInput, WktInAScriptReachesTheExportedFile) {
  test::BatchRun run;
  test::WriteFileBytes(run.folder / "points.xyz", "0 0 1\n10 0 2\n0 10 3\n10 10 4\n5 5 2\n");
  const std::string wkt =
      "GEOGCS[\"\"WGS 84\"\",DATUM[\"\"WGS_1984\"\",SPHEROID[\"\"WGS 84\"\",6378137,298.257223563]],"
      "PRIMEM[\"\"Greenwich\"\",0],UNIT[\"\"degree\"\",0.0174532925199433]]";
  ASSERT_EQ(run.Run("open-random points.xyz\nmin-curvature dx=1 dy=1\nexport-grid g.tif crs=\"" + wkt + "\"\n"), 0)
      << run.err.str() << run.out.str();
  GDALDataset* file = GDALDataset::Open((run.folder / "g.tif").string().c_str(), GDAL_OF_RASTER | GDAL_OF_READONLY);
  ASSERT_NE(file, nullptr);
  ASSERT_NE(file->GetSpatialRef(), nullptr);
  EXPECT_STREQ(file->GetSpatialRef()->GetName(), "WGS 84");
  GDALClose(file);

  // A file or a URL given as the system is refused, and nothing is written.
  EXPECT_EQ(run.Run("export-grid h.tif crs=" + (run.folder / "points.xyz").string() + "\n"), 2);
  EXPECT_NE(run.out.str().find("files and web addresses are not read"), std::string::npos) << run.out.str();
  EXPECT_FALSE(fs::exists(run.folder / "h.tif"));
}

TEST(HostileInput, BlockReduceRefusesACellTooSmallToCount) {
  test::BatchRun run;
  test::WriteFileBytes(run.folder / "points.xyz", "0 0 1\n10 0 2\n0 10 3\n10 10 4\n");
  EXPECT_EQ(run.Run("open-random points.xyz\nblock-reduce cell=1e-30\n"), 2);
  EXPECT_NE(run.out.str().find("is too small for these points"), std::string::npos) << run.out.str();
  EXPECT_EQ(run.doc.primaryData->count, 4);
}

}  // namespace
}  // namespace gridora
