// Points from delimited tables: what people's files look like, and hostile ones.
#include "formats/delimited_table.h"

#include <gtest/gtest.h>

#include "document/random_data.h"
#include "support/test_support.h"

namespace gridora {
namespace {

using test::TempFolder;
using test::WriteFileBytes;

using namespace std::string_literals;

struct TableCase {
  const char* name;
  std::string text;
  TableImport import;
  double x, y, z;  // the first point
  int count;
};

class TableReading : public ::testing::TestWithParam<TableCase> {};

TEST_P(TableReading, FirstPointAndCount) {
  TempFolder folder;
  const auto path = folder / "table.csv";
  WriteFileBytes(path, GetParam().text);
  auto data = CreateRandomData();
  TableImportReport report;
  std::string problem;
  ASSERT_TRUE(ReadTablePoints(*data, path.string(), GetParam().import, report, problem)) << problem;
  EXPECT_EQ(data->count, GetParam().count);
  EXPECT_DOUBLE_EQ(data->points[0].x, GetParam().x);
  EXPECT_DOUBLE_EQ(data->points[0].y, GetParam().y);
  EXPECT_DOUBLE_EQ(data->points[0].z, GetParam().z);
}

TableImport Columns(const char* x, const char* y, const char* z, int skip = 0,
                    TableDelimiter delimiter = TableDelimiter::Auto) {
  TableImport import;
  import.x = x;
  import.y = y;
  import.z = z;
  import.skip = skip;
  import.delimiter = delimiter;
  return import;
}

INSTANTIATE_TEST_SUITE_P(
    Tables, TableReading,
    ::testing::Values(
        TableCase{"CommaHeader", "x,y,z\r\n1.5,2,3\r\n4,5,6\r\n", Columns("x", "y", "z"), 1.5, 2, 3, 2},
        TableCase{"ColumnsByNameInAnyOrder", "id,Easting,Northing,Depth\n7,10,20,-3.5\n",
                  Columns("easting", "NORTHING", "Depth"), 10, 20, -3.5, 1},
        TableCase{"ColumnsByNumber", "a;b;c\n1;2;3\n", Columns("3", "2", "1"), 3, 2, 1, 1},
        TableCase{"SemicolonDecimalComma", "x;y;z\n1,5;2,25;-3,75\n", Columns("x", "y", "z"), 1.5, 2.25, -3.75, 1},
        TableCase{"TabDecimalComma", "x\ty\tz\n1,5\t2\t3\n", Columns("x", "y", "z"), 1.5, 2, 3, 1},
        TableCase{"Spaces", "  x   y    z\n 1  2   3\n4 5 6\n", Columns("x", "y", "z"), 1, 2, 3, 2},
        TableCase{"QuotedFieldsAndNames", "\"name, long\",\"x\",\"y\",\"z\"\n\"a, \"\"b\"\"\",\"1\",2,3\n",
                  Columns("x", "y", "z"), 1, 2, 3, 1},
        TableCase{"Utf8MarkAndSkippedRows", "\xEF\xBB\xBFsurvey 12\nunit m\nx,y,z\n1,2,3\n", Columns("x", "y", "z", 2),
                  1, 2, 3, 1},
        TableCase{"NoHeaderNumbersOnly", "1,2,3\n4,5,6\n", Columns("1", "2", "3"), 1, 2, 3, 2},
        TableCase{"DelimiterGiven", "x\ty z\n1\t2 3\n", Columns("x", "y", "z", 0, TableDelimiter::Space), 1, 2, 3, 1},
        TableCase{"Utf16LittleEndian",
                  "\xFF\xFEx\0,\0y\0,\0z\0\n\0"
                  "1\0,\0"
                  "2\0,\0"
                  "3\0\n\0"s,
                  Columns("x", "y", "z"), 1, 2, 3, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TableReading, SkippedRowsAreCountedWithTheirReason) {
  TempFolder folder;
  const auto path = folder / "t.csv";
  WriteFileBytes(path, "x,y,z\n1,2,3\n4,5\n7,8,n/a\n\n9,10,11\n1,2,\0x\n"s);
  auto data = CreateRandomData();
  TableImportReport report;
  std::string problem;
  ASSERT_TRUE(ReadTablePoints(*data, path.string(), Columns("x", "y", "z"), report, problem));
  EXPECT_EQ(data->count, 2);
  EXPECT_EQ(report.rowsShort, 1);
  EXPECT_EQ(report.rowsNotNumeric, 2);
  EXPECT_EQ(report.SkippedText(),
            "1 rows were skipped: too few fields for the chosen columns.\n"
            "2 rows were skipped: a chosen column is not a number there.");
}

TEST(TableReading, RefusalsSayWhy) {
  TempFolder folder;
  struct Refusal {
    std::string text;
    TableImport import;
    const char* message;
  };
  const std::string longLine(kMaximumLineBytes + 10, '1');
  std::string manyColumns;
  for (int i = 0; i < kMaximumColumns + 1; ++i) manyColumns += "c,";
  const Refusal refusals[] = {
      {"x,y,z\na,b,c\n", Columns("x", "y", "z"), "no row with numbers in the columns x, y and z"},
      {"x,y,z\n1,2,3\n", Columns("x", "y", "depth"), "no column \"depth\" for z"},
      {"x,y,z\n1,2,3\n", Columns("x", "y", "4"), "no column \"4\" for z"},
      {"", Columns("x", "y", "z"), "has no lines after the 0 skipped"},
      {longLine + "\n1,2,3\n", Columns("1", "2", "3"), "longer than"},
      {manyColumns + "\n", Columns("1", "2", "3"), "more than the 10000"},
      {"\xFE\xFF\0x"s, Columns("1", "2", "3"), "UTF-16"},
  };
  for (const Refusal& r : refusals) {
    const auto path = folder / "r.csv";
    WriteFileBytes(path, r.text);
    auto data = CreateRandomData();
    TableImportReport report;
    std::string problem;
    EXPECT_FALSE(ReadTablePoints(*data, path.string(), r.import, report, problem));
    EXPECT_NE(problem.find(r.message), std::string::npos) << problem;
  }
}

TEST(TableReading, LongLineInTheDataIsSkippedNotFatal) {
  TempFolder folder;
  const auto path = folder / "t.csv";
  WriteFileBytes(path, "x,y,z\n1,2,3\n" + std::string(kMaximumLineBytes * 2 + 5, '7') + "\n4,5,6\n");
  auto data = CreateRandomData();
  TableImportReport report;
  std::string problem;
  ASSERT_TRUE(ReadTablePoints(*data, path.string(), Columns("x", "y", "z"), report, problem));
  EXPECT_EQ(data->count, 2);
  EXPECT_EQ(data->points[1].z, 6.0);
  EXPECT_EQ(report.rowsNotNumeric, 1);
}

TEST(TablePreview, FindsDelimiterDecimalMarkHeaderAndRows) {
  TempFolder folder;
  const auto path = folder / "p.txt";
  WriteFileBytes(path, "comment\nE;N;H\n1,5;2;3\n4;5;6\n7;8;9\n");
  TablePreview preview;
  std::string problem;
  ASSERT_TRUE(PreviewTable(path.string(), TableDelimiter::Auto, 1, 2, preview, problem)) << problem;
  EXPECT_EQ(preview.delimiter, TableDelimiter::Semicolon);
  EXPECT_EQ(preview.decimalMark, ',');
  EXPECT_TRUE(preview.hasHeader);
  EXPECT_EQ(preview.columns, (std::vector<std::string>{"E", "N", "H"}));
  ASSERT_EQ(preview.rows.size(), 2u);
  EXPECT_EQ(preview.rows[1], (std::vector<std::string>{"4", "5", "6"}));
}

TEST(TableSplit, QuotesDelimitersAndEmptyFields) {
  EXPECT_EQ(SplitTableLine("a,,\"b,c\",", TableDelimiter::Comma), (std::vector<std::string>{"a", "", "b,c", ""}));
  EXPECT_EQ(SplitTableLine("\"say \"\"hi\"\"\";2", TableDelimiter::Semicolon),
            (std::vector<std::string>{"say \"hi\"", "2"}));
  EXPECT_EQ(SplitTableLine(" \t1  2\t 3 ", TableDelimiter::Space), (std::vector<std::string>{"1", "2", "3"}));
  EXPECT_TRUE(SplitTableLine("   ", TableDelimiter::Space).empty());
}

}  // namespace
}  // namespace gridora
