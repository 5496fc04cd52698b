#pragma once
// A comma-separated table read as layer 0 of the grid with the import options:
// leading rows and columns skipped, text labels from the first row and column, and
// the table optionally transposed.
#include <string>

#include "document/grid_model.h"
#include "document/read_status.h"

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
struct CsvTableSize {
  int ncols = 0;
  int nrows = 0;
};
bool CountCsvTable(const std::string& path, CsvTableSize& size, std::string& problem);

// Replaces the grid's shape (one layer), values and labels by the table's. DX, DY, x0,
// y0 and everything else stay. Nodes that a short line does not reach are 0. Read, or
// Failed with `problem` when the file cannot be read or the options leave no node
// column or row; either way the grid is as it was.
ReadStatus ReadCsvTable(GridModel& grid, const std::string& path, const CsvTableSize& size,
                        const CsvImportOptions& options, std::string& problem);
// The same, counting the table first.
ReadStatus ReadCsvTable(GridModel& grid, const std::string& path, const CsvImportOptions& options,
                        std::string& problem);

}  // namespace gridora
