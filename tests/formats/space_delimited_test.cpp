#include <gtest/gtest.h>

#include "formats/space_delimited.h"
#include "support/current_folder.h"
#include "support/test_support.h"

namespace gridora {
namespace {

struct SpaceDelimitedRead : ::testing::Test {
  test::TempFolder folder;
  test::CurrentFolder inFolder{folder.Path()};
  std::unique_ptr<RandomData> points = CreateRandomData();
  std::string problem;

  // The number of points kept, -1 when the read failed.
  int Read(const std::string& bytes, const SpaceDelimitedOptions& options = {}) {
    test::WriteFileBytes(folder / "points.xyz", bytes);
    return ReadSpaceDelimited(*points, (folder / "points.xyz").string(), problem, options) ? points->count : -1;
  }
};

TEST_F(SpaceDelimitedRead, TakesThreeLeadingNumbersAndSkipsOtherLines) {
  const std::string file =
      "1.5 2.5 3.5 metres\n"  // words after the third number are ignored
      "1.5,2.5,3.5\n"         // commas: no point
      "\n"
      "x y z\n"
      "  -4\t+5e1   6 \r\n"
      "7 8\n"
      "9 10 11";  // no line feed after the last point
  ASSERT_EQ(Read(file), 3) << problem;
  EXPECT_EQ(points->points[0].x, 1.5);
  EXPECT_EQ(points->points[0].z, 3.5);
  EXPECT_EQ(points->points[1].x, -4.0);
  EXPECT_EQ(points->points[1].y, 50.0);
  EXPECT_EQ(points->points[2].z, 11.0);
  EXPECT_EQ(points->xMinimum, -4.0f);
  EXPECT_EQ(points->xMaximum, 9.0f);
  EXPECT_EQ(points->yMaximum, 50.0f);
  EXPECT_EQ(points->zMinimum, 3.5f);
  // Every point goes to "ReadText.txt" in the current folder, with CR LF line ends.
  EXPECT_EQ(test::ReadFileBytes(folder / "ReadText.txt"),
            "1.500 2.500 3.500 \r\n-4.000 50.000 6.000 \r\n9.000 10.000 11.000 \r\n");
}

TEST_F(SpaceDelimitedRead, ReplacesEarlierPointsAndRanges) {
  ASSERT_EQ(Read("0 0 0\n1 1 1\n2 2 2\n"), 3);
  ASSERT_EQ(Read("5 6 7\n"), 1);
  EXPECT_EQ(points->count, 1);
  EXPECT_EQ(points->xMinimum, 5.0f);
  EXPECT_EQ(points->xMaximum, 5.0f);
  // No valid line: no points, and the ranges at their starting extremes.
  ASSERT_EQ(Read("a b c\n"), 0);
  EXPECT_EQ(points->xMinimum, 1.0e10f);
  EXPECT_EQ(points->zMaximum, -1.0e10f);
}

TEST_F(SpaceDelimitedRead, LongLinesAreReadAsPiecesOf1023Characters) {
  // The second piece of the long line starts with three numbers of its own.
  const std::string longLine = "1 2 3" + std::string(1018, ' ') + "4 5 6\n";
  ASSERT_EQ(Read(longLine), 2);
  EXPECT_EQ(points->points[1].x, 4.0);
}

TEST_F(SpaceDelimitedRead, StopsAtTheCapacity) {
  SpaceDelimitedOptions options;
  options.capacity = 3;
  ASSERT_EQ(Read("1 1 1\n2 2 2\n3 3 3\n4 4 4\n", options), 3);
  EXPECT_EQ(points->xMaximum, 3.0f);
}

TEST_F(SpaceDelimitedRead, Utf16LittleEndianFilesAreRead) {
  std::string bytes = "\xFF\xFE";
  for (char c : std::string("1 2 3\r\n4 5 6\r\n")) bytes += std::string{c, '\0'};
  ASSERT_EQ(Read(bytes), 2);
  EXPECT_EQ(points->points[1].z, 6.0);
}

TEST_F(SpaceDelimitedRead, UnreadableFilesLeaveThePointsAlone) {
  ASSERT_EQ(Read("1 2 3\n"), 1);
  EXPECT_FALSE(ReadSpaceDelimited(*points, (folder / "missing.xyz").string(), problem));
  EXPECT_NE(problem.find("missing.xyz"), std::string::npos);
  EXPECT_EQ(Read(std::string("\xFE\xFF\0001", 4)), -1);
  EXPECT_NE(problem.find("big-endian"), std::string::npos);
  EXPECT_EQ(points->count, 1);
  EXPECT_EQ(points->points[0].x, 1.0);
}

TEST_F(SpaceDelimitedRead, SampleFile) {
  ASSERT_TRUE(ReadSpaceDelimited(*points, GRIDORA_SOURCE_DIR "/examples/volcano_samples.xyz", problem));
  EXPECT_EQ(points->count, 300);
  EXPECT_EQ(points->xMinimum, -2.64);
  EXPECT_EQ(points->yMaximum, 862.29);
  EXPECT_EQ(points->zMinimum, 94.0f);
  EXPECT_EQ(points->zMaximum, 190.0f);
}

}  // namespace
}  // namespace gridora
