#include "formats/delimited_table.h"

#include <fmt/printf.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <filesystem>

#include "document/random_data.h"
#include "formats/text_reader.h"
#include "platform/number_text.h"

namespace gridora {
namespace {

// Lines looked at to find the delimiter and the decimal mark.
constexpr int kSampleLines = 20;

char DelimiterChar(TableDelimiter delimiter) {
  switch (delimiter) {
    case TableDelimiter::Semicolon: return ';';
    case TableDelimiter::Tab: return '\t';
    case TableDelimiter::Space: return ' ';
    default: return ',';
  }
}

void DropLineEnd(std::string& line) {
  while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
}

bool IsBlankLine(const std::string& line) {
  return std::all_of(line.begin(), line.end(), [](unsigned char c) { return std::isspace(c) != 0; });
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) text.remove_suffix(1);
  return text;
}

// A field as a number, with `decimalMark` (',' or '.') as the decimal point.
bool FieldNumber(std::string_view field, char decimalMark, double& value) {
  field = Trimmed(field);
  if (field.empty() || field.find('\0') != std::string_view::npos) return false;
  double parsed = 0.0;
  if (decimalMark == '.' || field.find(',') == std::string_view::npos) {
    if (!ParseDouble(field, parsed)) return false;
  } else {
    std::string copy(field);
    std::replace(copy.begin(), copy.end(), ',', '.');
    if (!ParseDouble(copy, parsed)) return false;
  }
  // "nan", "inf", "-Infinity" are words to a table's user, not coordinates: a row holding
  // one is skipped like a row holding any other word.
  if (!std::isfinite(parsed)) return false;
  value = parsed;
  return true;
}

// True when `text` ends inside a quoted field as SplitTableLine reads it: a double quote
// opens a field only at the field's start, "" inside is one quote. `startInside`: the
// text continues a quoted field.
bool EndsInsideQuotes(std::string_view text, TableDelimiter delimiter, bool startInside = false) {
  const bool blanks = delimiter == TableDelimiter::Space;
  const char separator = DelimiterChar(delimiter);
  bool inQuotes = startInside, fieldStart = !startInside;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (inQuotes) {
      if (c == '"') {
        if (i + 1 < text.size() && text[i + 1] == '"')
          ++i;
        else
          inQuotes = false;
      }
      continue;
    }
    if (blanks ? (c == ' ' || c == '\t') : c == separator) {
      fieldStart = true;
      continue;
    }
    inQuotes = fieldStart && c == '"';
    fieldStart = false;
  }
  return inQuotes;
}

// Reads lines, refusing (through `tooLong`) a line longer than the limit.
class LineSource {
 public:
  bool Open(const std::string& path, std::string& problem) { return reader_.Open(path, problem); }
  // False at the end. A line over the limit (in characters: bytes, or code points in a
  // file with a byte-order mark) comes back empty with tooLong set, and the whole of it
  // is passed over.
  bool Next(std::string& line, bool& tooLong) {
    tooLong = false;
    if (!reader_.ReadLine(line, kMaximumLineBytes)) return false;
    if (reader_.LastLineWasCut()) {
      tooLong = true;
      std::string rest;
      while (reader_.LastLineWasCut() && reader_.ReadLine(rest, kMaximumLineBytes)) {
      }
      line.clear();
      return true;
    }
    DropLineEnd(line);
    return true;
  }
  // The next record: a line, joined (with its line feeds) to the lines after it while a
  // quoted field is open at its end, so a field that holds line breaks stays one field.
  // A record over the limit comes back empty with tooLong set; the lines up to the
  // closing quote (or the end of the file) are then passed over without being kept, so
  // none of them is read as a row of its own.
  bool NextRecord(std::string& record, bool& tooLong, TableDelimiter delimiter) {
    if (!Next(record, tooLong)) return false;
    if (tooLong || !EndsInsideQuotes(record, delimiter)) return true;
    std::string more;
    bool moreTooLong = false;
    bool open = true;
    while (open && Next(more, moreTooLong)) {
      if (moreTooLong || record.size() + 1 + more.size() > kMaximumLineBytes) {
        // Past the limit only the quoting is followed, to find where the record ends.
        tooLong = true;
        record.clear();
      }
      // A line too long to look at is taken as inside the field; any other continues it.
      if (!moreTooLong) open = EndsInsideQuotes(more, delimiter, true);
      if (!tooLong) {
        record += '\n';
        record += more;
      }
    }
    return true;
  }
  bool Failed() const { return reader_.Failed(); }

 private:
  TextReader reader_;
};

// How well a delimiter splits the sample: every line into the same number of fields,
// at least two. Returns that count, or 0.
std::size_t ConsistentFields(const std::vector<std::string>& sample, TableDelimiter delimiter) {
  std::size_t fields = 0;
  for (const std::string& line : sample) {
    const std::size_t n = SplitTableLine(line, delimiter).size();
    if (fields == 0) fields = n;
    if (n != fields) return 0;
  }
  return fields >= 2 ? fields : 0;
}

TableDelimiter DetectDelimiter(const std::vector<std::string>& sample) {
  for (TableDelimiter d : {TableDelimiter::Tab, TableDelimiter::Semicolon, TableDelimiter::Comma})
    if (ConsistentFields(sample, d) > 0) return d;
  if (ConsistentFields(sample, TableDelimiter::Space) > 0) return TableDelimiter::Space;
  // Nothing splits every line alike: the delimiter found most often in the first line.
  const std::string& first = sample.front();
  TableDelimiter best = TableDelimiter::Space;
  std::ptrdiff_t most = 0;
  for (TableDelimiter d : {TableDelimiter::Tab, TableDelimiter::Semicolon, TableDelimiter::Comma}) {
    const auto n = std::count(first.begin(), first.end(), DelimiterChar(d));
    if (n > most) most = n, best = d;
  }
  return best;
}

// A comma is the decimal mark when the delimiter is not a comma and data fields hold
// a comma between digits ("12,5").
char DetectDecimalMark(const std::vector<std::vector<std::string>>& rows, TableDelimiter delimiter) {
  if (delimiter == TableDelimiter::Comma) return '.';
  for (const auto& row : rows)
    for (const std::string& field : row) {
      const std::string_view f = Trimmed(field);
      const std::size_t comma = f.find(',');
      if (comma == std::string_view::npos || comma == 0 || comma + 1 >= f.size()) continue;
      if (std::isdigit(static_cast<unsigned char>(f[comma - 1])) &&
          std::isdigit(static_cast<unsigned char>(f[comma + 1])) && f.find('.') == std::string_view::npos)
        return ',';
    }
  return '.';
}

std::string Simplified(const std::string& name) {
  std::string out;
  for (unsigned char c : name)
    if (!std::isspace(c)) out += static_cast<char>(std::tolower(c));
  return out;
}

}  // namespace

std::optional<TableDelimiter> TableDelimiterFromName(const std::string& name) {
  if (name == "auto") return TableDelimiter::Auto;
  if (name == "comma") return TableDelimiter::Comma;
  if (name == "semicolon") return TableDelimiter::Semicolon;
  if (name == "tab") return TableDelimiter::Tab;
  if (name == "space") return TableDelimiter::Space;
  return std::nullopt;
}

std::vector<std::string> SplitTableLine(const std::string& line, TableDelimiter delimiter) {
  std::vector<std::string> fields;
  const bool blanks = delimiter == TableDelimiter::Space;
  const char separator = DelimiterChar(delimiter);
  std::size_t i = 0;
  const std::size_t n = line.size();
  if (blanks)
    while (i < n && (line[i] == ' ' || line[i] == '\t')) ++i;
  if (i == n) return fields;
  for (;;) {
    std::string field;
    if (line[i] == '"') {
      ++i;
      while (i < n) {
        if (line[i] == '"') {
          if (i + 1 < n && line[i + 1] == '"') {
            field += '"';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        field += line[i++];
      }
      // Text after the closing quote up to the delimiter belongs to the field.
      while (i < n && !(blanks ? (line[i] == ' ' || line[i] == '\t') : line[i] == separator)) field += line[i++];
    } else {
      const std::size_t start = i;
      while (i < n && !(blanks ? (line[i] == ' ' || line[i] == '\t') : line[i] == separator)) ++i;
      field.assign(line, start, i - start);
    }
    fields.push_back(std::move(field));
    if (i >= n) break;
    if (blanks) {
      while (i < n && (line[i] == ' ' || line[i] == '\t')) ++i;
      if (i == n) break;
    } else {
      ++i;  // past the delimiter; a delimiter at the end leaves one empty field
      if (i == n) {
        fields.emplace_back();
        break;
      }
    }
  }
  return fields;
}

namespace {

// The first `wanted` lines that are not blank after `skip` lines; with `records`, lines
// joined where a quoted field holds line breaks under `delimiter`. False with `problem`.
bool ReadSample(const std::string& path, int skip, int wanted, std::optional<TableDelimiter> records,
                std::vector<std::string>& sample, std::string& problem) {
  LineSource source;
  if (!source.Open(path, problem)) return false;
  std::string line;
  bool tooLong = false;
  for (int i = 0; i < skip; ++i)
    if (!source.Next(line, tooLong)) break;
  sample.clear();
  while (static_cast<int>(sample.size()) < wanted &&
         (records ? source.NextRecord(line, tooLong, *records) : source.Next(line, tooLong))) {
    if (tooLong) {
      if (sample.empty()) {
        problem = fmt::sprintf("Cannot read %s: its first line is longer than %d bytes.", path,
                               static_cast<int>(kMaximumLineBytes));
        return false;
      }
      continue;
    }
    if (!IsBlankLine(line)) sample.push_back(line);
  }
  if (source.Failed()) {
    problem = fmt::sprintf("Cannot read %s: the system reported a read error.", path);
    return false;
  }
  if (sample.empty()) {
    problem = fmt::sprintf("%s has no lines after the %d skipped.", path, skip);
    return false;
  }
  return true;
}

}  // namespace

bool PreviewTable(const std::string& path, TableDelimiter delimiter, int skip, int rowCount, TablePreview& preview,
                  std::string& problem) {
  std::vector<std::string> sample;
  const int wanted = std::max(rowCount + 1, kSampleLines);
  if (!ReadSample(path, skip, wanted, std::nullopt, sample, problem)) return false;
  TableDelimiter found = delimiter == TableDelimiter::Auto ? DetectDelimiter(sample) : delimiter;
  // A quoted field may hold line breaks: the sample is then read again as records, and
  // the delimiter found from them (a line of a field cut in two splits unlike the rest).
  const bool quotes =
      std::any_of(sample.begin(), sample.end(), [](const std::string& l) { return l.find('"') != std::string::npos; });
  if (quotes) {
    if (delimiter == TableDelimiter::Auto) {
      std::vector<std::string> records;
      for (TableDelimiter d :
           {TableDelimiter::Tab, TableDelimiter::Semicolon, TableDelimiter::Comma, TableDelimiter::Space}) {
        if (!ReadSample(path, skip, wanted, d, records, problem)) return false;
        if (ConsistentFields(records, d) > 0) {
          found = d;
          break;
        }
      }
    }
    if (!ReadSample(path, skip, wanted, found, sample, problem)) return false;
  }

  preview = TablePreview{};
  preview.delimiter = found;
  std::vector<std::string> first = SplitTableLine(sample.front(), preview.delimiter);
  if (static_cast<int>(first.size()) > kMaximumColumns) {
    problem = fmt::sprintf("Cannot read %s: its first line has %d fields, more than the %d a table may have.", path,
                           static_cast<int>(first.size()), kMaximumColumns);
    return false;
  }
  for (std::size_t i = 1; i < sample.size(); ++i) {
    auto fields = SplitTableLine(sample[i], preview.delimiter);
    if (fields.size() > static_cast<std::size_t>(kMaximumColumns)) fields.resize(kMaximumColumns);
    preview.rows.push_back(std::move(fields));
  }
  // The decimal mark from the data rows, and from the first line when it may be data.
  std::vector<std::vector<std::string>> numbersSeen = preview.rows;
  numbersSeen.push_back(first);
  preview.decimalMark = DetectDecimalMark(numbersSeen, preview.delimiter);

  double ignored = 0.0;
  preview.hasHeader = !std::all_of(first.begin(), first.end(), [&](const std::string& field) {
    return FieldNumber(field, preview.decimalMark, ignored);
  });
  if (preview.hasHeader) {
    for (std::string& name : first) name = std::string(Trimmed(name));
    preview.columns = std::move(first);
  } else {
    for (std::size_t i = 0; i < first.size(); ++i) preview.columns.push_back(std::to_string(i + 1));
    preview.rows.insert(preview.rows.begin(), std::move(first));
  }
  preview.numeric.assign(preview.columns.size(), false);
  for (std::size_t k = 0; k < preview.columns.size(); ++k) {
    bool seen = false, allNumbers = true;
    for (const auto& row : preview.rows) {
      if (k >= row.size() || Trimmed(row[k]).empty()) continue;
      seen = true;
      if (!FieldNumber(row[k], preview.decimalMark, ignored)) allNumbers = false;
    }
    preview.numeric[k] = seen && allNumbers;
  }
  if (static_cast<int>(preview.rows.size()) > rowCount) preview.rows.resize(static_cast<std::size_t>(rowCount));
  return true;
}

std::optional<int> FindTableColumn(const std::vector<std::string>& columns, const std::string& choice) {
  const std::string wanted(Trimmed(choice));
  if (wanted.empty()) return std::nullopt;
  for (std::size_t i = 0; i < columns.size(); ++i)
    if (columns[i] == wanted) return static_cast<int>(i);
  const std::string simple = Simplified(wanted);
  for (std::size_t i = 0; i < columns.size(); ++i)
    if (Simplified(columns[i]) == simple) return static_cast<int>(i);
  int number = 0;
  if (ParseInt(wanted, number) && number >= 1 && number <= static_cast<int>(columns.size())) return number - 1;
  return std::nullopt;
}

std::string TableImportReport::SkippedText() const {
  std::string text;
  if (rowsShort > 0) text += fmt::sprintf("%d rows were skipped: too few fields for the chosen columns.", rowsShort);
  if (rowsNotNumeric > 0) {
    if (!text.empty()) text += "\n";
    text += fmt::sprintf("%d rows were skipped: a chosen column is not a number there.", rowsNotNumeric);
  }
  if (rowsBeyondCapacity > 0) {
    if (!text.empty()) text += "\n";
    text += fmt::sprintf("%d rows were skipped: a point set holds at most %d points.", rowsBeyondCapacity,
                         RandomData::kCapacity);
  }
  return text;
}

bool ReadTablePoints(RandomData& data, const std::string& path, const TableImport& import, TableImportReport& report,
                     std::string& problem) {
  report = TableImportReport{};
  TablePreview preview;
  if (!PreviewTable(path, import.delimiter, import.skip, 0, preview, problem)) return false;
  const std::string fileName = std::filesystem::path(path).filename().string();
  int column[3] = {};
  const std::string* choices[3] = {&import.x, &import.y, &import.z};
  const char* axes[3] = {"x", "y", "z"};
  for (int k = 0; k < 3; ++k) {
    const auto found = FindTableColumn(preview.columns, *choices[k]);
    if (!found) {
      problem = fmt::sprintf("%s has no column \"%s\" for %s.", fileName, *choices[k], axes[k]);
      return false;
    }
    column[k] = *found;
  }
  const std::size_t needed = static_cast<std::size_t>(std::max({column[0], column[1], column[2]})) + 1;
  std::optional<std::size_t> labelColumn;
  if (!Trimmed(import.label).empty()) {
    const auto found = FindTableColumn(preview.columns, import.label);
    if (!found) {
      problem = fmt::sprintf("%s has no column \"%s\" for the label.", fileName, import.label);
      return false;
    }
    labelColumn = static_cast<std::size_t>(*found);
  }
  // The fields a row is split into: the label's too, though a row may lack it.
  const std::size_t wanted = labelColumn ? std::max(needed, *labelColumn + 1) : needed;

  LineSource source;
  if (!source.Open(path, problem)) return false;
  std::string line;
  bool tooLong = false;
  for (int i = 0; i < import.skip; ++i)
    if (!source.Next(line, tooLong)) break;
  bool headerPending = preview.hasHeader;

  data.count = 0;
  data.labels.clear();
  data.StartRanges();
  const char separator = DelimiterChar(preview.delimiter);
  const bool quickSplit = preview.delimiter != TableDelimiter::Space;
  std::vector<std::string_view> fields;
  std::vector<std::string> quoted;
  while (source.NextRecord(line, tooLong, preview.delimiter)) {
    if (tooLong) {
      ++report.rowsNotNumeric;
      continue;
    }
    if (IsBlankLine(line)) continue;
    if (headerPending) {
      headerPending = false;
      continue;
    }
    // Most rows hold no quotes: split them in place.
    fields.clear();
    if (quickSplit && line.find('"') == std::string::npos) {
      std::size_t start = 0;
      for (;;) {
        const std::size_t end = line.find(separator, start);
        fields.emplace_back(line.data() + start, (end == std::string::npos ? line.size() : end) - start);
        if (end == std::string::npos || fields.size() >= wanted) break;
        start = end + 1;
      }
    } else {
      quoted = SplitTableLine(line, preview.delimiter);
      for (const std::string& f : quoted) fields.emplace_back(f);
    }
    if (fields.size() < needed) {
      ++report.rowsShort;
      continue;
    }
    DataPoint point{};
    if (!FieldNumber(fields[static_cast<std::size_t>(column[0])], preview.decimalMark, point.x) ||
        !FieldNumber(fields[static_cast<std::size_t>(column[1])], preview.decimalMark, point.y) ||
        !FieldNumber(fields[static_cast<std::size_t>(column[2])], preview.decimalMark, point.z)) {
      ++report.rowsNotNumeric;
      continue;
    }
    if (data.count >= RandomData::kCapacity) {
      ++report.rowsBeyondCapacity;
      continue;
    }
    if (labelColumn)
      data.labels.emplace_back(*labelColumn < fields.size() ? Trimmed(fields[*labelColumn]) : std::string_view());
    data.points[static_cast<std::size_t>(data.count++)] = point;
    data.ExtendRanges(point);
  }
  if (source.Failed()) {
    problem = fmt::sprintf("Cannot read %s: the system reported a read error.", path);
    return false;
  }
  report.rowsRead = data.count;
  if (data.count == 0) {
    problem = fmt::sprintf("%s has no row with numbers in the columns %s, %s and %s.", fileName,
                           preview.columns[static_cast<std::size_t>(column[0])],
                           preview.columns[static_cast<std::size_t>(column[1])],
                           preview.columns[static_cast<std::size_t>(column[2])]);
    const std::string skipped = report.SkippedText();
    if (!skipped.empty()) problem += "\n" + skipped;
    return false;
  }
  return true;
}

}  // namespace gridora
