// Exporting a 500 x 500 grid as the standard XML file, in both tag sets. Target: at
// most 2 s and 400 MB of peak memory. The peak resident size of the whole process is
// reported as the counter peak_MB.
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <memory>

#include "bench_support.h"
#include "document/grid_model.h"
#include "platform/profile.h"
#include "xml/geo_plot_data.h"
#include "xml/standard_xml_writer.h"

namespace {

using namespace gridora;

void ExportStandardXml(benchmark::State& state) {
  const bool japanese = state.range(0) == 1;
  const int n = 500;
  MemoryProfile profile;
  auto grid = CreateGridModel(profile);
  grid->Reshape(1, n, n);
  grid->DX = grid->DY = 2.0f;
  for (int ix = 0; ix < n; ++ix)
    for (int iy = 0; iy < n; ++iy) grid->Value(0, ix, iy) = std::sin(0.01f * ix) * std::cos(0.013f * iy) * 1000.0f;
  const auto folder = std::filesystem::temp_directory_path() / "gridora-xml-bench";
  std::filesystem::create_directories(folder);
  const std::string path = (folder / "grid.xml").string();

  for (auto _ : state) {
    // The whole export as the command runs it: section data, tree, file.
    auto data = BuildSectionData(*grid, profile);
    std::string problem;
    if (!WriteStandardXmlWithTemplates(path, *data, {}, japanese, problem)) {
      state.SkipWithError(problem.c_str());
      break;
    }
  }
  state.counters["file_MB"] = static_cast<double>(std::filesystem::file_size(path)) / 1.0e6;
  state.counters["peak_MB"] = bench::PeakMegabytes();
  std::filesystem::remove_all(folder);
}
BENCHMARK(ExportStandardXml)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
