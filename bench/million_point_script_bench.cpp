// A million points from a text file to a grid as one batch script through the batch
// runner: "open-random", "block-reduce", then either minimum curvature onto 1001 x 1001
// nodes, or local ordinary kriging (32 neighbours, with the standard error) onto the same
// nodes.
//
//   million_point_script_bench --benchmark_filter=MinimumCurvature
//   million_point_script_bench --benchmark_filter=LocalKriging
//
// The counter peak_MB is the process's peak resident memory so far: run one case per
// process to read it for that case. Both scripts reduce the points to blocks first (the
// kriging one to 1-unit blocks, which merges only the points closer than a unit); the
// local mode's variogram takes a sample of the pairs.
#include <benchmark/benchmark.h>
#include <fmt/format.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <random>
#include <sstream>
#include <string>

#include "batch/batch_runner.h"
#include "batch/batch_view_host.h"
#include "batch/scripted_user_interface.h"
#include "bench_support.h"
#include "platform/profile.h"
#include "view/document.h"

namespace gridora {
namespace {

// 1,000,000 points of a smooth field with noise over 1000 x 1000 units, written once
// into a scratch folder that becomes the current folder (the runs' files land there).
const std::filesystem::path& Folder() {
  static const std::filesystem::path folder = [] {
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / fmt::format("gridora_million_{}", static_cast<long>(getpid()));
    std::filesystem::create_directories(path);
    std::FILE* file = std::fopen((path / "points.xyz").string().c_str(), "w");
    std::mt19937 generator(7);
    std::uniform_real_distribution<double> position(0.0, 1000.0), noise(-0.05, 0.05);
    for (int i = 0; i < 1000000; ++i) {
      const double x = position(generator), y = position(generator);
      const double z = std::sin(x / 150.0) * std::cos(y / 200.0) + 0.001 * x + noise(generator);
      std::fputs(fmt::format("{:.3f} {:.3f} {:.5f}\n", x, y, z).c_str(), file);
    }
    std::fclose(file);
    std::filesystem::current_path(path);
    return path;
  }();
  return folder;
}

void RunScript(benchmark::State& state, const std::string& script) {
  const std::filesystem::path scriptPath = Folder() / "script.txt";
  {
    std::FILE* file = std::fopen(scriptPath.string().c_str(), "w");
    std::fputs(script.c_str(), file);
    std::fclose(file);
  }
  for (auto _ : state) {
    MemoryProfile profile;
    Document doc{profile};
    std::ostringstream out, err;
    ScriptedUserInterface ui{out};
    BatchViewHost view{ui};
    if (RunBatchScript(scriptPath.string(), doc, profile, ui, view, err) != 0) {
      state.SkipWithError((out.str() + err.str()).c_str());
      return;
    }
    benchmark::DoNotOptimize(doc.grid->values.data());
  }
  state.counters["peak_MB"] = bench::PeakMegabytes();
}

void MinimumCurvature(benchmark::State& state) {
  RunScript(state,
            "open-random points.xyz\nblock-reduce cell=2\n"
            "min-curvature xmin=0 ymin=0 xmax=1000 ymax=1000 dx=1 dy=1\n");
}
BENCHMARK(MinimumCurvature)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

void LocalKriging(benchmark::State& state) {
  RunScript(state,
            "open-random points.xyz\nblock-reduce cell=1\n"
            "kriging-options type=ordinary neighbours=32\nvariogram lag=25\n"
            "prediction xmin=0 ymin=0 xmax=1000 ymax=1000 dx=1 dy=1\n");
}
BENCHMARK(LocalKriging)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

}  // namespace
}  // namespace gridora
