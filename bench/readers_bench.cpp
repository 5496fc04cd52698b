// Reading and writing speed of the data files: 1,000,000 space-delimited points (with
// the "ReadText.txt" echo, as the command writes it), and the document file of a
// 1000 x 1000 grid with 100,000 points, written through the temporary file and read
// back. Files go to a temporary folder that is also the current folder.
#include <benchmark/benchmark.h>

#include <fmt/printf.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>

#include "commands/document_file.h"
#include "formats/snp_file.h"
#include "formats/space_delimited.h"
#include "platform/profile.h"
#include "batch/quiet_user_interface.h"
#include "view/document.h"

namespace gridora {
namespace {

const std::filesystem::path& Folder() {
  static const std::filesystem::path folder = [] {
    auto path = std::filesystem::temp_directory_path() / "gridora-readers-bench";
    std::filesystem::create_directories(path);
    std::filesystem::current_path(path);
    return path;
  }();
  return folder;
}

// Points as a survey export writes them: three numbers with a few decimals.
const std::string& PointFile() {
  static const std::string path = [] {
    const std::string name = (Folder() / "points.xyz").string();
    std::FILE* out = std::fopen(name.c_str(), "wb");
    std::mt19937 random(7);
    std::uniform_real_distribution<double> coordinate(0.0, 10000.0), value(-50.0, 250.0);
    for (int i = 0; i < 1000000; ++i)
      fmt::fprintf(out, "%.2f %.2f %.3f\r\n", coordinate(random), coordinate(random), value(random));
    std::fclose(out);
    return name;
  }();
  return path;
}

void BM_ReadSpaceDelimited(benchmark::State& state) {
  const std::string path = PointFile();
  auto points = CreateRandomData();
  std::string problem;
  for (auto _ : state) {
    if (!ReadSpaceDelimited(*points, path, problem) || points->count != 1000000)
      state.SkipWithError("wrong point count");
    benchmark::DoNotOptimize(points->zMaximum);
  }
  state.SetItemsProcessed(state.iterations() * 1000000);
}
BENCHMARK(BM_ReadSpaceDelimited)->Unit(benchmark::kMillisecond)->UseRealTime();

struct SnpDocument {
  MemoryProfile profile;
  Document doc{profile};
  QuietUserInterface ui;
  std::string path = (Folder() / "grid.snp").string();

  SnpDocument() {
    GridModel& grid = *doc.grid;
    grid.Reshape(1, 1000, 1000);
    for (std::size_t i = 0; i < grid.values.size(); ++i) grid.values[i] = static_cast<float>(i % 997) * 0.5f;
    for (std::size_t i = 0; i < grid.dataDistance.size(); ++i) grid.dataDistance[i] = static_cast<float>(i % 13);
    RandomData& points = *doc.primaryData;
    for (int i = 0; i < 100000; ++i) points.points[i] = {i * 0.1, i * 0.2, i * 0.3};
    points.count = 100000;
  }
};

void BM_WriteSnp(benchmark::State& state) {
  SnpDocument document;
  std::string problem;
  for (auto _ : state)
    if (!WriteDocumentFile(document.doc, document.path, problem)) state.SkipWithError(problem.c_str());
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(std::filesystem::file_size(document.path)));
}
BENCHMARK(BM_WriteSnp)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReadSnp(benchmark::State& state) {
  SnpDocument document;
  std::string problem;
  WriteDocumentFile(document.doc, document.path, problem);
  for (auto _ : state) {
    const DocumentReadResult result = ReadDocumentFile(document.doc, document.path, document.ui);
    if (result.status != ReadStatus::Read || document.doc.primaryData->count != 100000)
      state.SkipWithError("document not read");
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(std::filesystem::file_size(document.path)));
}
BENCHMARK(BM_ReadSnp)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace gridora
