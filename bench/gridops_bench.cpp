// Speed of the numerics on finished grids at the size the goal names: the volume (each
// method) and each filter (width 5 node spacings) of a 4001 x 4001 grid. Goal: under a
// second each on two cores.
#include <benchmark/benchmark.h>

#include <cmath>
#include <string>
#include <vector>

#include "gridops/grid_filter.h"
#include "gridops/volume.h"

namespace gridora {
namespace {

constexpr int kSide = 4001;

// A smooth surface with some roughness, built once for every benchmark.
const std::vector<float>& SurfaceValues() {
  static const std::vector<float> values = [] {
    std::vector<float> v(static_cast<std::size_t>(kSide) * kSide);
    for (int ix = 0; ix < kSide; ++ix)
      for (int iy = 0; iy < kSide; ++iy)
        v[static_cast<std::size_t>(ix) * kSide + iy] =
            static_cast<float>(100 * std::sin(ix * 0.003) * std::cos(iy * 0.002) + std::sin(ix * 1.7 + iy * 2.3));
    return v;
  }();
  return values;
}

GridValues Surface() {
  NodeLayout layout;
  layout.x0 = 500000;
  layout.y0 = 4000000;
  layout.dx = 2.0;
  layout.dy = 2.0;
  layout.nx = kSide;
  layout.ny = kSide;
  return {layout, SurfaceValues().data(), nullptr};
}

void BM_Volume(benchmark::State& state) {
  const VolumeMethod method = static_cast<VolumeMethod>(state.range(0));
  const GridValues grid = Surface();
  for (auto _ : state) {
    VolumeResult result;
    std::string problem;
    if (!ComputeVolume(grid, 10.0, method, result, problem)) state.SkipWithError(problem.c_str());
    benchmark::DoNotOptimize(result);
  }
  state.SetLabel(std::string(VolumeMethodName(method)));
}
BENCHMARK(BM_Volume)->DenseRange(0, 2)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime();

void BM_Filter(benchmark::State& state) {
  const FilterType type = static_cast<FilterType>(state.range(0));
  const GridValues grid = Surface();
  for (auto _ : state) {
    GridResult result;
    std::string problem;
    if (!FilterGrid(grid, type, 5 * grid.layout.dx, result, problem)) state.SkipWithError(problem.c_str());
    benchmark::DoNotOptimize(result.values.data());
  }
  state.SetLabel(std::string(FilterTypeName(type)));
}
// The processor time counts every thread: on a machine that others load it is the steadier
// figure (half of it is the wall-clock time of two idle cores when the work divides evenly).
BENCHMARK(BM_Filter)
    ->DenseRange(0, 2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->MeasureProcessCPUTime()
    ->Iterations(3);

}  // namespace
}  // namespace gridora
