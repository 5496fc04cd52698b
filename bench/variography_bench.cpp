// Sequential Gaussian simulation and the variogram map at the sizes of the issue:
//
//   variography_bench --benchmark_filter=Simulation   (100 realisations of 250 x 250 nodes
//                                                      conditioned on 2,000 points, 24 neighbours;
//                                                      goal: at most 60 s on 2 cores)
//   variography_bench --benchmark_filter=VariogramMap (100,000 points, 2,000,000 sampled pairs;
//                                                      goal: at most 2 s)
//
// The counter per_realisation_s is the wall time of one realisation (all of them run
// over every core, one per thread); cpu_s is the CPU time of all threads.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <chrono>
#include <cmath>
#include <random>
#include <vector>

#include "simulation/sequential_gaussian.h"
#include "variography/variogram_map.h"

namespace gridora {
namespace {

constexpr double kExtent = 10000.0;

struct Points {
  std::vector<double> x, y, z;
};

Points RandomPoints(std::size_t n) {
  std::mt19937_64 random(3);
  std::uniform_real_distribution<double> u(0.0, kExtent);
  std::normal_distribution<double> noise(0.0, 0.2);
  Points p;
  for (std::size_t i = 0; i < n; ++i) {
    const double x = u(random), y = u(random);
    p.x.push_back(x);
    p.y.push_back(y);
    p.z.push_back(std::sin(x / 1500.0) * std::cos(y / 2300.0) * 5.0 + x / 4000.0 + noise(random));
  }
  return p;
}

double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + 1e-6 * (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
}

void Simulation(benchmark::State& state) {
  const int realisations = static_cast<int>(state.range(0));
  const int side = static_cast<int>(state.range(1));
  const Points p = RandomPoints(2000);
  NodeLayout layout;
  layout.nx = layout.ny = side;
  layout.dx = layout.dy = kExtent / (side - 1);
  SimulationSetup setup;
  setup.model.kind = VariogramKind::Exponential;
  setup.model.range = 1500.0;
  setup.model.sill = 0.95;
  setup.model.nugget = 0.05;
  setup.neighbours = 24;
  setup.realisations = realisations;
  setup.seed = 1;
  double wall = 0.0;
  const double cpu0 = CpuSeconds();
  for (auto _ : state) {
    const auto t0 = std::chrono::steady_clock::now();
    const SimulationResult r =
        SimulateSequentialGaussian(layout, p.x.data(), p.y.data(), p.z.data(), p.x.size(), setup, nullptr);
    wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    if (!r.outcome.Done()) state.SkipWithError("simulation failed");
    benchmark::DoNotOptimize(r.values.data());
  }
  state.counters["per_realisation_s"] = wall / static_cast<double>(state.iterations()) / realisations;
  state.counters["cpu_s"] = (CpuSeconds() - cpu0) / static_cast<double>(state.iterations());
}
BENCHMARK(Simulation)->Args({100, 250})->Args({10, 250})->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

void VariogramMapOf(benchmark::State& state) {
  const Points p = RandomPoints(static_cast<std::size_t>(state.range(0)));
  VariogramMapOptions options;
  options.lag = kExtent / 3.0 / 10.0;
  options.cells = 10;
  for (auto _ : state) {
    const VariogramMap map = ComputeVariogramMap(p.x.data(), p.y.data(), p.z.data(), p.x.size(), options, nullptr);
    benchmark::DoNotOptimize(map.gamma.data());
    const ProposedAnisotropy a = ProposeAnisotropy(map, 5.0);
    benchmark::DoNotOptimize(a.ratio);
  }
}
BENCHMARK(VariogramMapOf)->Name("VariogramMap")->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace gridora
