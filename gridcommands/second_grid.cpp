#include "gridcommands/second_grid.h"

#include <fmt/format.h>

#include <cerrno>
#include <cstdint>
#include <fstream>
#include <system_error>
#include <vector>

#include "commands/document_file.h"
#include "document/grid_model.h"
#include "document/random_data.h"
#include "exchange/raster_import.h"
#include "formats/snp_file.h"
#include "gridcommands/document_grid.h"
#include "gridops/grid_math.h"
#include "platform/regular_file.h"

namespace gridora {
namespace {

bool ReadDocumentGrid(const std::string& path, GridModel& grid, std::string& problem) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    problem = fmt::format("Cannot open {}: {}.", path, std::generic_category().message(errno));
    return false;
  }
  // The document's points come along with the file; only its grid is used.
  auto points = CreateRandomData();
  SnpReadResult read;
  if (!ReadSnp(grid, in, *points, path, read, problem)) return false;
  if (grid.layerCount < 1 || grid.NodeCount() == 0 || grid.values.size() < grid.NodeCount()) {
    problem = fmt::format("{} holds no grid (only points): there is nothing to take node values from.", path);
    return false;
  }
  return true;
}

}  // namespace

bool ReadSecondGrid(const std::string& path, const NodeLayout& nodes, GridResult& result, std::string& problem) {
  if (std::string reason; !IsRegularFileToRead(path, reason)) {
    problem = fmt::format("Cannot open {}: {}.", path, reason);
    return false;
  }
  GridModel second;
  if (IsDocumentFile(path)) {
    if (!ReadDocumentGrid(path, second, problem)) return false;
  } else if (!ReadRasterGrid(second, path, problem)) {
    return false;
  }
  std::vector<std::uint8_t> mask;
  const GridValues source = EstimateOf(second, mask);
  GridResult resampled;
  if (!ResampleBilinear(source, nodes, resampled, problem)) {
    problem = fmt::format("{}: {}", path, problem);
    return false;
  }
  if (resampled.emptyCount == resampled.values.size()) {
    problem = fmt::format(
        "The second grid {} does not cover any node of this grid with values (its nodes run from ({:g}, {:g}) to "
        "({:g}, {:g}), this grid's from ({:g}, {:g}) to ({:g}, {:g})).",
        path, second.x0, second.y0, second.x0 + (second.NX - 1) * second.DX, second.y0 + (second.NY - 1) * second.DY,
        nodes.x0, nodes.y0, nodes.X(nodes.nx - 1), nodes.Y(nodes.ny - 1));
    return false;
  }
  result = std::move(resampled);
  return true;
}

}  // namespace gridora
