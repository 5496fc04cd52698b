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

namespace gridora {
namespace {

// UTF-16LE with its mark, from ASCII and two-byte UTF-8 text.
std::string Utf16(const std::string& utf8) {
  std::string out = "\xFF\xFE";
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    unsigned unit = static_cast<unsigned char>(utf8[i]);
    if (unit >= 0xC0) unit = ((unit & 0x1F) << 6) | (static_cast<unsigned char>(utf8[++i]) & 0x3F);
    out += static_cast<char>(unit & 0xFF);
    out += static_cast<char>(unit >> 8);
  }
  return out;
}

// A line of more characters than a table line may hold, each two bytes in UTF-8, then
// "7,8,9": read in pieces of the limit, the tail would be a row of its own.
std::string LongLineEndingInARow() {
  std::string line;
  for (std::size_t i = 0; i < kMaximumLineBytes; ++i) line += "\xC3\xA9";  // U+00E9
  return line + "7,8,9\n";
}

struct HostileRowsCase {
  const char* name;
  std::string text;
  std::vector<double> z;  // of the points read, in order
  int notNumeric;
};

class HostileRows : public ::testing::TestWithParam<HostileRowsCase> {};

// Rows that are no points never become points, and each is counted once.
TEST_P(HostileRows, OnlyRealRowsBecomePoints) {
  TempFolder folder;
  const auto path = folder / "t.csv";
  WriteFileBytes(path, GetParam().text);
  auto data = CreateRandomData();
  TableImportReport report;
  std::string problem;
  TableImport import;
  import.x = "x";
  import.y = "y";
  import.z = "z";
  ASSERT_TRUE(ReadTablePoints(*data, path.string(), import, report, problem)) << problem;
  std::vector<double> z;
  for (int i = 0; i < data->count; ++i) z.push_back(data->points[i].z);
  EXPECT_EQ(z, GetParam().z);
  EXPECT_EQ(report.rowsNotNumeric, GetParam().notNumeric);
  EXPECT_EQ(report.rowsShort, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Tables, HostileRows,
    ::testing::Values(
        HostileRowsCase{"NotANumberAndInfinityAnyCaseAndSign",
                        "x,y,z\n1,2,3\nnan,2,3\n1,inf,3\n1,2,-Infinity\n1,2,NaN\n+INF,2,3\n1,2,-nan\n"
                        "1,2,infinity\n4,5,6\n",
                        {3, 6},
                        7},
        HostileRowsCase{"NotANumberWithDecimalComma", "x;y;z\n1,5;2;3\n1;2;inf\n1;-INF;3\n4;5;6,5\n", {3, 6.5}, 2},
        HostileRowsCase{"QuotedFieldWithLineBreaksIsOneField",
                        "name,x,y,z\n\"first line\nsecond line\",1,2,3\n\"plain\",4,5,6\n",
                        {3, 6},
                        0},
        HostileRowsCase{"NumbersInsideAQuotedFieldAreNoRow",
                        "x,y,z,note\n1,2,3,\"a note\n7,8,9\nand its end\"\n4,5,6,x\n",
                        {3, 6},
                        0},
        HostileRowsCase{
            "QuotesDoubledAcrossLines", "x,y,z,note\n1,2,3,\"say \"\"\n7,8,9\n\"\" ok\"\n4,5,6,\n", {3, 6}, 0},
        HostileRowsCase{"SemicolonsAndALineBreakInQuotes", "x;y;z;note\n1;2;3;\"a;\n7;8;9\"\n4;5;6;b\n", {3, 6}, 0},
        HostileRowsCase{"QuoteNeverClosedSwallowsTheRestAsOneRow", "x,y,z\n1,2,3\n4,5,\"6\n7,8,9\n", {3}, 1},
        HostileRowsCase{"QuoteInsideAnUnquotedFieldIsText", "x,y,z,note\n1,2,3,12\"5\n4,5,6,x\n", {3, 6}, 0},
        HostileRowsCase{"QuotedRowLongerThanTheLimitIsSkippedToItsClosingQuote",
                        "x,y,z,note\n1,2,3,a\n10,20,30,\"" + std::string(kMaximumLineBytes - 100, 'a') + "\n" +
                            std::string(200, 'b') + "\n7,8,9\n\"\n4,5,6,x\n",
                        {3, 6},
                        1},
        HostileRowsCase{"LongLineWithByteOrderMarkIsSkippedWhole",
                        "\xEF\xBB\xBFx,y,z\n1,2,3\n" + LongLineEndingInARow() + "4,5,6\n",
                        {3, 6},
                        1},
        HostileRowsCase{
            "LongLineInUtf16IsSkippedWhole", Utf16("x,y,z\n1,2,3\n" + LongLineEndingInARow() + "4,5,6\n"), {3, 6}, 1}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TablePreview, AQuotedHeaderFieldMaySpanLines) {
  TempFolder folder;
  const auto path = folder / "p.csv";
  WriteFileBytes(path, "\"east\ning\",y,z\n1,2,3\n");
  TablePreview preview;
  std::string problem;
  ASSERT_TRUE(PreviewTable(path.string(), TableDelimiter::Auto, 0, 5, preview, problem)) << problem;
  EXPECT_EQ(preview.delimiter, TableDelimiter::Comma);
  EXPECT_EQ(preview.columns, (std::vector<std::string>{"east\ning", "y", "z"}));
  ASSERT_EQ(preview.rows.size(), 1u);
}

}  // namespace
}  // namespace gridora
