// Statistics, X-direction averages and the CSV export of layer 0.
#include <fmt/format.h>
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "formats/average_x.h"
#include "formats/csv_export.h"
#include "formats/data_statistics.h"
#include "document/grid_model.h"
#include "platform/number_text.h"
#include "platform/profile.h"
#include "support/test_support.h"

namespace gridora {
namespace {

// A grid of one layer whose value(ix, iy) comes from `value`.
template <typename Value>
std::unique_ptr<GridModel> Grid(int nx, int ny, float dx, float dy, float x0, float y0, Value value) {
  MemoryProfile profile;
  auto grid = CreateGridModel(profile);
  EXPECT_TRUE(grid->Reshape(1, nx, ny));
  grid->DX = dx;
  grid->DY = dy;
  grid->x0 = x0;
  grid->y0 = y0;
  for (int ix = 0; ix < nx; ++ix)
    for (int iy = 0; iy < ny; ++iy) grid->Value(0, ix, iy) = value(ix, iy);
  return grid;
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end = text.find("\r\n"); end != std::string::npos; end = text.find("\r\n", start)) {
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  EXPECT_EQ(start, text.size()) << "text after the last CR LF";
  return lines;
}

TEST(DataStatistics, LogarithmsOfMagnitudesOverTheBand) {
  test::TempFolder folder;
  // Column 0 all 10; column 1 holds 0, -100, 1000 and 1 (log10: 0, 2, 3, 0); y = 0..3.
  const float column1[] = {0.0f, -100.0f, 1000.0f, 1.0f};
  auto grid = Grid(2, 4, 2.5f, 1.0f, 5.0f, 0.0f, [&](int ix, int iy) { return ix == 0 ? 10.0f : column1[iy]; });
  std::string problem;
  // The defaults 0 and 100 give the band -inf..2: rows y = 0, 1 and 2.
  std::string path;
  EXPECT_TRUE(WriteDataStatistics(*grid, folder.Path().string(), 0.0f, 100.0f, path, problem)) << problem;
  EXPECT_EQ(path, (folder / "data_statistics.txt").string());
  const auto lines = Lines(test::ReadFileBytes(path));
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], "0 5.000000 1.000000 1.000000 1.000000 0.000000 100.000000 100.000000 0.000000 3");
  // Values 0, 2, 3: mean 5/3, range 3, threshold 0.15: one near the minimum, one near the maximum.
  const float mean = 5.0f / 3.0f;
  const float squares = (0 - mean) * (0 - mean) + (2 - mean) * (2 - mean) + (3 - mean) * (3 - mean);
  EXPECT_EQ(lines[1], fmt::format("1 7.500000 {:.6f} 0.000000 3.000000 3.000000 33.333336 33.333336 {:.6f} 3", mean,
                                  std::sqrt(static_cast<double>(squares / 3.0f))));
}

TEST(DataStatistics, NoRowInTheBandWritesNothingAndSaysSo) {
  test::TempFolder folder;
  test::WriteFileBytes(folder / "data_statistics.txt", "earlier");
  auto grid = Grid(2, 3, 1.0f, 1.0f, 0.0f, 5.0f, [](int, int) { return 1.0f; });  // y = 5..7
  std::string path, problem;
  EXPECT_FALSE(WriteDataStatistics(*grid, folder.Path().string(), 1.0f, 100.0f, path, problem));
  EXPECT_NE(problem.find("data_statistics.txt was not written"), std::string::npos) << problem;
  EXPECT_EQ(test::ReadFileBytes(folder / "data_statistics.txt"), "earlier");
}

TEST(AverageX, WindowsOfTheWorkedExample) {
  test::TempFolder folder;
  auto grid = Grid(3, 2, 1.0f, 1.0f, 0.0f, 0.0f, [](int ix, int iy) { return 10.0f * ix + iy; });
  grid->xLastDrawn = 2.0f;
  int lines = 0;
  std::string problem;
  EXPECT_TRUE(WriteAverageX(*grid, folder.Path().string(), 0.0f, 1.0f, lines, problem)) << problem;
  EXPECT_EQ(lines, 3);
  EXPECT_EQ(
      Lines(test::ReadFileBytes(folder / "average_x.csv")),
      (std::vector<std::string>{"0,0.000000,1.000000,5.000000,6.000000", "1,1.000000,2.000000,15.000000,16.000000",
                                "2,2.000000,3.000000,20.000000,21.000000"}));
}

TEST(AverageX, WindowsBeforeTheGridAreSkippedButCounted) {
  test::TempFolder folder;
  auto grid = Grid(3, 1, 1.0f, 1.0f, 10.0f, 0.0f, [](int ix, int) { return static_cast<float>(ix); });
  grid->xLastDrawn = 12.0f;
  // From 4 by 2: windows 0..2 end before x0 = 10; window 3 is [10, 12]; 4 is [12, 14].
  int lines = 0;
  std::string problem;
  EXPECT_TRUE(WriteAverageX(*grid, folder.Path().string(), 4.0f, 2.0f, lines, problem)) << problem;
  EXPECT_EQ(lines, 3);
  EXPECT_EQ(Lines(test::ReadFileBytes(folder / "average_x.csv")),
            (std::vector<std::string>{"2,8.000000,10.000000,0.000000", "3,10.000000,12.000000,1.000000",
                                      "4,12.000000,14.000000,2.000000"}));
}

TEST(AverageX, IntervalsThatNeverReachTheEndAreRefused) {
  test::TempFolder folder;
  auto grid = Grid(3, 1, 1.0f, 1.0f, 0.0f, 0.0f, [](int, int) { return 1.0f; });
  grid->xLastDrawn = 2.0f;
  for (float interval : {0.0f, -1.0f, std::nanf(""), 1.0e-9f}) {
    int lines = 0;
    std::string problem;
    EXPECT_FALSE(WriteAverageX(*grid, folder.Path().string(), 0.0f, interval, lines, problem));
    EXPECT_FALSE(problem.empty()) << interval;
  }
  EXPECT_FALSE(std::filesystem::exists(folder / "average_x.csv"));
}

TEST(CsvExport, OneLinePerColumnThatReadsBackTransposedWithTwoColumnsSkipped) {
  test::TempFolder folder;
  auto grid = Grid(3, 2, 0.5f, 1.0f, -1.0f, 0.0f, [](int ix, int iy) { return 1.25f * ix - iy; });
  const auto path = folder / "grid.csv";
  std::string problem;
  ASSERT_TRUE(WriteCsvGrid(*grid, path.string(), problem)) << problem;
  const auto lines = Lines(test::ReadFileBytes(path));
  EXPECT_EQ(lines, (std::vector<std::string>{"0,-1.000000,0.000000,-1.000000", "1,-0.500000,1.250000,0.250000",
                                             "2,0.000000,2.500000,1.500000"}));
  // As the CSV reader takes it with Transpose and 2 skipped columns: line r is node
  // column r, field 2 + k is node row k.
  for (int ix = 0; ix < 3; ++ix) {
    std::vector<std::string> fields;
    std::stringstream line(lines[ix]);
    for (std::string field; std::getline(line, field, ',');) fields.push_back(field);
    ASSERT_EQ(fields.size(), 4u);
    for (int iy = 0; iy < 2; ++iy) {
      double value = 0;
      ASSERT_TRUE(ParseDouble(fields[2 + iy], value));
      EXPECT_EQ(static_cast<float>(value), grid->Value(0, ix, iy));
    }
  }
}

TEST(CsvExport, UnwritableTargetKeepsTheEarlierFile) {
  test::TempFolder folder;
  auto grid = Grid(2, 2, 1.0f, 1.0f, 0.0f, 0.0f, [](int, int) { return 1.0f; });
  std::string problem;
  const std::string target = (folder / "plain" / "grid.csv").string();
  test::WriteFileBytes(folder / "plain", "earlier");
  EXPECT_FALSE(WriteCsvGrid(*grid, target, problem));
  EXPECT_EQ(problem, "Cannot write the file " + target + ": Not a directory");
  EXPECT_EQ(test::ReadFileBytes(folder / "plain"), "earlier");
}

}  // namespace
}  // namespace gridora
