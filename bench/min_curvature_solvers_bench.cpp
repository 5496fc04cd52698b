// The two minimum-curvature solvers side by side on the same assembled system, for
// placing the automatic switch between them:
//   min_curvature_solvers_bench --benchmark_filter=Solve
// Arguments: nodes along each side, points, solver (0 direct, 1 multigrid). The
// multigrid runs up to 1001 x 1001 also report their largest difference from the direct
// solution as a fraction of its value range (difference_of_range).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "bench_support.h"
#include "surface/minimum_curvature.h"
#include "surface/minimum_curvature_multigrid.h"
#include "surface/minimum_curvature_solver.h"
#include "surface/minimum_curvature_system.h"

namespace gridora {
namespace {

void Solve(benchmark::State& state) {
  const int nodes = static_cast<int>(state.range(0));
  const int count = static_cast<int>(state.range(1));
  const bool multigrid = state.range(2) != 0;
  std::mt19937 random(2024);
  const double width = nodes - 1;
  std::uniform_real_distribution<double> position(0.0, width), noise(-1.0, 1.0);
  std::vector<SolverPoint> points;
  for (int p = 0; p < count; ++p) {
    const double x = position(random), y = position(random);
    const double z = 100.0 * std::sin(x / width * 6.0) * std::cos(y / width * 4.0) + noise(random);
    points.push_back({static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)});
  }
  MinimumCurvatureSystem system(nodes, nodes);
  AssembleSmoothness(system, kTensionWeight, kCurvatureWeight);
  AttachData(system, points, 1.0f, 1.0f, kDataWeight);
  std::vector<double> reference;
  if (multigrid && nodes <= 1001) reference = SolveMinimumCurvature(system, nullptr, 0).u;
  std::vector<double> last;
  int iterations = 0;
  for (auto _ : state) {
    const MinimumCurvatureSolution solution =
        multigrid
            ? SolveMinimumCurvatureMultigrid(system, CommandWeights(kTensionWeight, kCurvatureWeight, kDataWeight),
                                             points, 1.0, 1.0, nullptr)
            : SolveMinimumCurvature(system, nullptr, 0);
    if (!solution.outcome.Done()) {
      state.SkipWithError("not solved");
      break;
    }
    iterations = solution.iterations;
    last = solution.u;
  }
  if (!reference.empty() && last.size() == reference.size()) {
    const auto [low, high] = std::minmax_element(reference.begin(), reference.end());
    double largest = 0.0;
    for (std::size_t k = 0; k < last.size(); ++k) largest = std::max(largest, std::fabs(last[k] - reference[k]));
    state.counters["difference_of_range"] = largest / (*high - *low);
  }
  state.counters["iterations"] = iterations;
  state.counters["peak_MB"] = bench::PeakMegabytes();
}

BENCHMARK(Solve)
    ->ArgsProduct({{51, 101, 201, 301, 501, 701, 1001, 1501}, {2000}, {0, 1}})
    ->Args({1001, 100000, 0})
    ->Args({1001, 100000, 1})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime();

}  // namespace
}  // namespace gridora
