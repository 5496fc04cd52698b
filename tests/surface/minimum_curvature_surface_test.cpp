// The surface options' functional (tension, physical units, exact fit) against an
// independent minimiser of it, and what the options are for: passing through the data
// and following a smooth field.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "support/dense_solve.h"
#include "surface/minimum_curvature.h"
#include "surface/minimum_curvature_multigrid.h"
#include "surface/minimum_curvature_solver.h"
#include "surface/minimum_curvature_surface.h"

namespace gridora {
namespace {

// The functional in physical terms, over nodes (i, j) at (i*DX, j*DY), 0-based, with
// the cell area a = DX*DY:
//   sum a * t * (du/dx^2 + du/dy^2)  +  sum a^2 * (1-t) * (d2u/dx2^2 + d2u/dy2^2 + 2 d2u/dxdy^2)
//   + wd * sum over points (bilinear interpolant - z)^2
// with every derivative a divided difference. Minimised densely in long double.
std::vector<double> IndependentMinimiser(int nx, int ny, double DX, double DY, double t, double wd,
                                         const std::vector<SolverPoint>& points) {
  const int n = nx * ny;
  std::vector<long double> a(static_cast<std::size_t>(n) * n, 0.0L), b(n, 0.0L);
  auto node = [ny](int i, int j) { return i * ny + j; };
  auto add = [&](const std::vector<std::pair<int, long double>>& c, long double w, long double f) {
    for (const auto& [k, ck] : c) {
      for (const auto& [l, cl] : c) a[static_cast<std::size_t>(k) * n + l] += w * ck * cl;
      b[k] += w * ck * f;
    }
  };
  const long double area = DX * DY, dx = DX, dy = DY;
  for (int i = 0; i < nx; ++i)
    for (int j = 0; j < ny; ++j) {
      if (i + 1 < nx) add({{node(i, j), -1 / dx}, {node(i + 1, j), 1 / dx}}, area * t, 0);
      if (j + 1 < ny) add({{node(i, j), -1 / dy}, {node(i, j + 1), 1 / dy}}, area * t, 0);
      const long double curvature = area * area * (1 - t);
      if (i > 0 && i + 1 < nx)
        add({{node(i - 1, j), 1 / (dx * dx)}, {node(i, j), -2 / (dx * dx)}, {node(i + 1, j), 1 / (dx * dx)}}, curvature,
            0);
      if (j > 0 && j + 1 < ny)
        add({{node(i, j - 1), 1 / (dy * dy)}, {node(i, j), -2 / (dy * dy)}, {node(i, j + 1), 1 / (dy * dy)}}, curvature,
            0);
      if (i + 1 < nx && j + 1 < ny) {
        const long double m = 1 / (dx * dy);
        add({{node(i, j), m}, {node(i, j + 1), -m}, {node(i + 1, j), -m}, {node(i + 1, j + 1), m}}, 2 * curvature, 0);
      }
    }
  for (const SolverPoint& p : points) {
    const int i = std::clamp(static_cast<int>(std::floor(p.x / DX)), 0, nx - 2);
    const int j = std::clamp(static_cast<int>(std::floor(p.y / DY)), 0, ny - 2);
    const long double s = (p.x - i * DX) / DX, u = (p.y - j * DY) / DY;
    add({{node(i, j), (1 - s) * (1 - u)},
         {node(i, j + 1), (1 - s) * u},
         {node(i + 1, j), s * (1 - u)},
         {node(i + 1, j + 1), s * u}},
        wd, p.z);
  }
  const std::vector<long double> u = test::SolveDense(std::move(a), std::move(b));
  return std::vector<double>(u.begin(), u.end());
}

std::vector<SolverPoint> RandomPoints(int count, double width, double height, unsigned seed,
                                      double (*field)(double, double)) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> x(0.0, width), y(0.0, height);
  std::vector<SolverPoint> points;
  for (int p = 0; p < count; ++p) {
    const double px = x(random), py = y(random);
    points.push_back({static_cast<float>(px), static_cast<float>(py), static_cast<float>(field(px, py))});
  }
  return points;
}

double Wave(double x, double y) { return 3.0 * std::sin(0.7 * x) + 2.0 * std::cos(1.3 * y) + 0.5 * x * y; }

struct OptionCase {
  const char* name;
  double tension;
  SurfaceOptions::Fit fit;
  double DX, DY;
};

class SurfaceAgainstIndependentMinimiser : public ::testing::TestWithParam<OptionCase> {};

TEST_P(SurfaceAgainstIndependentMinimiser, BothSolversFindTheMinimiser) {
  const OptionCase& c = GetParam();
  const int nx = 9, ny = 7;
  const std::vector<SolverPoint> points = RandomPoints(12, (nx - 1) * c.DX, (ny - 1) * c.DY, 11u, Wave);
  const SurfaceOptions options{c.tension, c.fit, SurfaceOptions::Solver::Automatic};
  const SurfaceWeights weights = OptionWeights(options, c.DX, c.DY, kDataWeight);
  PreciseCurvatureSystem system(nx, ny);
  ASSERT_EQ(AssembleSurface(system, weights, points, c.DX, c.DY), 12);

  const std::vector<double> expected = IndependentMinimiser(nx, ny, c.DX, c.DY, c.tension, weights.data, points);
  const MinimumCurvatureSolution direct = SolveMinimumCurvature(system, nullptr, 0);
  MultigridSettings tight;
  tight.tolerance = 1e-12;
  const MinimumCurvatureSolution iterative =
      SolveMinimumCurvatureMultigrid(system, weights, points, c.DX, c.DY, nullptr, tight);
  ASSERT_EQ(direct.outcome.kind, OutcomeKind::Done);
  ASSERT_EQ(iterative.outcome.kind, OutcomeKind::Done);
  const auto [low, high] = std::minmax_element(expected.begin(), expected.end());
  const double range = *high - *low;
  for (std::size_t k = 0; k < expected.size(); ++k) {
    ASSERT_NEAR(direct.u[k], expected[k], 1e-6 * range) << "node " << k;
    ASSERT_NEAR(iterative.u[k], expected[k], 1e-6 * range) << "node " << k;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Options, SurfaceAgainstIndependentMinimiser,
    ::testing::Values(OptionCase{"CurvatureSquareCells", 0.0, SurfaceOptions::Fit::Specified, 1.0, 1.0},
                      OptionCase{"CurvatureStretchedCells", 0.0, SurfaceOptions::Fit::Specified, 2.0, 0.5},
                      OptionCase{"MixedStretchedCells", 0.35, SurfaceOptions::Fit::Specified, 0.3, 1.7},
                      OptionCase{"TensionOnly", 1.0, SurfaceOptions::Fit::Specified, 1.5, 1.0},
                      OptionCase{"CurvatureExactFit", 0.0, SurfaceOptions::Fit::Exact, 2.0, 0.5},
                      OptionCase{"MixedExactFit", 0.6, SurfaceOptions::Fit::Exact, 1.0, 3.0}),
    [](const ::testing::TestParamInfo<OptionCase>& info) { return std::string(info.param.name); });

TEST(SurfaceOptions, TheCommandsWeightsAreHalfTensionOnSquareCells) {
  const SurfaceWeights command = CommandWeights(kTensionWeight, kCurvatureWeight, kDataWeight);
  const SurfaceWeights options = OptionWeights(SurfaceOptions{}, 2.5, 2.5, kDataWeight);
  EXPECT_DOUBLE_EQ(options.tensionX, command.tensionX);
  EXPECT_DOUBLE_EQ(options.tensionY, command.tensionY);
  EXPECT_DOUBLE_EQ(options.curvatureX, command.curvatureX);
  EXPECT_DOUBLE_EQ(options.curvatureY, command.curvatureY);
  EXPECT_DOUBLE_EQ(options.twist, command.twist);
  EXPECT_DOUBLE_EQ(options.data, command.data);
  EXPECT_TRUE(SurfaceOptions{}.KeepsCommandFunctional());
}

double Bilinear(const std::vector<double>& u, int ny, double DX, double DY, double x, double y, int nx) {
  const int i = std::clamp(static_cast<int>(std::floor(x / DX)), 0, nx - 2);
  const int j = std::clamp(static_cast<int>(std::floor(y / DY)), 0, ny - 2);
  const double s = (x - i * DX) / DX, t = (y - j * DY) / DY;
  auto at = [&](int a, int b) { return u[static_cast<std::size_t>(a) * ny + b]; };
  return (1 - s) * (1 - t) * at(i, j) + (1 - s) * t * at(i, j + 1) + s * (1 - t) * at(i + 1, j) +
         s * t * at(i + 1, j + 1);
}

double Smooth(double x, double y) { return std::sin(x / 30.0) * std::cos(y / 45.0) + 0.2 * std::sin((x + y) / 20.0); }

// Exact fit passes through every point within 1e-6 of the value range, for any tension.
TEST(SurfaceOptions, ExactFitPassesThroughTheData) {
  const int nx = 121, ny = 81;
  const double DX = 1.5, DY = 1.0;
  const std::vector<SolverPoint> points = RandomPoints(300, (nx - 1) * DX, (ny - 1) * DY, 5u, Smooth);
  const auto [low, high] = std::minmax_element(points.begin(), points.end(),
                                               [](const SolverPoint& a, const SolverPoint& b) { return a.z < b.z; });
  const double range = high->z - low->z;
  for (double tension : {0.0, 0.5, 1.0}) {
    const SurfaceOptions options{tension, SurfaceOptions::Fit::Exact, SurfaceOptions::Solver::Automatic};
    const SurfaceWeights weights = OptionWeights(options, DX, DY, kDataWeight);
    PreciseCurvatureSystem system(nx, ny);
    AssembleSurface(system, weights, points, DX, DY);
    const MinimumCurvatureSolution solution = SolveMinimumCurvature(system, nullptr, 0);
    ASSERT_EQ(solution.outcome.kind, OutcomeKind::Done);
    double worst = 0.0;
    for (const SolverPoint& p : points)
      worst = std::max(worst, std::fabs(Bilinear(solution.u, ny, DX, DY, p.x, p.y, nx) - p.z));
    EXPECT_LE(worst, 1e-6 * range) << "tension " << tension;
  }
}

// On noise-free samples of a smooth field, curvature with the exact fit follows the
// field far more closely than the command's functional, which flattens between points.
TEST(SurfaceOptions, CurvatureWithExactFitFollowsASmoothField) {
  const int nx = 201, ny = 201;
  const std::vector<SolverPoint> points = RandomPoints(2000, nx - 1, ny - 1, 9u, Smooth);
  auto rmsError = [&](const SurfaceOptions& options) {
    const SurfaceWeights weights = options.KeepsCommandFunctional()
                                       ? CommandWeights(kTensionWeight, kCurvatureWeight, kDataWeight)
                                       : OptionWeights(options, 1.0, 1.0, kDataWeight);
    PreciseCurvatureSystem system(nx, ny);
    AssembleSurface(system, weights, points, 1.0, 1.0);
    const MinimumCurvatureSolution solution = SolveMinimumCurvature(system, nullptr, 0);
    EXPECT_EQ(solution.outcome.kind, OutcomeKind::Done);
    double sum = 0.0;
    for (int i = 0; i < nx; ++i)
      for (int j = 0; j < ny; ++j) {
        const double e = solution.u[static_cast<std::size_t>(i) * ny + j] - Smooth(i, j);
        sum += e * e;
      }
    return std::sqrt(sum / (nx * ny));
  };
  const double standard = rmsError(SurfaceOptions{});
  const double curvature = rmsError(SurfaceOptions{0.0, SurfaceOptions::Fit::Exact, SurfaceOptions::Solver::Direct});
  EXPECT_LT(curvature, standard / 5.0) << "standard " << standard << ", curvature with exact fit " << curvature;
}

}  // namespace
}  // namespace gridora
