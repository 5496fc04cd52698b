// The whole "Ninimum curvature" command (assembly, solve, data distances, range and the
// log) on scattered points. Run one size per process to read its peak memory:
//   min_curvature_bench --benchmark_filter=MinimumCurvature/501/2000
// peak_MB is the process's peak resident size when the benchmark ends. From 1001 x 1001
// nodes on, the automatic choice runs the multigrid solver.
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <random>
#include <string>

#include "bench_support.h"
#include "commands/command_ids.h"
#include "commands/command_table.h"
#include "menus/command_catalogue.h"
#include "dialogs/dialogs.h"
#include "platform/profile.h"
#include "batch/quiet_user_interface.h"
#include "platform/view_host.h"
#include "view/document.h"

namespace gridora {
namespace {

// nodes x nodes grid at spacing 1 (the area is nodes-1 wide), `count` points spread
// uniformly with a smooth surface plus noise for values.
void MinimumCurvature(benchmark::State& state) {
  const int nodes = static_cast<int>(state.range(0));
  const int count = static_cast<int>(state.range(1));
  const auto folder = std::filesystem::temp_directory_path() / "gridora-min-curvature-bench";
  std::filesystem::create_directories(folder);
  std::filesystem::current_path(folder);

  MemoryProfile profile;
  Document doc(profile);
  QuietUserInterface ui;
  QuietViewHost view;
  CommandTable table = BuildCommandTable();
  CommandContext context{doc, ui, view, profile};

  RandomData& data = *doc.primaryData;
  std::mt19937 random(2024);
  const double width = nodes - 1;
  std::uniform_real_distribution<double> position(0.0, width), noise(-1.0, 1.0);
  data.StartRanges();
  for (int p = 0; p < count; ++p) {
    const double x = position(random), y = position(random);
    data.points[p] = {x, y, 100.0 * std::sin(x / width * 6.0) * std::cos(y / width * 4.0) + noise(random)};
    data.ExtendRanges(data.points[p]);
  }
  data.count = count;
  // The corners fix the extent at exactly nodes-1 in both directions.
  data.xMinimum = data.yMinimum = 0.0f;
  data.xMaximum = data.yMaximum = static_cast<float>(width);

  for (auto _ : state) {
    if (table.Execute(ID_MINIMUM_CURVATURE, context) != CommandStatus::Done || doc.grid->NX != nodes) {
      state.SkipWithError(("command failed: " + ui.lastMessage).c_str());
      break;
    }
  }
  state.counters["peak_MB"] = bench::PeakMegabytes();
}

BENCHMARK(MinimumCurvature)
    ->Args({201, 2000})
    ->Args({501, 2000})
    ->Args({1001, 2000})
    ->Args({501, 100000})
    ->Args({2001, 2000})
    ->Args({4001, 2000})
    ->Args({1001, 1000000})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

}  // namespace
}  // namespace gridora
