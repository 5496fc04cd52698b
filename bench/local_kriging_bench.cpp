// Local-neighbourhood kriging of many points: ordinary kriging from the 32 nearest
// points with the standard error, onto a regular grid.
//
//   local_kriging_bench --benchmark_filter=Grid/100000/500      (100,000 points, 500 x 500 nodes)
//   local_kriging_bench --benchmark_filter=Grid/1000000/1000    (1,000,000 points, 1000 x 1000)
//   local_kriging_bench --benchmark_filter=MillionPoints        (read a 1,000,000-point text file,
//                                                                variogram, fit, grid 1000 x 1000)
//
// Grid times the merging of coincident points, the tree and the grid; MillionPoints
// adds the reading of the file (the "open-random" command) and the sampled variogram
// with its fit (no block reduction: the points go to the kriging as read). The counter
// peak_MB is the process's peak resident memory so far: run one case per process to
// read it for that case; cpu_s is the CPU time of all threads, which on a shared machine
// says more than the wall time.
#include <benchmark/benchmark.h>
#include <fmt/format.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <random>
#include <vector>

#include "bench_support.h"
#include "commands/command_ids.h"
#include "commands/command_table.h"
#include "menus/command_catalogue.h"
#include "geostat/local_kriging.h"
#include "geostat/sampled_cloud.h"
#include "geostat/variogram_model.h"
#include "platform/profile.h"
#include "batch/quiet_user_interface.h"
#include "batch/quiet_view_host.h"
#include "view/document.h"

namespace gridora {
namespace {

constexpr double kExtent = 10000.0;
constexpr int kNeighbours = 32;

struct Points {
  std::vector<double> x, y, z;
};

// A smooth field with some noise on points spread over [0, kExtent]^2.
Points RandomPoints(std::size_t n) {
  std::mt19937 random(12345);
  std::uniform_real_distribution<double> position(0.0, kExtent), noise(-0.5, 0.5);
  Points p;
  p.x.resize(n), p.y.resize(n), p.z.resize(n);
  for (std::size_t i = 0; i < n; ++i) {
    p.x[i] = position(random);
    p.y[i] = position(random);
    p.z[i] = 100.0 + 20.0 * std::sin(p.x[i] / 1500.0) * std::cos(p.y[i] / 2000.0) + noise(random);
  }
  return p;
}

CovarianceModel Model() {
  CovarianceModel model;
  model.range = 1500.0;
  model.sill = 150.0;
  model.nugget = 0.1;
  return model;
}

// Ordinary kriging of the points onto nodes x nodes, both grids.
LocalGridResult GridNodes(const Points& p, const CovarianceModel& model, int nodes, std::vector<float>& estimate,
                          std::vector<float>& error) {
  const LocalKriging local(MergeCoincidentPoints(p.x.size(), p.x.data(), p.y.data(), p.z.data()), model,
                           LocalKrigingType::Ordinary, 0.0, {kNeighbours, 0.0, 3});
  const float spacing = static_cast<float>(kExtent / (nodes - 1));
  const NodeLayout layout{0.0f, 0.0f, spacing, spacing, nodes, nodes};
  const std::size_t count = static_cast<std::size_t>(nodes) * nodes;
  estimate.assign(count, 0.0f);
  error.assign(count, 0.0f);
  return local.Grid(layout, estimate.data(), error.data(), nullptr, 0.0f, nullptr);
}

// CPU seconds of every thread of the process so far: on a shared machine the wall time
// says how busy the others were, this says what the work cost.
double ProcessCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         1e-6 * static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
}

void Grid(benchmark::State& state) {
  const Points p = RandomPoints(static_cast<std::size_t>(state.range(0)));
  const int nodes = static_cast<int>(state.range(1));
  std::vector<float> estimate, error;
  const double cpuStart = ProcessCpuSeconds();
  for (auto _ : state) {
    const LocalGridResult result = GridNodes(p, Model(), nodes, estimate, error);
    state.counters["empty"] = static_cast<double>(result.emptyNodes);
    benchmark::DoNotOptimize(estimate.data());
  }
  state.counters["cpu_us_per_node"] = (ProcessCpuSeconds() - cpuStart) / state.iterations() / (1e-6 * nodes * nodes);
  state.counters["cpu_s"] = (ProcessCpuSeconds() - cpuStart) / state.iterations();
  state.counters["peak_MB"] = bench::PeakMegabytes();
}
BENCHMARK(Grid)->Args({100000, 500})->Args({1000000, 1000})->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

// Answers the file dialog with one path; the rest as nobody watching would.
class FileUserInterface : public QuietUserInterface {
 public:
  std::string path;
  std::optional<std::string> OpenFileName(const std::string&, const FileFilter&) override { return path; }
};

void MillionPoints(benchmark::State& state) {
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("gridora-local-bench-" + std::to_string(::getpid()));
  std::filesystem::create_directories(folder);
  const std::filesystem::path file = folder / "million.xyz";
  {
    const Points p = RandomPoints(1000000);
    std::FILE* out = std::fopen(file.c_str(), "wb");
    for (std::size_t i = 0; i < p.x.size(); ++i)
      std::fputs(fmt::format("{:.3f} {:.3f} {:.4f}\n", p.x[i], p.y[i], p.z[i]).c_str(), out);
    std::fclose(out);
  }
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(folder);
  CommandTable table = BuildCommandTable();
  FileUserInterface ui;
  ui.path = file.string();
  QuietViewHost view;
  std::vector<float> estimate, error;
  double readSeconds = 0, variogramSeconds = 0;
  const double cpuStart = ProcessCpuSeconds();
  for (auto _ : state) {
    MemoryProfile profile;
    Document doc(profile);
    CommandContext context{doc, ui, view, profile};
    const auto start = std::chrono::steady_clock::now();
    if (table.Execute(ID_OPEN_RANDOM_DATA, context) != CommandStatus::Done || doc.primaryData->count != 1000000) {
      state.SkipWithError("reading the points failed");
      break;
    }
    const auto read = std::chrono::steady_clock::now();
    const RandomData& data = *doc.primaryData;
    Points p;
    for (int i = 0; i < data.count; ++i) {
      p.x.push_back(data.points[i].x);
      p.y.push_back(data.points[i].y);
      p.z.push_back(data.points[i].z);
    }
    VariogramModel model(folder.string(), 0);
    std::vector<double> z = p.z;
    model.SetDataWithoutMatrices(data.count, p.x.data(), p.y.data(), z.data(), 0, nullptr);
    BuildSampledCloud(model);
    if (model.FitVariogram(model.cloudMaximumDistance / 20.0, 0.1, 3, nullptr) == 0) {
      state.SkipWithError("variogram fit failed");
      break;
    }
    const auto fitted = std::chrono::steady_clock::now();
    CovarianceModel covariance;
    covariance.range = model.a;
    covariance.sill = model.c;
    GridNodes(Points{model.x, model.y, model.values}, covariance, 1000, estimate, error);
    readSeconds = std::chrono::duration<double>(read - start).count();
    variogramSeconds = std::chrono::duration<double>(fitted - read).count();
  }
  state.counters["cpu_s"] = ProcessCpuSeconds() - cpuStart;
  state.counters["read_s"] = readSeconds;
  state.counters["variogram_s"] = variogramSeconds;
  state.counters["peak_MB"] = bench::PeakMegabytes();
  std::filesystem::current_path(previous);
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
}
BENCHMARK(MillionPoints)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

}  // namespace
}  // namespace gridora
