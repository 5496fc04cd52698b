#include <gtest/gtest.h>

#include <array>

#include "formats/pwri_grid.h"
#include "support/test_support.h"

namespace gridora {
namespace {

struct PwriRead : ::testing::Test {
  test::TempFolder folder;
  std::unique_ptr<RandomData> points = CreateRandomData();
  std::string problem;

  bool Read(const std::string& bytes, int capacity = RandomData::kCapacity) {
    test::WriteFileBytes(folder / "grid.txt", bytes);
    return ReadPwriGrid(*points, (folder / "grid.txt").string(), problem, capacity);
  }
  std::vector<std::array<double, 3>> Points() const {
    std::vector<std::array<double, 3>> result;
    for (int i = 0; i < points->count; ++i)
      result.push_back({points->points[i].x, points->points[i].y, points->points[i].z});
    return result;
  }
};

using Triples = std::vector<std::array<double, 3>>;
const Triples kSixPoints = {{10, 5, 1}, {20, 5, 2}, {30, 5, 3}, {10, 6, 4}, {20, 6, 5}, {30, 6, 6}};

TEST_F(PwriRead, HeaderSeparatorsAllGiveTheSameTable) {
  for (const char* header : {"0 10 20 30\n", "0,10,20,30\n", "0\t10 \t20   30\n", "0 10 20 30\r\n"}) {
    ASSERT_TRUE(Read(std::string(header) + "5 1 2 3\n6 4 5 6\n")) << header;
    EXPECT_EQ(Points(), kSixPoints) << header;
    EXPECT_EQ(points->zMinimum, 1.0f);
    EXPECT_EQ(points->zMaximum, 6.0f);
    EXPECT_EQ(points->xMaximum, 30.0f);
  }
}

TEST_F(PwriRead, NumbersAreAStreamWhateverTheLines) {
  ASSERT_TRUE(Read("0 10 20 30\n5\n1 2\n3 6 4\n5 6\n"));
  EXPECT_EQ(Points(), kSixPoints);
}

TEST_F(PwriRead, TheValueReadWithTheEndOfTheFileIsNotKept) {
  ASSERT_TRUE(Read("0 10 20 30\n5 1 2 3\n6 4 5 6"));
  EXPECT_EQ(points->count, 5);
  // A short last row keeps what it has.
  ASSERT_TRUE(Read("0 10 20 30\n5 1 2 3\n6 4\n"));
  EXPECT_EQ(points->count, 4);
}

TEST_F(PwriRead, TextInTheStreamKeepsThePreviousValue) {
  ASSERT_TRUE(Read("0 10 20\n5 1 n/a\n6 4 5\n"));
  EXPECT_EQ(Points(), (Triples{{10, 5, 1}, {20, 5, 1}, {10, 6, 4}, {20, 6, 5}}));
}

TEST_F(PwriRead, CommaThenSpaceMakesAnEmptyColumn) {
  EXPECT_EQ(SplitPwriHeader("0, 10 20\n"), (std::vector<std::string>{"0", "", "10", "20\n"}));
  EXPECT_EQ(SplitPwriHeader("0  10\n"), (std::vector<std::string>{"0", " 10\n"}));
}

TEST_F(PwriRead, FirstFieldMustBeZero) {
  for (const char* file : {"1 10 20\n5 1 2\n", "x 10\n", "", "\n"}) {
    EXPECT_FALSE(Read(file)) << file;
    EXPECT_EQ(problem, kPwriWrongFormat) << file;
  }
  EXPECT_TRUE(Read(" 0 10\n5 1\n"));
}

TEST_F(PwriRead, HeadersBeyondTheLimitsAreRefused) {
  std::string manyFields = "0";
  for (int i = 1; i <= 128; ++i) manyFields += " " + std::to_string(i);
  struct Case {
    std::string header;
    const char* says;
  } cases[] = {
      {"0 " + std::string(1100, '1') + "\n", "1024 characters"},
      {"0 1" + std::string(1020, ' ') + "\n", "1024 characters"},
      {manyFields + "\n", "more than 128 fields"},
      {"0 " + std::string(300, '2') + "\n", "256 characters"},
  };
  points->count = 7;
  for (const auto& c : cases) {
    EXPECT_FALSE(Read(c.header + "1 2 3\n")) << c.says;
    EXPECT_NE(problem.find(c.says), std::string::npos) << problem;
  }
  EXPECT_EQ(points->count, 7);
  // 127 columns are fine.
  manyFields.resize(manyFields.rfind(' '));
  EXPECT_TRUE(Read(manyFields + "\n1" + std::string(127 * 2, ' ') + "\n"));
}

TEST_F(PwriRead, StopsAtTheCapacityAndAfter8192Rows) {
  ASSERT_TRUE(Read("0 1 2\n1 1 1\n2 2 2\n3 3 3\n", 5));
  EXPECT_EQ(points->count, 5);
  std::string rows = "0 1\n";
  for (int r = 0; r < 8200; ++r) rows += std::to_string(r) + " 1\n";
  ASSERT_TRUE(Read(rows));
  EXPECT_EQ(points->count, 8192);
}

TEST_F(PwriRead, MissingFileIsReported) {
  EXPECT_FALSE(ReadPwriGrid(*points, (folder / "none.txt").string(), problem));
  EXPECT_NE(problem.find("none.txt"), std::string::npos);
}

}  // namespace
}  // namespace gridora
