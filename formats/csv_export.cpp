#include "formats/csv_export.h"

#include <fmt/format.h>
#include <fmt/printf.h>

#include "formats/finite_values.h"
#include "document/grid_model.h"
#include "platform/replacing_file.h"

namespace gridora {

bool WriteCsvGrid(const GridModel& grid, const std::string& path, std::string& problem) {
  const auto report = [&problem](std::string text) {
    problem = std::move(text);
    return false;
  };
  if (grid.NX < 1 || grid.NY < 1 || grid.layerCount < 1 || grid.values.size() < grid.NodeCount())
    return report("The grid holds no values.");
  if (auto what = FindNonFiniteGridValue(grid)) return report(NonFiniteMessage(path, *what));
  ReplacingFile file(path);
  if (!file.Open()) return report(fmt::sprintf("Cannot write the file %s: %s", path, file.Error()));
  fmt::memory_buffer text;
  for (int ix = 0; ix < grid.NX; ++ix) {
    const float x = static_cast<float>(ix) * grid.DX + grid.x0;
    fmt::format_to(std::back_inserter(text), "{},{:.6f}", ix, static_cast<double>(x));
    const float* column = grid.Column(0, ix);
    for (int iy = 0; iy < grid.NY; ++iy)
      fmt::format_to(std::back_inserter(text), ",{:.6f}", static_cast<double>(column[iy]));
    text.append(std::string_view("\r\n"));
    if (text.size() > (1 << 16)) {
      file.Write(std::string_view(text.data(), text.size()));
      text.clear();
    }
  }
  file.Write(std::string_view(text.data(), text.size()));
  if (!file.Commit()) return report(fmt::sprintf("Cannot write the file %s: %s", path, file.Error()));
  return true;
}

}  // namespace gridora
