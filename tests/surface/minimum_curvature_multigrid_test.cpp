// The multigrid-preconditioned iteration against the direct factorisation of the same
// assembled system: within 1e-5 of the value range on small and medium grids, sparse
// and dense data, both precisions, square and stretched cells.
#include <fmt/printf.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "platform/feedback.h"
#include "surface/minimum_curvature.h"
#include "surface/minimum_curvature_multigrid.h"
#include "surface/minimum_curvature_solver.h"
#include "surface/minimum_curvature_surface.h"

namespace gridora {
namespace {

// Points spread uniformly over the grid's area with a smooth field and some noise,
// values lifted to `level` so that the stopping rule is seen to follow the variation.
std::vector<SolverPoint> ScatteredPoints(int count, double width, double height, double level, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> x(0.0, width), y(0.0, height), noise(-1.0, 1.0);
  std::vector<SolverPoint> points;
  for (int p = 0; p < count; ++p) {
    const double px = x(random), py = y(random);
    const double z = level + 50.0 * std::sin(px / width * 5.0) * std::cos(py / height * 3.0) + noise(random);
    points.push_back({static_cast<float>(px), static_cast<float>(py), static_cast<float>(z)});
  }
  return points;
}

double Range(const std::vector<double>& u) {
  const auto [low, high] = std::minmax_element(u.begin(), u.end());
  return *high - *low;
}

double LargestDifference(const std::vector<double>& a, const std::vector<double>& b) {
  double largest = 0.0;
  for (std::size_t k = 0; k < a.size(); ++k) largest = std::max(largest, std::fabs(a[k] - b[k]));
  return largest;
}

struct Case {
  const char* name;
  int nx, ny;
  double DX, DY;
  int points;
  double level;
  bool commandFunctional;  // false: the options' functional (double precision)
  SurfaceOptions options;
};

SurfaceOptions Curvature(SurfaceOptions::Fit fit) {
  SurfaceOptions options;
  options.tension = 0.0;
  options.fit = fit;
  return options;
}

class MultigridAgainstDirect : public ::testing::TestWithParam<Case> {};

TEST_P(MultigridAgainstDirect, AgreesWithinTheToleranceOfTheValueRange) {
  const Case& c = GetParam();
  const std::vector<SolverPoint> points =
      ScatteredPoints(c.points, (c.nx - 1) * c.DX, (c.ny - 1) * c.DY, c.level, 7u + static_cast<unsigned>(c.nx));
  MinimumCurvatureSolution direct, iterative;
  if (c.commandFunctional) {
    MinimumCurvatureSystem system(c.nx, c.ny);
    AssembleSmoothness(system, kTensionWeight, kCurvatureWeight);
    AttachData(system, points, static_cast<float>(c.DX), static_cast<float>(c.DY), kDataWeight);
    direct = SolveMinimumCurvature(system, nullptr, 0);
    iterative = SolveMinimumCurvatureMultigrid(system, CommandWeights(kTensionWeight, kCurvatureWeight, kDataWeight),
                                               points, c.DX, c.DY, nullptr);
  } else {
    PreciseCurvatureSystem system(c.nx, c.ny);
    const SurfaceWeights weights = OptionWeights(c.options, c.DX, c.DY, kDataWeight);
    AssembleSurface(system, weights, points, c.DX, c.DY);
    direct = SolveMinimumCurvature(system, nullptr, 0);
    iterative = SolveMinimumCurvatureMultigrid(system, weights, points, c.DX, c.DY, nullptr);
  }
  ASSERT_EQ(direct.outcome.kind, OutcomeKind::Done);
  ASSERT_EQ(iterative.outcome.kind, OutcomeKind::Done) << "residual " << iterative.residual;
  const double range = Range(direct.u);
  EXPECT_LE(LargestDifference(direct.u, iterative.u), 1e-5 * range)
      << iterative.iterations << " iterations, residual " << iterative.residual;
  EXPECT_LE(iterative.residual, MultigridSettings{}.tolerance);
}

INSTANTIATE_TEST_SUITE_P(Grids, MultigridAgainstDirect,
                         ::testing::Values(Case{"TinyGridSolvedOnOneLevel", 12, 9, 1.0, 1.0, 20, 0.0, true, {}},
                                           Case{"SparseData", 121, 97, 1.0, 1.0, 40, 0.0, true, {}},
                                           Case{"DenseData", 101, 101, 1.0, 1.0, 20000, 0.0, true, {}},
                                           Case{"ValuesFarFromZero", 96, 130, 1.0, 1.0, 300, 5000.0, true, {}},
                                           Case{"StretchedCells", 150, 80, 2.5, 0.5, 500, 0.0, true, {}},
                                           Case{"ThinGrid", 700, 4, 1.0, 1.0, 200, 0.0, true, {}},
                                           Case{"MediumSparse", 401, 401, 1.0, 1.0, 2000, 0.0, true, {}},
                                           Case{"CurvatureOnly", 121, 101, 1.0, 1.0, 300, 0.0, false,
                                                Curvature(SurfaceOptions::Fit::Specified)},
                                           Case{"TensionStretchedCells", 90, 140, 0.4, 1.6, 400, 0.0, false,
                                                SurfaceOptions{0.3, SurfaceOptions::Fit::Specified,
                                                               SurfaceOptions::Solver::Automatic}}),
                         [](const ::testing::TestParamInfo<Case>& info) { return std::string(info.param.name); });

class CountingFeedback : public Feedback {
 public:
  void SetProgress(double) override {}
  void SetStage(const std::string& text) override {
    stages.push_back(text);
    if (text.rfind("Solving", 0) == 0) ++iterations;
  }
  bool IsCanceled() const override { return cancelAfter >= 0 && iterations >= cancelAfter; }
  std::vector<std::string> stages;
  int iterations = 0;
  int cancelAfter = -1;
};

struct SmallProblem {
  SmallProblem() : system(201, 151), points(ScatteredPoints(300, 200.0, 150.0, 0.0, 3u)) {
    AssembleSmoothness(system, kTensionWeight, kCurvatureWeight);
    AttachData(system, points, 1.0f, 1.0f, kDataWeight);
  }
  MinimumCurvatureSolution Solve(Feedback* feedback, const MultigridSettings& settings = {}) const {
    return SolveMinimumCurvatureMultigrid(system, CommandWeights(kTensionWeight, kCurvatureWeight, kDataWeight), points,
                                          1.0, 1.0, feedback, settings);
  }
  MinimumCurvatureSystem system;
  std::vector<SolverPoint> points;
};

TEST(MultigridSolver, ReportsEveryIterationWithItsResidual) {
  const SmallProblem problem;
  CountingFeedback feedback;
  const MinimumCurvatureSolution solution = problem.Solve(&feedback);
  ASSERT_EQ(solution.outcome.kind, OutcomeKind::Done);
  EXPECT_EQ(feedback.iterations, solution.iterations);
  EXPECT_EQ(feedback.stages.back(),
            fmt::sprintf("Solving: iteration %d, residual %.2e", solution.iterations, solution.residual));
}

TEST(MultigridSolver, CancelStopsBetweenIterations) {
  const SmallProblem problem;
  CountingFeedback feedback;
  feedback.cancelAfter = 2;
  const MinimumCurvatureSolution solution = problem.Solve(&feedback);
  EXPECT_EQ(solution.outcome.kind, OutcomeKind::Canceled);
  EXPECT_EQ(feedback.iterations, 2);
  EXPECT_TRUE(solution.u.empty());
}

TEST(MultigridSolver, IterationCapReportsNotConvergedAndNoGrid) {
  const SmallProblem problem;
  const MinimumCurvatureSolution solution = problem.Solve(nullptr, MultigridSettings{1e-14, 2});
  EXPECT_EQ(solution.outcome.kind, OutcomeKind::NotConverged);
  EXPECT_EQ(solution.iterations, 2);
  EXPECT_GT(solution.residual, 1e-14);
  EXPECT_TRUE(solution.u.empty());
}

TEST(MultigridSolver, GridWithoutDataIsNotPositiveDefinite) {
  MinimumCurvatureSystem system(120, 90);
  AssembleSmoothness(system, kTensionWeight, kCurvatureWeight);
  const MinimumCurvatureSolution solution = SolveMinimumCurvatureMultigrid(
      system, CommandWeights(kTensionWeight, kCurvatureWeight, kDataWeight), {}, 1.0, 1.0, nullptr);
  EXPECT_EQ(solution.outcome.kind, OutcomeKind::Singular);
}

TEST(MultigridSolver, EqualValuesGiveTheFlatSurface) {
  MinimumCurvatureSystem system(60, 70);
  std::vector<SolverPoint> points = {{3.5f, 4.0f, 7.0f}, {40.0f, 60.0f, 7.0f}, {20.0f, 10.0f, 7.0f}};
  AssembleSmoothness(system, kTensionWeight, kCurvatureWeight);
  AttachData(system, points, 1.0f, 1.0f, kDataWeight);
  const MinimumCurvatureSolution solution = SolveMinimumCurvatureMultigrid(
      system, CommandWeights(kTensionWeight, kCurvatureWeight, kDataWeight), points, 1.0, 1.0, nullptr);
  ASSERT_EQ(solution.outcome.kind, OutcomeKind::Done);
  for (double value : solution.u) ASSERT_NEAR(value, 7.0, 1e-6);
}

TEST(MultigridSolver, AutomaticChoiceFollowsSizeAndMemory) {
  const SurfaceOptions automatic;
  EXPECT_FALSE(UsesMultigrid(999, 1000, automatic, 0));
  EXPECT_TRUE(UsesMultigrid(1000, 1000, automatic, 0));
  // A factor that does not fit the memory goes to the iteration at any size.
  EXPECT_TRUE(UsesMultigrid(301, 301, automatic, 10u << 20));
  SurfaceOptions direct;
  direct.solver = SurfaceOptions::Solver::Direct;
  EXPECT_FALSE(UsesMultigrid(4001, 4001, direct, 0));
  SurfaceOptions multigrid;
  multigrid.solver = SurfaceOptions::Solver::Multigrid;
  EXPECT_TRUE(UsesMultigrid(20, 20, multigrid, 0));
  // The exact fit stays with the factorisation while it fits.
  SurfaceOptions exact;
  exact.fit = SurfaceOptions::Fit::Exact;
  EXPECT_FALSE(UsesMultigrid(2001, 2001, exact, 0));
  EXPECT_TRUE(UsesMultigrid(2001, 2001, exact, 100u << 20));
  // 4001 x 4001 nodes with the command's functional fit in 2 GB.
  EXPECT_LT(EstimateGriddingBytes(4001, 4001, automatic, 0), 2000ull << 20);
}

}  // namespace
}  // namespace gridora
