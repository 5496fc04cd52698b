// Faults in minimum curvature: the terms across a line are left out, so a step in the
// data stays a step; without faults nothing changes.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "document/random_data.h"
#include "support/current_folder.h"
#include "surface/fault_cuts.h"
#include "surface/minimum_curvature.h"

namespace gridora {
namespace {

constexpr int kNodes = 51;  // 0..100 by 2
constexpr float kSpacing = 2.0f;
constexpr double kStep = 10.0;  // the value right of the fault; 0 left of it

// 80 points, none within a cell of x = 50: value 0 left of it, kStep right of it.
std::vector<DataPoint> StepPoints() {
  std::mt19937 generator(3);
  std::uniform_real_distribution<double> position(0.0, 100.0);
  std::vector<DataPoint> points;
  while (points.size() < 80) {
    const double x = position(generator), y = position(generator);
    if (std::fabs(x - 50.0) < 2.5) continue;
    points.push_back({x, y, x < 50.0 ? 0.0 : kStep});
  }
  return points;
}

std::vector<float> Grid(const std::vector<DataPoint>& points, const std::vector<Polyline>* faults,
                        SurfaceOptions::Solver solver, const SurfaceOptions& base = {}) {
  test::InTempFolder folder;  // the run's log goes there
  SurfaceOptions options = base;
  options.solver = solver;
  std::vector<float> layer(static_cast<std::size_t>(kNodes * kNodes));
  const MinimumCurvatureResult result = InterpolateMinimumCurvature(
      kNodes, kNodes, kSpacing, kSpacing, layer.data(), points.data(), static_cast<int>(points.size()), kTensionWeight,
      kCurvatureWeight, kDataWeight, nullptr, 0, options, faults);
  EXPECT_EQ(result.outcome.kind, OutcomeKind::Done) << result.iterations << " " << result.residual;
  return layer;
}

float Node(const std::vector<float>& layer, int ix, int iy) {
  return layer[static_cast<std::size_t>(ix) * kNodes + static_cast<std::size_t>(iy)];
}

Polyline Line(std::vector<PlanePoint> vertices) { return Polyline{std::move(vertices)}; }

// A fault across the whole grid splits it in two, and each half's data are constant: the
// minimiser is then that constant on each half, exactly (zero energy, every data term
// met), whichever way the line meets the nodes. Without the fault the step is smeared.
TEST(FaultCuts, StepAcrossAFaultStaysSharpWithEitherSolver) {
  const std::vector<DataPoint> points = StepPoints();
  struct Case {
    const char* what;
    Polyline fault;
  };
  const Case cases[] = {
      {"between node columns", Line({{50.3, -10.0}, {50.3, 110.0}})},
      // A vertex on the segment between nodes (50, 50) and (52, 50): the line must cross
      // it once, not slip through between its two segments.
      {"a vertex on a node segment", Line({{51.0, -10.0}, {51.0, 50.0}, {51.0, 110.0}})},
      // Through the nodes of the column x = 50, with a vertex on node (50, 50).
      {"through a column of nodes", Line({{50.0, -10.0}, {50.0, 50.0}, {50.0, 110.0}})},
      {"slanted, several vertices", Line({{49.0, -5.0}, {50.5, 30.0}, {49.2, 64.0}, {51.0, 105.0}})},
  };
  const SurfaceOptions exact{0.5, SurfaceOptions::Fit::Exact, SurfaceOptions::Solver::Automatic};
  for (const SurfaceOptions& base : {SurfaceOptions{}, exact})
    for (const Case& c : cases) {
      SCOPED_TRACE(c.what);
      const std::vector<Polyline> faults = {c.fault};
      const std::vector<float> direct = Grid(points, &faults, SurfaceOptions::Solver::Direct, base);
      const std::vector<float> multigrid = Grid(points, &faults, SurfaceOptions::Solver::Multigrid, base);
      double worst = 0.0, apart = 0.0;
      for (int ix = 0; ix < kNodes; ++ix) {
        const double x = ix * kSpacing;
        if (std::fabs(x - 50.0) < 2.5) continue;  // the side of the nodes next to a slanted line
        const double expected = x < 50.0 ? 0.0 : kStep;
        for (int iy = 0; iy < kNodes; ++iy) {
          worst = std::max(worst, std::fabs(Node(direct, ix, iy) - expected));
          apart = std::max(apart, std::fabs(static_cast<double>(Node(direct, ix, iy)) - Node(multigrid, ix, iy)));
        }
      }
      EXPECT_LT(worst, 1e-3 * kStep);
      EXPECT_LT(apart, 1e-3 * kStep);
    }

  // Without the fault the nodes next to x = 50 lie well between the two levels.
  const std::vector<float> smeared = Grid(points, nullptr, SurfaceOptions::Solver::Direct);
  const int column = 26;  // x = 52
  int between = 0;
  for (int iy = 0; iy < kNodes; ++iy) {
    const float value = Node(smeared, column, iy);
    between += value > 0.15 * kStep && value < 0.85 * kStep ? 1 : 0;
  }
  EXPECT_GT(between, kNodes / 2);
}

// No faults, an empty list and lines that meet no term give the same grid, bit for bit,
// with both solvers.
TEST(FaultCuts, NoFaultChangesNothing) {
  std::vector<DataPoint> points = StepPoints();
  for (DataPoint& p : points) p.z = std::sin(p.x / 20.0) + 0.01 * p.y * p.y;
  const std::vector<Polyline> none;
  const std::vector<Polyline> outside = {Line({{-50.0, -50.0}, {-20.0, 150.0}}), Line({{40.0, 40.0}})};
  for (auto solver : {SurfaceOptions::Solver::Direct, SurfaceOptions::Solver::Multigrid}) {
    const std::vector<float> plain = Grid(points, nullptr, solver);
    EXPECT_EQ(Grid(points, &none, solver), plain);
    EXPECT_EQ(Grid(points, &outside, solver), plain);
  }
}

// Which terms a line cuts, on a 4 x 4 grid of unit cells, against the crossings drawn by
// hand.
TEST(FaultCuts, CutsTheTermsTheLineCrosses) {
  // A vertical line at x = 1.5 from y = 0.5 up beyond the grid: it crosses the x-pairs
  // (2, j)-(3, j) for j = 2, 3, 4 (y = 1, 2, 3), not j = 1 (y = 0, below its end).
  const FaultCuts cuts(4, 4, 1.0, 1.0, {Line({{1.5, 0.5}, {1.5, 9.0}})});
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 4; ++j) EXPECT_EQ(cuts.CutX(i, j), i == 2 && j >= 2) << i << " " << j;
  for (int i = 1; i <= 4; ++i)
    for (int j = 1; j <= 3; ++j) EXPECT_FALSE(cuts.CutY(i, j)) << i << " " << j;
  // The cells (2, 1)..(2, 3) hold the line; the first only its end, which cuts its
  // upper edge and diagonals all the same.
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 3; ++j) EXPECT_EQ(cuts.CutCell(i, j), i == 2) << i << " " << j;
  // A point left of the line in cell (2, 2) reaches the left corners only.
  EXPECT_EQ(cuts.ReachedCorners(2, 2, 1.2, 1.5), 0x3u);
  EXPECT_EQ(cuts.ReachedCorners(2, 2, 1.8, 1.5), 0xCu);
  EXPECT_EQ(cuts.ReachedCorners(1, 1, 0.5, 0.5), 0xFu);
  // Its weights move onto those corners.
  float c[4] = {0.25f, 0.25f, 0.25f, 0.25f};
  ASSERT_TRUE(KeepOneSide(cuts, 2, 2, 1.2, 1.5, c));
  EXPECT_FLOAT_EQ(c[0], 0.5f);
  EXPECT_FLOAT_EQ(c[1], 0.5f);
  EXPECT_EQ(c[2], 0.0f);
  EXPECT_EQ(c[3], 0.0f);
  EXPECT_TRUE(FaultCuts(4, 4, 1.0, 1.0, {Line({{5.0, 5.0}, {9.0, 9.0}})}).Empty());
}

}  // namespace
}  // namespace gridora
