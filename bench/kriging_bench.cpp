// "Variogram" followed by "Prediction", the whole commands with every file they write,
// on scattered points onto a regular grid.
//
//   kriging_bench --benchmark_filter=Random/2000/200   (2,000 points, 200 x 200 nodes)
//   kriging_bench --benchmark_filter=Random/4000/100   (4,000 points, 100 x 100 nodes)
//   kriging_bench --benchmark_filter=Volcano           (the 300 volcano samples, 100 x 100)
//
// The counter peak_MB is the process's peak resident memory so far: run one case per
// process to read it for that case. The files go to a temporary folder, removed after.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "bench_support.h"
#include "commands/command_ids.h"
#include "commands/command_table.h"
#include "menus/command_catalogue.h"
#include "dialogs/dialogs.h"
#include "platform/number_text.h"
#include "platform/profile.h"
#include "batch/quiet_user_interface.h"
#include "platform/view_host.h"
#include "view/document.h"

namespace gridora {
namespace {

struct Folder {
  Folder() {
    path = std::filesystem::temp_directory_path() / ("gridora-kriging-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(path);
    previous = std::filesystem::current_path();
    std::filesystem::current_path(path);
  }
  ~Folder() {
    std::filesystem::current_path(previous);
    std::error_code error;
    std::filesystem::remove_all(path, error);
  }
  std::filesystem::path path, previous;
};

// A smooth field with some noise, on points spread over [0, extent]^2.
std::vector<DataPoint> RandomPoints(int n, double extent) {
  std::mt19937 random(12345);
  std::uniform_real_distribution<double> position(0.0, extent), noise(-0.5, 0.5);
  std::vector<DataPoint> points(static_cast<std::size_t>(n));
  for (DataPoint& p : points) {
    p.x = position(random);
    p.y = position(random);
    p.z = 100.0 + 20.0 * std::sin(p.x / 150.0) * std::cos(p.y / 200.0) + noise(random);
  }
  return points;
}

std::vector<DataPoint> VolcanoPoints() {
  std::ifstream in(std::string(GRIDORA_SOURCE_DIR) + "/examples/volcano_samples.xyz");
  std::vector<DataPoint> points;
  std::string line;
  while (std::getline(in, line)) {
    std::size_t pos = 0;
    DataPoint p{};
    if (ScanDouble(line, pos, p.x) && ScanDouble(line, pos, p.y) && ScanDouble(line, pos, p.z)) points.push_back(p);
  }
  return points;
}

// One "Variogram" and one "Prediction" on a fresh document: lag width as proposed, the
// grid from (0, 0) to (nodes - 1) * spacing on both axes.
void VariogramAndPrediction(benchmark::State& state, const std::vector<DataPoint>& points, int nodes, float spacing) {
  Folder folder;
  CommandTable table = BuildCommandTable();
  QuietUserInterface ui;
  QuietViewHost view;
  for (auto _ : state) {
    MemoryProfile profile;
    Document doc(profile);
    doc.dataFolder = folder.path.string();
    doc.primaryData->StartRanges();
    for (const DataPoint& p : points) {
      doc.primaryData->points[doc.primaryData->count++] = p;
      doc.primaryData->ExtendRanges(p);
    }
    CommandContext context{doc, ui, view, profile};
    ui.editDialog = nullptr;
    if (table.Execute(ID_VARIOGRAM, context) != CommandStatus::Done) {
      state.SkipWithError("Variogram failed");
      break;
    }
    ui.editDialog = [&](DialogData& dialog) {
      if (auto* origin = dynamic_cast<GridOriginDialog*>(&dialog)) {
        origin->xMinimum = origin->yMinimum = 0.0;
        origin->xMaximum = origin->yMaximum = (nodes - 1) * static_cast<double>(spacing);
      } else if (auto* area = dynamic_cast<GridSpacingDialog*>(&dialog)) {
        area->dx = area->dy = spacing;
      }
    };
    if (table.Execute(ID_PREDICTION, context) != CommandStatus::Done || doc.grid->NX != nodes ||
        doc.grid->NY != nodes) {
      state.SkipWithError("Prediction failed");
      break;
    }
    benchmark::DoNotOptimize(doc.grid->Value(0, nodes / 2, nodes / 2));
  }
  state.counters["peak_MB"] = bench::PeakMegabytes();
}

void Random(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0)), nodes = static_cast<int>(state.range(1));
  const float spacing = 1000.0f / static_cast<float>(nodes);  // 5 or 10: exact in binary
  VariogramAndPrediction(state, RandomPoints(n, (nodes - 1) * static_cast<double>(spacing)), nodes, spacing);
}
BENCHMARK(Random)->Args({2000, 200})->Args({4000, 100})->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

void Volcano(benchmark::State& state) {
  const std::vector<DataPoint> points = VolcanoPoints();
  if (points.size() < 2) {
    state.SkipWithError("examples/volcano_samples.xyz not found");
    return;
  }
  float xMax = 0, yMax = 0;
  for (const DataPoint& p : points) {
    xMax = std::max(xMax, static_cast<float>(p.x));
    yMax = std::max(yMax, static_cast<float>(p.y));
  }
  const float spacing = std::ceil(std::max(xMax, yMax) / 99.0f);
  VariogramAndPrediction(state, points, 100, spacing);
}
BENCHMARK(Volcano)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace gridora
