// Kriging with a drift against the same kriging without one.
//
//   trend_kriging_bench --benchmark_filter=Global    universal kriging (linear drift) of 2,000
//                                                    points onto 200 x 200 nodes with standard
//                                                    errors: the inversion, the estimates and
//                                                    the errors; drift 0 is ordinary kriging,
//                                                    3 the external drift of Local
//   trend_kriging_bench --benchmark_filter=Local     the 32 nearest of 100,000 points onto
//                                                    500 x 500 nodes with standard errors;
//                                                    drift 0 ordinary, 1 linear, 2 quadratic,
//                                                    3 external (one raster of 1,000 x 1,000
//                                                    pixels over the points)
//
// cpu_s is the CPU time of all threads (on a shared machine it says more than the wall
// time about what the work cost).
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "geostat/kriging_prediction.h"
#include "geostat/kriging_state.h"
#include "geostat/kriging_variance.h"
#include "geostat/local_kriging.h"
#include "trend/external_drift.h"
#include "trend/polynomial_drift.h"

namespace gridora {
namespace {

constexpr double kExtent = 10000.0;

// A regional gradient with a smooth wave and some noise on points over [0, kExtent]^2.
std::vector<DataPoint> GradientPoints(std::size_t n) {
  std::mt19937 random(12345);
  std::uniform_real_distribution<double> position(0.0, kExtent), noise(-0.5, 0.5);
  std::vector<DataPoint> points(n);
  for (DataPoint& p : points) {
    p.x = position(random);
    p.y = position(random);
    p.z = 0.01 * p.x - 0.004 * p.y + 20.0 * std::sin(p.x / 1500.0) * std::cos(p.y / 2000.0) + noise(random);
  }
  return points;
}

double ProcessCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         1e-6 * static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
}

DriftKind DriftOf(int64_t index) {
  return index == 1 ? DriftKind::Linear : index == 2 ? DriftKind::Quadratic : DriftKind::None;
}

// A smooth covariate over the points' square, pixel centres from 0 to kExtent.
std::shared_ptr<const DriftRaster> Covariate() {
  DriftRaster raster;
  raster.path = "covariate";
  raster.layout = NodeLayout{0.0, 0.0, kExtent / 999, kExtent / 999, 1000, 1000};
  raster.values.resize(raster.layout.NodeCount());
  for (int i = 0; i < 1000; ++i)
    for (int j = 0; j < 1000; ++j)
      raster.values[raster.layout.Index(i, j)] = static_cast<float>(std::sin(i / 150.0) * std::cos(j / 200.0));
  return std::make_shared<const DriftRaster>(std::move(raster));
}

// The drift of case `index` for the n points.
std::shared_ptr<const DriftBasis> DriftFor(int64_t index, std::size_t n, const double* x, const double* y) {
  if (index == 3) return MakeKrigingDrift(DriftKind::None, {Covariate()}, n, x, y);
  return MakePolynomialDrift(DriftOf(index), n, x, y);
}

void Global(benchmark::State& state) {
  const std::vector<DataPoint> points = GradientPoints(2000);
  const DriftKind drift = DriftOf(state.range(0));
  const NodeLayout layout{0.0, 0.0, kExtent / 199, kExtent / 199, 200, 200};
  std::vector<float> estimate(layout.NodeCount()), error(layout.NodeCount());
  const double cpuStart = ProcessCpuSeconds();
  for (auto _ : state) {
    KrigingState run(".", 0);
    run.writeMatrixFiles = false;
    run.LoadVariable(2000, points.data(), 0, nullptr);
    VariogramModel& model = *run.primary;
    model.writeMatrixFiles = false;
    model.options.type = KrigingType::Ordinary;
    model.options.drift = drift;
    model.options.nugget = 0.01;
    model.a = 1500.0;
    model.c = 1.0;
    model.BuildKrigingMatrix();
    run.drift = DriftFor(state.range(0), 2000, model.x.data(), model.y.data());
    if (!run.InvertSystem(run.OrdinarySystem(), nullptr, false).Done()) state.SkipWithError("singular");
    PredictGrid(run, layout, estimate.data(), nullptr);
    StandardErrorGrid(run, layout, error.data(), nullptr);
    benchmark::DoNotOptimize(error.data());
  }
  state.counters["cpu_s"] = (ProcessCpuSeconds() - cpuStart) / state.iterations();
}
BENCHMARK(Global)->Arg(0)->Arg(1)->Arg(3)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

void Local(benchmark::State& state) {
  const std::vector<DataPoint> points = GradientPoints(100000);
  std::vector<double> x, y, z;
  for (const DataPoint& p : points) {
    x.push_back(p.x);
    y.push_back(p.y);
    z.push_back(p.z);
  }
  CovarianceModel model;
  model.range = 1500.0;
  model.sill = 150.0;
  model.nugget = 0.1;
  const LocalKriging local(MergeCoincidentPoints(x.size(), x.data(), y.data(), z.data()), model,
                           LocalKrigingType::Ordinary, 0.0, {32, 0.0, 3},
                           DriftFor(state.range(0), x.size(), x.data(), y.data()));
  const NodeLayout layout{0.0, 0.0, kExtent / 499, kExtent / 499, 500, 500};
  std::vector<float> estimate(layout.NodeCount()), error(layout.NodeCount());
  const double cpuStart = ProcessCpuSeconds();
  for (auto _ : state) {
    const LocalGridResult result = local.Grid(layout, estimate.data(), error.data(), nullptr, 0.0f, nullptr);
    state.counters["empty"] = static_cast<double>(result.emptyNodes);
    benchmark::DoNotOptimize(estimate.data());
  }
  state.counters["cpu_s"] = (ProcessCpuSeconds() - cpuStart) / state.iterations();
}
BENCHMARK(Local)->Arg(0)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kSecond)->Iterations(3)->UseRealTime();

}  // namespace
}  // namespace gridora
