// The subcommands grid, contour and info: exit statuses and their one line, the files
// they write read back, and the same job through the batch mode giving the same grid.
#include "cli/command_line.h"

#include <fmt/format.h>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <sstream>

#include "cli/command_line_help.h"
#include "cli/terminal_progress.h"
#include "commands/command_table.h"
#include "document/grid_model.h"
#include "exchange/raster_import.h"
#include "menus/command_catalogue.h"
#include "platform/profile.h"
#include "support/batch_run.h"
#include "support/test_support.h"

namespace gridora {
namespace {

namespace fs = std::filesystem;
using test::TempFolder;

struct Result {
  int status = 0;
  std::string out, err;
};

Result RunCli(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  Result r;
  r.status = RunSubcommand(args, out, err, false);
  r.out = out.str();
  r.err = err.str();
  return r;
}

// 40 points of a smooth field over [0, 20] x [0, 10], space-delimited.
std::string SamplePoints() {
  std::string text;
  for (int k = 0; k < 40; ++k) {
    const double x = (k * 7 % 41) * 0.5, y = (k * 11 % 23) * 0.45;
    text += fmt::format("{} {} {}\n", x, y, 10.0 + 0.3 * x - 0.2 * y + std::sin(x / 3.0) * std::cos(y / 2.0));
  }
  return text;
}

GridModel ReadBack(const fs::path& path) {
  MemoryProfile profile;
  GridModel grid = *CreateGridModel(profile);
  std::string problem;
  EXPECT_TRUE(ReadRasterGrid(grid, path.string(), problem)) << problem;
  return grid;
}

class CommandLine : public ::testing::Test {
 protected:
  void SetUp() override { test::WriteFileBytes(input_, SamplePoints()); }
  std::string P(const std::string& name) const { return (folder_ / name).string(); }

  TempFolder folder_;
  fs::path input_ = folder_ / "points.xyz";
};

TEST_F(CommandLine, BadArgumentsExitTwoWithOneLineNamingTheCause) {
  const std::string in = input_.string(), out = P("out.tif");
  test::WriteFileBytes(folder_ / "empty.xyz", "");
  struct Case {
    std::vector<std::string> args;
    std::string says;
  };
  const Case cases[] = {
      {{"grid", "-o", out}, "no INPUT file given"},
      {{"grid", in}, "no output given"},
      {{"grid", in, in, "-o", out}, "more than one"},
      {{"grid", in, "-o", out, "--bogus"}, "unknown option --bogus"},
      {{"grid", in, "-o"}, "--output needs a value"},
      {{"grid", in, "-o", out, "--method", "spline"}, "--method must be"},
      {{"grid", in, "-o", out, "--region", "0/10/0"}, "--region takes XMIN/XMAX/YMIN/YMAX"},
      {{"grid", in, "-o", out, "--region", "0/ten/0/5"}, "must be a number, not 'ten'"},
      {{"grid", in, "-o", out, "--spacing", "1/2/3"}, "--spacing takes DX or DX/DY"},
      {{"grid", in, "-o", out, "--spacing", "nan"}, "must be a number"},
      {{"grid", in, "-o", out, "--spacing", "0"}, "refused"},
      {{"grid", in, "-o", out, "--error", P("e.tif")}, "--error needs --method kriging"},
      {{"grid", in, "-o", out, "--columns", "a,b"}, "--columns takes three columns"},
      {{"grid", in, "-o", out, "--set", "tension"}, "--set takes KEY=VALUE"},
      {{"grid", in, "-o", out, "--set", "sill=2"}, "unknown key 'sill' for surface-options"},
      {{"grid", in, "-o", out, "--method", "kriging", "--set", "model=cubic"}, "refused by the dialog"},
      {{"grid", in, "-o", out, "--spacing", "1", "--spacing", "2"}, "given more than once"},
      {{"grid", P("missing.xyz"), "-o", out}, "missing.xyz"},
      {{"grid", P("empty.xyz"), "-o", out}, "empty.xyz: Number of data = 0"},
      {{"grid", in, "-o", P("out.xyz"), "--spacing", "1"}, "Cannot tell the grid format"},
      {{"grid", in, "-o", out, "--region", "0/20/0/10", "--spacing", "1", "--tile", "4/3"}, "--tile takes I/N"},
      {{"grid", in, "-o", out, "--spacing", "1", "--tile", "1/3"}, "--tile needs --region and --spacing"},
      {{"grid", in, "-o", out, "--overlap", "5"}, "--overlap goes with --tile"},
      {{"grid", in, "-o", out, "--region", "0/20/0/10", "--spacing", "1", "--tile", "1/2", "--overlap", "-1"},
       "--overlap must be a distance"},
      {{"contour", in}, "no output given"},
      {{"contour", P("missing.tif"), "-o", P("c.gpkg")}, "missing.tif"},
      {{"contour", P("missing.tif"), "-o", P("c.gpkg"), "--interval", "x"}, "--interval must be a number"},
      {{"info"}, "no FILE given"},
      {{"info", P("missing.tif")}, "no such file"},
      {{"info", in, "--json=yes"}, "--json takes no value"},
      {{"nonsense"}, "unknown subcommand"},
  };
  for (const Case& c : cases) {
    std::string joined;
    for (const auto& a : c.args) joined += a + " ";
    const Result r = RunCli(c.args);
    EXPECT_EQ(r.status, 2) << joined;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << joined << "\n" << r.err;
    EXPECT_EQ(r.err.rfind("gridora", 0), 0u) << r.err;
    EXPECT_NE(r.err.find(c.says), std::string::npos) << joined << "\n" << r.err;
    EXPECT_TRUE(r.out.empty()) << joined << "\n" << r.out;
  }
  EXPECT_FALSE(fs::exists(out)) << "no failed job may leave an output";
}

TEST_F(CommandLine, HelpOfEachSubcommandShowsItsUsageAndExamples) {
  for (const SubcommandHelp& help : SubcommandHelps()) {
    const Result r = RunCli({help.name, "--help"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out.rfind("usage: gridora " + help.name, 0), 0u) << r.out;
    EXPECT_NE(r.out.find("examples:"), std::string::npos);
    EXPECT_TRUE(r.err.empty());
  }
}

// The grid a batch script makes of the same job, exported and read back.
GridModel BatchGrid(const std::string& lines, const fs::path& exported) {
  test::BatchRun run;
  EXPECT_EQ(run.Run(lines + "export-grid \"" + exported.string() + "\"\n"), 0) << run.err.str();
  return ReadBack(exported);
}

void ExpectSameGrid(const GridModel& a, const GridModel& b) {
  ASSERT_EQ(a.NX, b.NX);
  ASSERT_EQ(a.NY, b.NY);
  EXPECT_EQ(a.x0, b.x0);
  EXPECT_EQ(a.y0, b.y0);
  EXPECT_EQ(a.DX, b.DX);
  EXPECT_EQ(a.DY, b.DY);
  EXPECT_EQ(a.values, b.values);
}

TEST_F(CommandLine, MinimumCurvatureGridEqualsTheBatchModesAndLeavesNoFileBesideTheData) {
  const Result r = RunCli({"grid", input_.string(), "-o", P("mc.tif"), "--region", "0/20/0/10", "--spacing", "0.5",
                           "--set", "tension=0.25", "--crs", "EPSG:6677"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(r.out.empty() && r.err.empty()) << r.out << r.err;
  const GridModel cli = ReadBack(folder_ / "mc.tif");
  EXPECT_EQ(cli.NX, 41);
  EXPECT_EQ(cli.NY, 21);
  EXPECT_EQ(cli.x0, 0.0);
  EXPECT_EQ(cli.DX, 0.5);
  fs::create_directory(folder_ / "batch");
  const GridModel batch = BatchGrid("open-random \"" + input_.string() +
                                        "\"\nsurface-options tension=0.25\n"
                                        "min-curvature xmin=0 xmax=20 ymin=0 ymax=10 dx=0.5 dy=0.5\n",
                                    folder_ / "batch" / "mc.tif");
  ExpectSameGrid(cli, batch);
  // Only the data and what was asked for: the diagnostic files went to the scratch folder.
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder_.Path())) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"batch", "mc.tif", "points.xyz"}));
}

TEST_F(CommandLine, KrigingWritesTheEstimateAndTheStandardErrorAsTheBatchModeDoes) {
  const Result r = RunCli({"grid", input_.string(), "-o", P("k.tif"), "--method", "kriging", "--region", "0/20/0/10",
                           "--spacing", "1", "--error", P("k_se.asc"), "--set", "type=ordinary"});
  ASSERT_EQ(r.status, 0) << r.err;
  const GridModel estimate = ReadBack(folder_ / "k.tif"), error = ReadBack(folder_ / "k_se.asc");
  const std::string job = "open-random \"" + input_.string() +
                          "\"\nkriging-options type=ordinary\nvariogram answer=no\nstandard-error\n"
                          "prediction xmin=0 xmax=20 ymin=0 ymax=10 dx=1 dy=1\n";
  fs::create_directory(folder_ / "b");
  ExpectSameGrid(estimate, BatchGrid(job, folder_ / "b" / "k.tif"));
  // The error file is the error layer alone: what the batch mode exports as layer=error.
  test::BatchRun run;
  ASSERT_EQ(run.Run(job + "export-grid \"" + (folder_ / "b" / "e.asc").string() + "\" layer=error\n"), 0)
      << run.err.str();
  ExpectSameGrid(error, ReadBack(folder_ / "b" / "e.asc"));
  // A standard error is never negative and is not the estimate.
  for (float v : error.values) EXPECT_GE(v, 0.0f);
  EXPECT_NE(error.values, estimate.values);
}

TEST_F(CommandLine, TableColumnsByNameAndInfoOfTheGridAsJson) {
  std::string table = "east,north,depth\n";
  std::istringstream lines(SamplePoints());
  for (std::string line; std::getline(lines, line);) {
    std::replace(line.begin(), line.end(), ' ', ',');
    table += line + "\n";
  }
  test::WriteFileBytes(folder_ / "t.csv", table);
  ASSERT_EQ(RunCli({"grid", P("t.csv"), "--columns", "east,north,depth", "-o", P("t.grd"), "--region", "0/20/0/10",
                    "--spacing", "2/1"})
                .status,
            0);
  const Result info = RunCli({"info", P("t.grd"), "--json"});
  ASSERT_EQ(info.status, 0) << info.err;
  const GridModel grid = ReadBack(folder_ / "t.grd");
  EXPECT_NE(info.out.find("\"kind\": \"grid\""), std::string::npos) << info.out;
  EXPECT_NE(info.out.find("\"nx\": 11, \"ny\": 11, \"dx\": 2, \"dy\": 1, \"xmin\": 0, \"xmax\": 20, \"ymin\": 0, "
                          "\"ymax\": 10"),
            std::string::npos)
      << info.out;
  const auto [low, high] = std::minmax_element(grid.values.begin(), grid.values.end());
  EXPECT_NE(info.out.find(fmt::format("\"min\": {}, \"max\": {}", double{*low}, double{*high})), std::string::npos)
      << info.out;
  EXPECT_EQ(std::count(info.out.begin(), info.out.end(), '\n'), 1);

  const Result points = RunCli({"info", input_.string()});
  ASSERT_EQ(points.status, 0) << points.err;
  EXPECT_NE(points.out.find("kind:    points"), std::string::npos) << points.out;
  EXPECT_NE(points.out.find("points:  40"), std::string::npos) << points.out;
}

TEST_F(CommandLine, ContourOfAWrittenGridHasTheAskedLevels) {
  ASSERT_EQ(RunCli({"grid", input_.string(), "-o", P("g.tif"), "--region", "0/20/0/10", "--spacing", "1"}).status, 0);
  const Result r =
      RunCli({"contour", P("g.tif"), "-o", P("c.geojson"), "--min", "10", "--max", "14", "--interval", "1"});
  ASSERT_EQ(r.status, 0) << r.err;
  const std::string geojson = test::ReadFileBytes(folder_ / "c.geojson");
  for (const char* level : {"\"level\": 11", "\"level\": 12"})
    EXPECT_NE(geojson.find(level), std::string::npos) << level;
  EXPECT_EQ(geojson.find("\"level\": 10.5"), std::string::npos);
}

// Tiles of a smooth field by minimum curvature, put side by side, against the untiled
// grid: each tile sees 10 map units (20 nodes) across its seams.
TEST_F(CommandLine, TilesWithOverlapJoinIntoTheWholeGridAtTheSeams) {
  std::string text;
  for (int k = 0; k < 300; ++k) {
    const double x = (k * 37 % 401) * 0.1, y = (k * 53 % 201) * 0.1;
    text += fmt::format("{} {} {}\n", x, y, std::sin(x / 5.0) + std::cos(y / 4.0));
  }
  test::WriteFileBytes(folder_ / "field.xyz", text);
  const std::vector<std::string> job = {"grid", P("field.xyz"), "--region", "0/40/0/20", "--spacing", "0.5"};
  auto with = [&](std::vector<std::string> more) {
    std::vector<std::string> args = job;
    args.insert(args.end(), more.begin(), more.end());
    return args;
  };
  ASSERT_EQ(RunCli(with({"-o", P("whole.tif")})).status, 0);
  const GridModel whole = ReadBack(folder_ / "whole.tif");
  const auto [low, high] = std::minmax_element(whole.values.begin(), whole.values.end());
  int column = 0;
  double worst = 0.0;
  for (int tile = 1; tile <= 3; ++tile) {
    const std::string name = fmt::format("tile{}.tif", tile);
    const Result r = RunCli(with({"-o", P(name), "--tile", fmt::format("{}/3", tile), "--overlap", "10"}));
    ASSERT_EQ(r.status, 0) << r.err;
    const GridModel piece = ReadBack(folder_ / name);
    ASSERT_EQ(piece.NY, whole.NY);
    EXPECT_DOUBLE_EQ(piece.x0, whole.x0 + column * whole.DX);
    for (int i = 0; i < piece.NX; ++i)
      for (int j = 0; j < piece.NY; ++j)
        worst = std::max(worst, std::abs(double{piece.Value(0, i, j)} - whole.Value(0, column + i, j)));
    column += piece.NX;
  }
  EXPECT_EQ(column, whole.NX);
  EXPECT_LT(worst, 1e-3 * (*high - *low));
}

TEST_F(CommandLine, QuickGriddersRunTheirBatchCommands) {
  const CommandTable table = BuildCommandTable();
  if (!table.FindBatch("idw")) GTEST_SKIP() << "the batch mode has no idw command yet";
  for (const char* method : {"idw", "nearest", "linear"}) {
    const Result r = RunCli({"grid", input_.string(), "-o", P(std::string(method) + ".tif"), "--method", method,
                             "--region", "0/20/0/10", "--spacing", "1"});
    EXPECT_EQ(r.status, 0) << method << ": " << r.err;
  }
}

TEST(TerminalProgress, BarFillsWithTheFractionAndStaysInItsWidth) {
  EXPECT_EQ(TerminalProgress::Line("Kriging", "", 0.5), "Kriging [###############...............]  50%");
  EXPECT_EQ(TerminalProgress::Line("Kriging", "Standard errors", 1.0),
            "Kriging: Standard errors [##############################] 100%");
  EXPECT_EQ(TerminalProgress::Line("K", "", -1.0), TerminalProgress::Line("K", "", std::nan("")));
}

}  // namespace
}  // namespace gridora
