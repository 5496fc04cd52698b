// Speed of the exchange with GIS files and tables: the GeoTIFF export of a 2001 x 2001
// grid, the contour lines of a 1001 x 1001 grid at 30 levels, and the import of a
// 1,000,000-row CSV table with a header. Files go to a temporary folder.
#include <benchmark/benchmark.h>

#include <fmt/printf.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <random>

#include <unistd.h>

#include "formats/delimited_table.h"
#include "document/grid_model.h"
#include "document/random_data.h"
#include "exchange/grid_export.h"
#include "gridops/contour_lines.h"

namespace gridora {
namespace {

namespace fs = std::filesystem;

fs::path Scratch() {
  static const fs::path folder = [] {
    fs::path p = fs::temp_directory_path() / fmt::format("gridora-exchange-bench-{}", ::getpid());
    fs::create_directories(p);
    return p;
  }();
  return folder;
}

// A wavy surface of n x n nodes, so contours have many rings and open lines.
GridModel Surface(int n) {
  GridModel grid;
  grid.layerCount = 1;
  grid.NX = grid.NY = n;
  grid.DX = grid.DY = 1.0f;
  if (!grid.AllocateGrid()) std::abort();
  for (int ix = 0; ix < n; ++ix)
    for (int iy = 0; iy < n; ++iy)
      grid.Value(0, ix, iy) = static_cast<float>(std::sin(ix * 0.02) * std::cos(iy * 0.015) * 100.0 + ix * 0.01);
  grid.ComputeLayerRange(0);
  return grid;
}

void BM_GeoTiffExport2001(benchmark::State& state) {
  const GridModel grid = Surface(2001);
  const std::string path = (Scratch() / "grid.tif").string();
  for (auto _ : state) {
    std::vector<std::string> written;
    std::string problem;
    if (!ExportGrid(grid, {path, GridFormat::GeoTiff, GridLayer::Estimate, "EPSG:6677"}, written, problem))
      state.SkipWithError(problem.c_str());
  }
}
BENCHMARK(BM_GeoTiffExport2001)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ContourTracing1001At30Levels(benchmark::State& state) {
  const GridModel grid = Surface(1001);
  ContourRequest request;
  const double low = grid.layerMinimum[0], high = grid.layerMaximum[0];
  for (int i = 1; i <= 30; ++i) request.levels.push_back(low + (high - low) * i / 31.0);
  std::size_t points = 0;
  for (auto _ : state) {
    const auto lines = TraceContours(grid, request);
    points = 0;
    for (const auto& line : lines) points += line.points.size();
    benchmark::DoNotOptimize(points);
  }
  state.counters["points"] = static_cast<double>(points);
}
BENCHMARK(BM_ContourTracing1001At30Levels)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CsvTableImportMillionRows(benchmark::State& state) {
  const fs::path path = Scratch() / "million.csv";
  if (!fs::exists(path)) {
    std::FILE* file = std::fopen(path.string().c_str(), "wb");
    std::mt19937 random(7);
    std::uniform_real_distribution<double> coordinate(0.0, 100000.0), value(-50.0, 3000.0);
    std::fputs("id,easting,northing,elevation\r\n", file);
    for (int i = 0; i < 1000000; ++i)
      std::fputs(
          fmt::sprintf("%d,%.3f,%.3f,%.4f\r\n", i, coordinate(random), coordinate(random), value(random)).c_str(),
          file);
    std::fclose(file);
  }
  auto data = CreateRandomData();
  TableImport import;
  import.x = "easting";
  import.y = "northing";
  import.z = "elevation";
  for (auto _ : state) {
    TableImportReport report;
    std::string problem;
    if (!ReadTablePoints(*data, path.string(), import, report, problem) || data->count != 1000000)
      state.SkipWithError("the table was not read whole");
  }
}
BENCHMARK(BM_CsvTableImportMillionRows)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace gridora
