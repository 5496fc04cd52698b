#include "formats/average_x.h"

#include <fmt/printf.h>

#include <cmath>
#include <filesystem>
#include <vector>

#include "formats/finite_values.h"
#include "document/grid_model.h"
#include "platform/replacing_file.h"

namespace gridora {
bool WriteAverageX(const GridModel& grid, const std::string& folder, float xStart, float xInterval, int& lines,
                   std::string& problem) {
  lines = 0;
  const std::string path = (std::filesystem::path(folder) / kAverageXFileName).string();
  if (grid.NX < 1 || grid.NY < 1 || grid.layerCount < 1 || grid.values.size() < grid.NodeCount()) {
    problem = "The grid holds no values.";
    return false;
  }
  // A window that does not move forward would never pass the end of the grid.
  if (!(xInterval > 0.0f) || !std::isfinite(xInterval) || !std::isfinite(xStart)) {
    problem = "X int. must be a number greater than 0.";
    return false;
  }
  const float xEnd = grid.xLastDrawn;
  // A NaN end is never passed: the windows would run to their maximum number.
  auto notFinite = FindNonFiniteGridValue(grid);
  if (!notFinite && !std::isfinite(xEnd)) notFinite = "the last drawn X";
  if (notFinite) {
    problem = NonFiniteMessage(path, *notFinite);
    return false;
  }
  if (static_cast<double>(xEnd) - xStart > static_cast<double>(xInterval) * kMaximumAverageWindows) {
    problem = fmt::sprintf("X int. %f would make more than %d windows.", static_cast<double>(xInterval),
                           kMaximumAverageWindows);
    return false;
  }

  ReplacingFile file(path, ReplacingFile::Name::Fixed);
  if (!file.Open()) {
    problem = fmt::sprintf("Cannot write the file %s: %s", path, file.Error());
    return false;
  }
  std::vector<float> columnX(grid.NX);
  for (int ix = 0; ix < grid.NX; ++ix) columnX[ix] = static_cast<float>(ix) * grid.DX + grid.x0;

  int written = 0;
  std::string text;
  std::vector<float> sums(grid.NY);
  for (int i = 0; i <= kMaximumAverageWindows + 1; ++i) {
    const float xs = static_cast<float>(i) * xInterval + xStart;
    const float xe = static_cast<float>(i + 1) * xInterval + xStart;
    if (xs > xEnd) break;
    if (xe < grid.x0) continue;  // before the grid
    std::fill(sums.begin(), sums.end(), 0.0f);
    int count = 0;
    for (int ix = 0; ix < grid.NX; ++ix) {
      if (columnX[ix] < xs || columnX[ix] > xe) continue;
      const float* column = grid.Column(0, ix);
      for (int iy = 0; iy < grid.NY; ++iy) sums[iy] += column[iy];
      ++count;
    }
    text += fmt::sprintf("%d,%f,%f", i, xs, xe);
    for (int iy = 0; iy < grid.NY; ++iy)
      text += fmt::sprintf(",%f", count > 0 ? sums[iy] / static_cast<float>(count) : 0.0f);
    text += "\r\n";
    ++written;
    if (text.size() > (1 << 16)) {
      file.Write(text);
      text.clear();
    }
  }
  file.Write(text);
  if (!file.Commit()) {
    problem = fmt::sprintf("Cannot write the file %s: %s", path, file.Error());
    return false;
  }
  lines = written;
  return true;
}

}  // namespace gridora
