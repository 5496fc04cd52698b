#pragma once
// "Statistics": for every node column, statistics of the base-10 logarithms of the
// absolute node values over the rows whose Y lies between log10(fmin) and log10(fmax).
#include <string>

namespace gridora {

struct GridModel;

inline constexpr const char* kDataStatisticsFileName = "data_statistics.txt";

// Writes folder/"data_statistics.txt", one line per node column:
// "%d %f %f %f %f %f %f %f %f %d" from ix, x, mean, minimum, maximum, range, the
// percentages of values near the minimum and near the maximum, the standard deviation
// and the number of values. `written` receives the path written. False when nothing
// was completed: `problem` says why, and an earlier file is intact.
bool WriteDataStatistics(const GridModel& grid, const std::string& folder, float fmin, float fmax, std::string& written,
                         std::string& problem);

}  // namespace gridora
