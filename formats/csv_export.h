#pragma once
// "Save CSV file": layer 0 of the grid as comma-separated text, one line per node
// column: "%d,%f" from ix and x, then ",%f" per node row. File > Open reads it back
// with Transpose checked and 2 columns skipped.
#include <string>

namespace gridora {

struct GridModel;

// False when the file could not be written; `problem` says why, and an earlier file of
// that name is intact.
bool WriteCsvGrid(const GridModel& grid, const std::string& path, std::string& problem);

}  // namespace gridora
