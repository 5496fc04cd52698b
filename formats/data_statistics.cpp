#include "formats/data_statistics.h"

#include <fmt/printf.h>

#include <cmath>
#include <filesystem>
#include <vector>

#include "document/grid_model.h"
#include "platform/replacing_file.h"

namespace gridora {
namespace {

// The value as the statistics see it: log10 of its magnitude, or 0 for a zero value.
float LogMagnitude(float value) {
  float v = std::fabs(value);
  if (v > 0.0f) v = static_cast<float>(std::log10(static_cast<double>(v)));
  return v;
}

}  // namespace

bool WriteDataStatistics(const GridModel& grid, const std::string& folder, float fmin, float fmax, std::string& written,
                         std::string& problem) {
  const std::string path = (std::filesystem::path(folder) / kDataStatisticsFileName).string();
  if (grid.NX < 1 || grid.NY < 1 || grid.layerCount < 1 || grid.values.size() < grid.NodeCount()) {
    problem = "The grid holds no values.";
    return false;
  }
  // The second axis is read as a base-10 logarithm.
  const float lmin = static_cast<float>(std::log10(static_cast<double>(fmin)));
  const float lmax = static_cast<float>(std::log10(static_cast<double>(fmax)));
  std::vector<int> band;
  for (int iy = 0; iy < grid.NY; ++iy) {
    const float y = static_cast<float>(iy) * grid.DY + grid.y0;
    if (lmin <= y && y <= lmax) band.push_back(iy);
  }
  // Every column has the same rows in the band, so an empty band means no line at all.
  if (band.empty()) {
    problem = fmt::sprintf("No grid row lies between log10(%f) and log10(%f): %s was not written.",
                           static_cast<double>(fmin), static_cast<double>(fmax), path);
    return false;
  }

  ReplacingFile file(path, ReplacingFile::Name::Fixed);
  if (!file.Open()) {
    problem = fmt::sprintf("Cannot write the file %s: %s", path, file.Error());
    return false;
  }
  std::string text;
  for (int ix = 0; ix < grid.NX; ++ix) {
    const float x = static_cast<float>(ix) * grid.DX + grid.x0;
    const float* column = grid.Column(0, ix);
    float sum = 0.0f, minimum = 0.0f, maximum = 0.0f;
    int n = 0;
    for (int iy : band) {
      const float v = LogMagnitude(column[iy]);
      sum += v;
      if (n == 0 || v < minimum) minimum = v;
      if (n == 0 || v > maximum) maximum = v;
      ++n;
    }
    const float mean = sum / static_cast<float>(n);
    const float range = maximum - minimum;
    const float threshold = static_cast<float>(range * 0.05);
    float squares = 0.0f;
    int nearMinimum = 0, nearMaximum = 0;
    for (int iy : band) {
      const float v = LogMagnitude(column[iy]);
      squares += (v - mean) * (v - mean);
      if (v - minimum <= threshold) ++nearMinimum;
      if (maximum - v <= threshold) ++nearMaximum;
    }
    const auto percent = [n](int count) {
      return static_cast<float>(static_cast<double>(static_cast<float>(count) / static_cast<float>(n)) * 100.0);
    };
    const float deviation = static_cast<float>(std::sqrt(static_cast<double>(squares / static_cast<float>(n))));
    text += fmt::sprintf("%d %f %f %f %f %f %f %f %f %d\r\n", ix, x, mean, minimum, maximum, range,
                         percent(nearMinimum), percent(nearMaximum), deviation, n);
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
  written = path;
  return true;
}

}  // namespace gridora
