#pragma once
// A comma-separated table read as layer 0 of the grid with the import options:
// leading rows and columns skipped, text labels from the first row and column, and
// the table optionally transposed.
#include <cstddef>
#include <string>

#include "document/grid_model.h"

namespace gridora {

class Profile;

// The five import settings, kept in the profile between imports.
struct CsvImportOptions {
  int colSkip = 0;
  int rowSkip = 0;
  int columnLabels = 0;  // the first line names the file columns
  int rowLabels = 0;     // field 0 of each data line names it
  int transpose = 0;     // file columns run along the second axis

  static CsvImportOptions FromProfile(Profile& profile);
  void ToProfile(Profile& profile) const;
};

// The table's extent as the import dialog shows it: the fields of its first line and
// its number of lines. False with `problem` when the file cannot be read or is empty.
// Lines are read in pieces of this many characters; a longer line counts as several.
inline constexpr std::size_t kCsvLineCharacters = 8191;

struct CsvTableSize {
  int ncols = 0;
  int nrows = 0;
  long long longLines = 0;  // lines longer than a read piece, each read as several rows
};
bool CountCsvTable(const std::string& path, CsvTableSize& size, std::string& problem);

// Replaces the grid's shape (one layer), values and labels by the table's. DX, DY, x0,
// y0 and everything else stay. Nodes that a short line does not reach are 0, and so
// are fields that are not finite numbers (counted in `notFiniteCount`). False with
// `problem` when the file cannot be read, the options leave no node column or row, or
// a value is beyond single precision; then the grid is as it was.
bool ReadCsvTable(GridModel& grid, const std::string& path, const CsvTableSize& size, const CsvImportOptions& options,
                  std::string& problem, long long* notFiniteCount = nullptr);
// The same, counting the table first.
bool ReadCsvTable(GridModel& grid, const std::string& path, const CsvImportOptions& options, std::string& problem);

}  // namespace gridora
