#pragma once
// Points from the tables people have: comma, semicolon, tab or space separated text
// with a header line naming the columns, perhaps a few lines before it, fields in
// double quotes, a decimal comma, a byte-order mark. The delimiter and the decimal mark
// are found from the first lines; the x, y and z columns are chosen by name or number.
//
// A quoted field may hold line breaks: the lines it spans are one row.
//
// Hostile files stay harmless: a line longer than kMaximumLineBytes, or a header of
// more than kMaximumColumns fields, refuses the table; data rows that cannot give the
// three numbers (too few fields, text, "nan" or "inf", NUL bytes, a line or a quoted
// row too long) are skipped and counted, and the count is reported. A line too long is
// passed over whole, in a file with a byte-order mark too (whose limit counts
// characters), and a quoted row too long up to its closing quote: no piece of either is
// read as a row. Only a regular file is read.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace gridora {

struct RandomData;

enum class TableDelimiter { Auto, Comma, Semicolon, Tab, Space };

// The batch word of each delimiter ("auto", "comma", "semicolon", "tab", "space").
std::optional<TableDelimiter> TableDelimiterFromName(const std::string& name);

inline constexpr std::size_t kMaximumLineBytes = 1 << 20;
inline constexpr int kMaximumColumns = 10000;

// What the first lines of a table show: the column names (numbers "1", "2", ... when
// the first line holds only numbers, which then is data) and a few data rows.
struct TablePreview {
  TableDelimiter delimiter = TableDelimiter::Comma;  // as found (never Auto)
  char decimalMark = '.';
  bool hasHeader = true;
  std::vector<std::string> columns;
  std::vector<std::vector<std::string>> rows;
  // Per column: every non-blank field of the sampled data rows is a number, and at least
  // one is there. What the import proposes for X, Y and Z (numbers) and the label (text).
  std::vector<bool> numeric;
};

// Reads the header and up to `rowCount` rows after `skip` lines. False: `problem`
// says why (no such file, no lines after the skipped ones, a hostile header).
bool PreviewTable(const std::string& path, TableDelimiter delimiter, int skip, int rowCount, TablePreview& preview,
                  std::string& problem);

// The 0-based column a choice names: a column name (exact, then ignoring case and
// blanks) or a 1-based number. Nothing when no column fits.
std::optional<int> FindTableColumn(const std::vector<std::string>& columns, const std::string& choice);

// Splits one line (without its line end) at `delimiter`; runs of blanks count as one
// for Space. Double quotes hold delimiters, and "" in them is one quote.
std::vector<std::string> SplitTableLine(const std::string& line, TableDelimiter delimiter);

struct TableImport {
  TableDelimiter delimiter = TableDelimiter::Auto;
  int skip = 0;                           // lines before the header
  std::string x = "1", y = "2", z = "3";  // column choices
  std::string label;                      // the label column's choice; empty: none
};

struct TableImportReport {
  int rowsRead = 0;
  int rowsShort = 0;       // fewer fields than the chosen columns need
  int rowsNotNumeric = 0;  // a chosen field that is not a finite number (or a line too long)
  int rowsBeyondCapacity = 0;
  // One sentence per kind of skipped row, empty when none was skipped.
  std::string SkippedText() const;
};

// Reads the points into `data` (replacing its contents, ranges updated), and with a label
// column each point's label (the field's text without its surrounding blanks; empty
// where a row has no such field). False with `problem` when the table cannot be read,
// a chosen column is not in it, or it has no numeric row.
bool ReadTablePoints(RandomData& data, const std::string& path, const TableImport& import, TableImportReport& report,
                     std::string& problem);

}  // namespace gridora
