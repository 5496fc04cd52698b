#pragma once
// A comma-separated table read as layer 0 of the grid, through the "Import option"
// dialog: leading rows and columns skipped, text labels from the first row and
// column, and the table optionally transposed.
#include <string>

#include "document/grid_model.h"
#include "document/read_status.h"

namespace gridora {

class Profile;
class UserInterface;

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

// Counts the table (lines, fields of the first line), asks for the options, then
// replaces the grid's shape (one layer), values and labels and reports "Min. = %f
// Max. = %f". DX, DY, x0, y0 and everything else stay. Nodes that a short line does
// not reach are 0. A file that cannot be read, is empty, or whose options leave no
// node column or row gets a message and Failed; Cancel gives Canceled. Either way the
// grid is as it was.
ReadStatus ReadCsvGrid(GridModel& grid, const std::string& path, UserInterface& ui, Profile& profile);

// The part after the dialog, for callers that already have the options: reads the
// table into the grid and returns Read, or Failed with `problem` (grid unchanged).
ReadStatus ReadCsvTable(GridModel& grid, const std::string& path, const CsvImportOptions& options,
                        std::string& problem);

}  // namespace gridora
