// Merging near points and block reduction of 200,000 points, with tolerances and cells
// far from the coordinates' scale. Each case should cost about the same: the buckets
// never collapse into one (which would make the merge quadratic, minutes instead of
// milliseconds).
#include <benchmark/benchmark.h>

#include <random>

#include "document/point_reduction.h"
#include "document/random_data.h"

namespace gridora {
namespace {

constexpr int kPoints = 200000;

// Points spread over a kilometre square at `origin`; with `outliers`, every hundredth
// point is thrown to +-1e300.
std::unique_ptr<RandomData> Points(double origin, bool outliers) {
  auto data = CreateRandomData();
  std::mt19937 random(5);
  std::uniform_real_distribution<double> offset(0.0, 1000.0);
  for (int i = 0; i < kPoints; ++i) {
    DataPoint p{origin + offset(random), origin + offset(random), offset(random)};
    if (outliers && i % 100 == 0) p.x = (i % 200 == 0 ? 1e300 : -1e300) + p.x;
    data->points[data->count++] = p;
  }
  return data;
}

void Merge(benchmark::State& state, double origin, bool outliers, double tolerance) {
  const auto source = Points(origin, outliers);
  auto data = CreateRandomData();
  for (auto _ : state) {
    state.PauseTiming();
    std::copy(source->points.get(), source->points.get() + source->count, data->points.get());
    data->count = source->count;
    state.ResumeTiming();
    benchmark::DoNotOptimize(MergeDuplicatePoints(*data, tolerance, MergeMethod::Mean));
  }
  state.counters["left"] = data->count;
}

BENCHMARK_CAPTURE(Merge, MetreTolerance, 0.0, false, 1.0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Merge, TinyToleranceOnProjectedCoordinates, 5e6, false, 1e-300)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Merge, ToleranceHugeAgainstTheExtent, 0.0, false, 1e30)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Merge, OutliersAtTenToThe300, 0.0, true, 1.0)->Unit(benchmark::kMillisecond);

void BlockReduce(benchmark::State& state, double cell) {
  const auto source = Points(5e6, false);
  auto data = CreateRandomData();
  for (auto _ : state) {
    state.PauseTiming();
    std::copy(source->points.get(), source->points.get() + source->count, data->points.get());
    data->count = source->count;
    state.ResumeTiming();
    benchmark::DoNotOptimize(BlockReducePoints(*data, cell, MergeMethod::Mean));
  }
  state.counters["left"] = data->count;
}

BENCHMARK_CAPTURE(BlockReduce, TenMetreCells, 10.0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BlockReduce, MicrometreCells, 1e-6)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace gridora
