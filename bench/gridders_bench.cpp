// The quick gridders on a million points: inverse distance from the 12 nearest points,
// and linear interpolation on the Delaunay triangulation, onto 1001 x 1001 nodes.
//
//   gridders_bench --benchmark_filter=InverseDistance12
//   gridders_bench --benchmark_filter=LinearTriangulation
//
// Each time holds the whole job from the points in memory: the tree or the
// triangulation, then every node. bench/gridders_vs_gdal_grid.sh sets the same two jobs
// beside gdal_grid's. cpu_s is the CPU time of all threads, which on a shared machine
// says more than the wall time; peak_MB the process's peak resident memory so far.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cmath>
#include <random>
#include <vector>

#include "bench_support.h"
#include "gridders/inverse_distance.h"
#include "gridders/linear_triangulation.h"

namespace gridora {
namespace {

constexpr double kExtent = 10000.0;
constexpr int kNodes = 1001;
constexpr std::size_t kPoints = 1000000;

// A smooth field with some noise on points spread over [0, kExtent]^2.
const std::vector<DataPoint>& Points() {
  static const std::vector<DataPoint> points = [] {
    std::mt19937 random(12345);
    std::uniform_real_distribution<double> position(0.0, kExtent), noise(-0.5, 0.5);
    std::vector<DataPoint> p(kPoints);
    for (DataPoint& q : p) {
      q.x = position(random);
      q.y = position(random);
      q.z = 100.0 + 20.0 * std::sin(q.x / 1500.0) * std::cos(q.y / 2000.0) + noise(random);
    }
    return p;
  }();
  return points;
}

NodeLayout Layout() {
  const double spacing = kExtent / (kNodes - 1);
  return {0.0, 0.0, spacing, spacing, kNodes, kNodes};
}

double ProcessCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         1e-6 * static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
}

template <class Job>
void Run(benchmark::State& state, const Job& job) {
  const std::vector<DataPoint>& points = Points();
  const NodeLayout layout = Layout();
  std::vector<float> values(layout.NodeCount());
  std::vector<std::uint8_t> empty(layout.NodeCount());
  const double cpuStart = ProcessCpuSeconds();
  for (auto _ : state) {
    const GridderResult result = job(points, layout, values.data(), empty.data());
    state.counters["empty"] = static_cast<double>(result.emptyNodes);
    benchmark::DoNotOptimize(values.data());
  }
  state.counters["cpu_s"] = (ProcessCpuSeconds() - cpuStart) / state.iterations();
  state.counters["peak_MB"] = bench::PeakMegabytes();
}

void InverseDistance12(benchmark::State& state) {
  Run(state, [](const auto& points, const NodeLayout& layout, float* values, std::uint8_t* empty) {
    return GridByInverseDistance(points, layout, {2.0, 0.0, 12}, values, empty, nullptr);
  });
}
BENCHMARK(InverseDistance12)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

void LinearTriangulation(benchmark::State& state) {
  Run(state, [](const auto& points, const NodeLayout& layout, float* values, std::uint8_t* empty) {
    return GridByLinearTriangulation(points, layout, values, empty, nullptr);
  });
}
BENCHMARK(LinearTriangulation)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

}  // namespace
}  // namespace gridora
