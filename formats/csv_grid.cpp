#include "formats/csv_grid.h"

#include <fmt/printf.h>

#include <cmath>
#include <limits>
#include <new>
#include <stdexcept>
#include <vector>

#include "formats/csv_line.h"
#include "formats/text_reader.h"
#include "platform/count_text.h"
#include "platform/number_text.h"
#include "platform/profile.h"

namespace gridora {
namespace {

constexpr std::size_t kLineCharacters = kCsvLineCharacters;

}  // namespace

bool CountCsvTable(const std::string& path, CsvTableSize& size, std::string& problem) {
  TextReader reader;
  if (!reader.Open(path, problem)) return false;
  std::string line;
  long long rows = 0;
  bool inLongLine = false;
  while (reader.ReadLine(line, kLineCharacters)) {
    // A NUL character never occurs in a text table: this is a binary file.
    if (line.find('\0') != std::string::npos) {
      problem = fmt::sprintf("Cannot import %s: it is not a text table (it holds NUL bytes).", path);
      return false;
    }
    if (rows == 0) size.ncols = static_cast<int>(SplitCsvLine(line).size());
    ++rows;
    if (reader.LastLineWasCut() && !inLongLine) ++size.longLines;
    inLongLine = reader.LastLineWasCut();
  }
  if (reader.Failed()) {
    problem = fmt::sprintf("Cannot read %s: the system reported a read error.", path);
    return false;
  }
  if (rows > std::numeric_limits<int>::max()) {
    problem = fmt::sprintf("Cannot import %s: it has too many lines for a grid.", path);
    return false;
  }
  size.nrows = static_cast<int>(rows);
  if (size.nrows < 1 || size.ncols < 1) {
    problem = fmt::sprintf("Cannot import %s: the file is empty.", path);
    return false;
  }
  return true;
}

namespace {

// The options must leave at least one node column and one node row.
bool CheckOptions(const std::string& path, const CsvTableSize& size, const CsvImportOptions& options,
                  std::string& problem) {
  if (options.colSkip < 0 || options.rowSkip < 0) {
    problem = "The numbers of columns and rows to be skipped cannot be negative.";
    return false;
  }
  if (options.colSkip >= size.ncols) {
    problem = fmt::sprintf("Cannot import %s: skipping %d of its %d columns leaves no column of values.", path,
                           options.colSkip, size.ncols);
    return false;
  }
  if (options.rowSkip >= size.nrows) {
    problem = fmt::sprintf("Cannot import %s: skipping %d of its %d rows leaves no row of values.", path,
                           options.rowSkip, size.nrows);
    return false;
  }
  return true;
}

// What the fields of a read held besides plain numbers.
struct FieldCounts {
  long long notFinite = 0;  // "nan", "inf": read as 0
  long long tooLarge = 0;   // beyond single precision: the import is refused
};

// "%lf" on a field: leading blanks skipped, the longest number prefix, 0 without one.
float FieldValue(const std::string& field, FieldCounts& counts) {
  std::size_t pos = 0;
  double value = 0.0;
  if (!ScanDouble(field, pos, value)) value = 0.0;
  if (!std::isfinite(value)) {
    ++counts.notFinite;
    return 0.0f;
  }
  if (std::fabs(value) > std::numeric_limits<float>::max()) ++counts.tooLarge;
  return static_cast<float>(value);
}

}  // namespace

CsvImportOptions CsvImportOptions::FromProfile(Profile& profile) {
  CsvImportOptions options;
  options.colSkip = ReadProfileInt(profile, "N_COLUMN_SKIP", 0);
  options.rowSkip = ReadProfileInt(profile, "N_ROW_SKIP", 0);
  options.columnLabels = ReadProfileInt(profile, "B1ST_COLUMN_LABEL", 0);
  options.rowLabels = ReadProfileInt(profile, "B1ST_ROW_LABEL", 0);
  options.transpose = ReadProfileInt(profile, "IMPORT_OPTION_TRANSPOSE", 0);
  return options;
}

void CsvImportOptions::ToProfile(Profile& profile) const {
  WriteProfileInt(profile, "N_COLUMN_SKIP", colSkip);
  WriteProfileInt(profile, "N_ROW_SKIP", rowSkip);
  WriteProfileInt(profile, "B1ST_COLUMN_LABEL", columnLabels);
  WriteProfileInt(profile, "B1ST_ROW_LABEL", rowLabels);
  WriteProfileInt(profile, "IMPORT_OPTION_TRANSPOSE", transpose);
}

bool ReadCsvTable(GridModel& grid, const std::string& path, const CsvTableSize& size, const CsvImportOptions& options,
                  std::string& problem, long long* notFiniteCount) {
  FieldCounts counts;
  if (!CheckOptions(path, size, options, problem)) return false;

  const int columns = size.ncols - options.colSkip;  // node count along the file's columns
  const int lines = size.nrows - options.rowSkip;    // node count along its data lines
  const bool transpose = options.transpose != 0;

  // Build the new grid's storage aside; the document's grid changes only at the end.
  GridModel table;
  table.layerCount = 1;
  table.NX = transpose ? lines : columns;
  table.NY = transpose ? columns : lines;
  if (!table.AllocateGrid()) {
    problem = fmt::sprintf("Cannot import %s: a grid of %d x %d nodes is too large for this computer.", path, table.NX,
                           table.NY);
    return false;
  }
  std::vector<std::string> columnNames, lineNames;
  try {
    if (options.columnLabels) columnNames.assign(columns, std::string());
    if (options.rowLabels) lineNames.assign(lines, std::string());
  } catch (const std::bad_alloc&) {
    problem = fmt::sprintf("Cannot import %s: not enough memory for its labels.", path);
    return false;
  }

  TextReader reader;
  if (!reader.Open(path, problem)) return false;
  std::string line;
  for (int r = 0; r < options.rowSkip; ++r) {
    if (!reader.ReadLine(line, kLineCharacters)) break;
    if (r == 0 && options.columnLabels) {
      const std::vector<std::string> fields = SplitCsvLine(line);
      const int available = static_cast<int>(fields.size()) - options.colSkip;
      for (int k = 0; k < columns && k < available; ++k) columnNames[k] = fields[options.colSkip + k];
    }
  }
  for (int r = 0; r < lines; ++r) {
    if (!reader.ReadLine(line, kLineCharacters)) break;
    const std::vector<std::string> fields = SplitCsvLine(line);
    const int available = static_cast<int>(fields.size()) - options.colSkip;
    for (int k = 0; k < columns && k < available; ++k) {
      const float value = FieldValue(fields[options.colSkip + k], counts);
      if (transpose)
        table.Value(0, r, k) = value;
      else
        table.Value(0, k, r) = value;
    }
    if (options.rowLabels) lineNames[r] = fields[0];
  }
  if (reader.Failed()) {
    problem = fmt::sprintf("Cannot read %s: the system reported a read error.", path);
    return false;
  }
  if (counts.tooLarge > 0) {
    problem = fmt::sprintf(
        "Cannot import %s: %s value(s) are larger than 3.4e38 in magnitude, beyond the range of the grid's "
        "numbers. The grid is unchanged.",
        path, GroupedCount(static_cast<std::uint64_t>(counts.tooLarge)));
    return false;
  }
  if (notFiniteCount) *notFiniteCount = counts.notFinite;

  grid.layerCount = table.layerCount;
  grid.NX = table.NX;
  grid.NY = table.NY;
  grid.values.swap(table.values);
  grid.dataDistance.swap(table.dataDistance);
  grid.emptyNodes.swap(table.emptyNodes);
  grid.layerMinimum.swap(table.layerMinimum);
  grid.layerMaximum.swap(table.layerMaximum);
  const int columnLabelsOn = options.columnLabels ? 1 : 0, lineLabelsOn = options.rowLabels ? 1 : 0;
  grid.xLabelsOn = transpose ? lineLabelsOn : columnLabelsOn;
  grid.yLabelsOn = transpose ? columnLabelsOn : lineLabelsOn;
  grid.xLabels.swap(transpose ? lineNames : columnNames);
  grid.yLabels.swap(transpose ? columnNames : lineNames);
  grid.ComputeLayerRange(0);
  return true;
}

bool ReadCsvTable(GridModel& grid, const std::string& path, const CsvImportOptions& options, std::string& problem) {
  CsvTableSize size;
  if (!CountCsvTable(path, size, problem)) return false;
  return ReadCsvTable(grid, path, size, options, problem);
}

}  // namespace gridora
