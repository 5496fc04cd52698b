#pragma once
// "Average (X-direction)": node values averaged over windows of equal width along X,
// one line per window.
#include <string>

namespace gridora {

struct GridModel;

inline constexpr const char* kAverageXFileName = "average_x.csv";

// The most windows one run writes; an interval that small for the grid's extent is a
// typing error, not a request for millions of lines.
inline constexpr int kMaximumAverageWindows = 1000000;

// Writes folder/"average_x.csv": for the windows i = 0, 1, ... from xs = i*xInterval +
// xStart to xe = xs + xInterval that reach the grid (x0 to xLastDrawn, the last column
// the map drew), "%d,%f,%f" with i, xs and xe, then ",%f" per node row with the
// average over the columns with xs <= x <= xe (0 when none). `lines` is the number of
// lines written (possibly none). False when nothing could be written: `problem` says
// why and an earlier file is intact.
bool WriteAverageX(const GridModel& grid, const std::string& folder, float xStart, float xInterval, int& lines,
                   std::string& problem);

}  // namespace gridora
