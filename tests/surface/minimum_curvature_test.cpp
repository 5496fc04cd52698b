// The minimum-curvature system against the functional it comes from, and the solve
// against an independent dense minimiser of that functional.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "document/random_data.h"
#include "support/dense_solve.h"
#include "support/test_support.h"
#include "surface/grid_dissection.h"
#include "surface/minimum_curvature.h"
#include "surface/minimum_curvature_solver.h"
#include "surface/minimum_curvature_system.h"

namespace gridora {
namespace {

// ---------------------------------------------------------------------------------
// The functional written out term by term, independently of the band assembly: each
// term is w * (sum of c * u(node) - f)^2 over 1-based unknowns.
struct Term {
  double w;
  std::vector<std::pair<int, double>> coefficients;
  double f;
};

int Unknown(int ny, int i, int j) { return (i - 1) * ny + j; }

std::vector<Term> FunctionalTerms(int nx, int ny, float DX, float DY, const std::vector<SolverPoint>& points, double w1,
                                  double w2, double wd) {
  std::vector<Term> terms;
  for (int i = 1; i <= nx; ++i)
    for (int j = 1; j <= ny; ++j) {
      const int k = Unknown(ny, i, j);
      if (i < nx) terms.push_back({w1, {{k, -1}, {Unknown(ny, i + 1, j), 1}}, 0});
      if (j < ny) terms.push_back({w1, {{k, -1}, {Unknown(ny, i, j + 1), 1}}, 0});
      if (i > 1 && i < nx) terms.push_back({w2, {{Unknown(ny, i - 1, j), 1}, {k, -2}, {Unknown(ny, i + 1, j), 1}}, 0});
      if (j > 1 && j < ny) terms.push_back({w2, {{Unknown(ny, i, j - 1), 1}, {k, -2}, {Unknown(ny, i, j + 1), 1}}, 0});
      if (i < nx && j < ny)
        terms.push_back(
            {2 * w2,
             {{k, 1}, {Unknown(ny, i, j + 1), -1}, {Unknown(ny, i + 1, j), -1}, {Unknown(ny, i + 1, j + 1), 1}},
             0});
    }
  for (const SolverPoint& p : points) {
    const double lastX = (nx - 1) * static_cast<double>(DX), lastY = (ny - 1) * static_cast<double>(DY);
    if (p.x < -0.5 * DX || p.x > lastX + 0.5 * DX || p.y < -0.5 * DY || p.y > lastY + 0.5 * DY) continue;
    const int i = std::clamp(static_cast<int>(std::floor(p.x / DX + 1e-6)) + 1, 1, nx - 1);
    const int j = std::clamp(static_cast<int>(std::floor(p.y / DY + 1e-6)) + 1, 1, ny - 1);
    const double t = (p.x - (i - 1) * static_cast<double>(DX)) / DX;
    const double s = (p.y - (j - 1) * static_cast<double>(DY)) / DY;
    terms.push_back({wd,
                     {{Unknown(ny, i, j), (1 - t) * (1 - s)},
                      {Unknown(ny, i, j + 1), (1 - t) * s},
                      {Unknown(ny, i + 1, j), t * (1 - s)},
                      {Unknown(ny, i + 1, j + 1), t * s}},
                     p.z});
  }
  return terms;
}

// Dense normal equations of the terms: A = sum w c c^T, b = sum w c f (0-based).
struct DenseSystem {
  int n;
  std::vector<double> a, b;
  double& A(int k, int l) { return a[static_cast<std::size_t>(k) * n + l]; }
};

DenseSystem NormalEquations(int n, const std::vector<Term>& terms) {
  DenseSystem s{n, std::vector<double>(static_cast<std::size_t>(n) * n, 0.0), std::vector<double>(n, 0.0)};
  for (const Term& term : terms)
    for (const auto& [k, ck] : term.coefficients) {
      for (const auto& [l, cl] : term.coefficients) s.A(k - 1, l - 1) += term.w * ck * cl;
      s.b[k - 1] += term.w * ck * term.f;
    }
  return s;
}

// The reference minimiser: the dense normal equations solved in long double.
std::vector<double> DenseMinimiser(const DenseSystem& s) {
  const std::vector<long double> u = test::SolveDense(std::vector<long double>(s.a.begin(), s.a.end()),
                                                      std::vector<long double>(s.b.begin(), s.b.end()));
  return std::vector<double>(u.begin(), u.end());
}

// Band Cholesky in long double over the upper band of the normal equations of the
// terms (half bandwidth 2*NY): an independent minimiser for grids too large for the
// dense one.
std::vector<double> BandMinimiser(int nx, int ny, const std::vector<Term>& terms) {
  const int n = nx * ny, m = 2 * ny;
  std::vector<long double> a(static_cast<std::size_t>(n) * (m + 1), 0.0L), b(n, 0.0L);
  auto at = [&](int k, int offset) -> long double& { return a[static_cast<std::size_t>(k) * (m + 1) + offset]; };
  for (const Term& term : terms)
    for (const auto& [k, ck] : term.coefficients) {
      for (const auto& [l, cl] : term.coefficients)
        if (l >= k) at(k - 1, l - k) += term.w * ck * cl;
      b[k - 1] += term.w * ck * term.f;
    }
  for (int k = 0; k < n; ++k) {  // A = U^T U, U stored over A's band
    for (int l = std::max(0, k - m); l < k; ++l) {
      const long double ulk = at(l, k - l);
      for (int c = k; c <= std::min(n - 1, l + m); ++c) at(k, c - k) -= ulk * at(l, c - l);
    }
    const long double pivot = std::sqrt(at(k, 0));
    for (int c = 0; c <= m && k + c < n; ++c) at(k, c) /= pivot;
  }
  for (int k = 0; k < n; ++k) {  // U^T y = b
    for (int l = std::max(0, k - m); l < k; ++l) b[k] -= at(l, k - l) * b[l];
    b[k] /= at(k, 0);
  }
  for (int k = n - 1; k >= 0; --k) {  // U u = y
    for (int c = 1; c <= m && k + c < n; ++c) b[k] -= at(k, c) * b[k + c];
    b[k] /= at(k, 0);
  }
  return std::vector<double>(b.begin(), b.end());
}

MinimumCurvatureSystem Assemble(int nx, int ny, float DX, float DY, const std::vector<SolverPoint>& points) {
  MinimumCurvatureSystem system(nx, ny);
  AssembleSmoothness(system, kTensionWeight, kCurvatureWeight);
  AttachData(system, points, DX, DY, kDataWeight);
  return system;
}

std::vector<SolverPoint> RandomPoints(int count, float width, float height, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<float> x(0.0f, width), y(0.0f, height), z(-50.0f, 150.0f);
  std::vector<SolverPoint> points(static_cast<std::size_t>(count));
  for (SolverPoint& p : points) p = {x(random), y(random), z(random)};
  return points;
}

// ---------------------------------------------------------------------------------

TEST(MinimumCurvatureSystem, TwoByTwoGridByHand) {
  // Tension along x and y, no second differences, one twist cell of weight 1.
  MinimumCurvatureSystem s(2, 2);
  AssembleSmoothness(s, 0.5f, 0.5f);
  const float expected[4][4] = {{2, -1.5f, -1.5f, 1}, {0, 2, 1, -1.5f}, {0, 0, 2, -1.5f}, {0, 0, 0, 2}};
  for (int k = 1; k <= 4; ++k)
    for (int l = k; l <= 4; ++l) EXPECT_EQ(s.Entry(k, l), expected[k - 1][l - 1]) << k << "," << l;
  for (int k = 1; k <= 4; ++k) EXPECT_EQ(s.Rhs(k), 0.0f);
}

TEST(MinimumCurvatureSystem, MatchesTheFunctionalTermByTerm) {
  struct Case {
    int nx, ny;
    float DX, DY;
    int points;
  } cases[] = {{2, 2, 1, 1, 1},        {3, 2, 1, 1, 3}, {2, 3, 0.5f, 2, 2}, {4, 3, 1, 1, 5},
               {5, 4, 2.5f, 0.75f, 9}, {3, 7, 1, 1, 4}, {6, 6, 1, 1, 12}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.nx << "x" << c.ny);
    auto points = RandomPoints(c.points, (c.nx - 1) * c.DX, (c.ny - 1) * c.DY, 7u + c.nx * 10u + c.ny);
    const MinimumCurvatureSystem system = Assemble(c.nx, c.ny, c.DX, c.DY, points);
    DenseSystem reference =
        NormalEquations(c.nx * c.ny, FunctionalTerms(c.nx, c.ny, c.DX, c.DY, points, 0.5, 0.5, 32.0));
    for (int k = 1; k <= c.nx * c.ny; ++k) {
      for (int l = 1; l <= c.nx * c.ny; ++l) {
        const double want = reference.A(k - 1, l - 1);
        EXPECT_NEAR(system.Entry(k, l), want, 1e-5 * (1 + std::fabs(want))) << k << "," << l;
      }
      EXPECT_NEAR(system.Rhs(k), reference.b[k - 1], 1e-5 * (1 + std::fabs(reference.b[k - 1]))) << k;
    }
  }
}

TEST(MinimumCurvatureSystem, DataTermsOnNodesEdgesAndMargins) {
  const float wd = kDataWeight;
  struct Case {
    const char* what;
    SolverPoint point;
    int node;  // unknown that receives wd * 1 * 1 on its diagonal
    bool attached;
  } cases[] = {
      {"a point on a node pulls that node alone", {1.0f, 2.0f, 7.0f}, Unknown(4, 2, 3), true},
      {"a point on the last node line falls in the last cell with t = 1", {3.0f, 1.0f, 7.0f}, Unknown(4, 4, 2), true},
      {"a point on the last node of both axes", {3.0f, 3.0f, 7.0f}, Unknown(4, 4, 4), true},
      {"a point beyond the half-cell margin is ignored", {3.6f, 1.0f, 7.0f}, 0, false},
      {"a point before the first node beyond the margin is ignored", {1.0f, -0.51f, 7.0f}, 0, false},
      {"a value that is not a number is ignored", {1.0f, 2.0f, std::nanf("")}, 0, false},
      {"an infinite value is ignored", {1.0f, 2.0f, HUGE_VALF}, 0, false},
      {"a coordinate that is not a number is ignored", {std::nanf(""), 2.0f, 7.0f}, 0, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    MinimumCurvatureSystem s(4, 4);
    const int attached = AttachData(s, {c.point}, 1.0f, 1.0f, wd);
    EXPECT_EQ(attached, c.attached ? 1 : 0);
    for (int k = 1; k <= 16; ++k) {
      const bool target = c.attached && k == c.node;
      EXPECT_EQ(s.Rhs(k), target ? wd * 7.0f : 0.0f) << k;
      for (int l = k; l <= 16; ++l) EXPECT_EQ(s.Entry(k, l), target && l == k ? wd : 0.0f) << k << "," << l;
    }
  }

  // In the margin beyond the last node the weights extrapolate: t = 1.25.
  MinimumCurvatureSystem s(4, 4);
  ASSERT_EQ(AttachData(s, {{3.25f, 1.0f, 1.0f}}, 1.0f, 1.0f, wd), 1);
  EXPECT_FLOAT_EQ(s.Rhs(Unknown(4, 3, 2)), wd * -0.25f);
  EXPECT_FLOAT_EQ(s.Rhs(Unknown(4, 4, 2)), wd * 1.25f);
}

TEST(GridDissection, IsAPermutationOfTheNodes) {
  for (auto [nx, ny] : {std::pair{2, 2}, std::pair{1, 9}, std::pair{17, 5}, std::pair{40, 33}}) {
    std::vector<std::int64_t> order = GridDissectionOrder(nx, ny);
    ASSERT_EQ(order.size(), static_cast<std::size_t>(nx) * ny);
    std::sort(order.begin(), order.end());
    for (std::size_t e = 0; e < order.size(); ++e) ASSERT_EQ(order[e], static_cast<std::int64_t>(e));
  }
}

// ---------------------------------------------------------------------------------

double Range(const std::vector<double>& u) {
  const auto [low, high] = std::minmax_element(u.begin(), u.end());
  return *high - *low;
}

TEST(MinimumCurvatureSolve, IsTheMinimiserOfTheFunctional) {
  struct Case {
    const char* what;
    int nx, ny;
    float DX, DY;
    int points;
  } cases[] = {
      {"dense data on a small grid", 8, 7, 1, 1, 40},
      {"sparse data on a fine grid", 41, 29, 0.25f, 0.25f, 6},
      {"a tall grid with unequal spacing", 9, 47, 2, 0.5f, 15},
      {"one point", 12, 10, 1, 1, 1},
      {"the smallest grid", 2, 2, 1, 1, 3},
      {"two node columns", 2, 9, 1, 1, 4},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const auto points = RandomPoints(c.points, (c.nx - 1) * c.DX, (c.ny - 1) * c.DY, 11u * c.nx + c.ny);
    const MinimumCurvatureSystem system = Assemble(c.nx, c.ny, c.DX, c.DY, points);
    const MinimumCurvatureSolution solution = SolveMinimumCurvature(system, nullptr, 0);
    ASSERT_EQ(solution.outcome.kind, OutcomeKind::Done);

    // The reference solves the float-assembled system's exact counterpart: the same
    // functional with the single-precision points, in long double.
    const std::vector<double> reference =
        DenseMinimiser(NormalEquations(c.nx * c.ny, FunctionalTerms(c.nx, c.ny, c.DX, c.DY, points, 0.5, 0.5, 32.0)));
    const double tolerance = 1e-5 * std::max(Range(reference), 1.0);
    double worst = 0;
    for (std::size_t k = 0; k < reference.size(); ++k) worst = std::max(worst, std::fabs(solution.u[k] - reference[k]));
    EXPECT_LT(worst, tolerance);
  }
}

TEST(MinimumCurvatureSolve, SparseDataOnAFineGridMatchAnExtendedPrecisionBandSolve) {
  // The case where a single-precision solve drifts: few points, many nodes between them.
  const int nx = 61, ny = 47;
  const auto points = RandomPoints(12, nx - 1, ny - 1, 99);
  const MinimumCurvatureSolution solution = SolveMinimumCurvature(Assemble(nx, ny, 1, 1, points), nullptr, 0);
  ASSERT_EQ(solution.outcome.kind, OutcomeKind::Done);
  const std::vector<double> reference = BandMinimiser(nx, ny, FunctionalTerms(nx, ny, 1, 1, points, 0.5, 0.5, 32.0));
  double worst = 0;
  for (std::size_t k = 0; k < reference.size(); ++k) worst = std::max(worst, std::fabs(solution.u[k] - reference[k]));
  EXPECT_LT(worst, 1e-5 * Range(reference));
}

TEST(MinimumCurvatureSolve, OnePointGivesAConstantGridAndNoPointCannotBeSolved) {
  const MinimumCurvatureSystem one = Assemble(15, 11, 1, 1, {{3.3f, 4.6f, 42.5f}});
  const MinimumCurvatureSolution solved = SolveMinimumCurvature(one, nullptr, 0);
  ASSERT_EQ(solved.outcome.kind, OutcomeKind::Done);
  // Constant up to the rounding of the single-precision bilinear weights.
  for (double value : solved.u) EXPECT_NEAR(value, 42.5, 1e-5);

  const MinimumCurvatureSystem none = Assemble(15, 11, 1, 1, {});
  EXPECT_EQ(SolveMinimumCurvature(none, nullptr, 0).outcome.kind, OutcomeKind::Singular);
}

TEST(MinimumCurvatureSolve, AFactorLargerThanTheLimitIsRefusedWithItsSize) {
  const MinimumCurvatureSystem system = Assemble(30, 30, 1, 1, RandomPoints(10, 29, 29, 3));
  const MinimumCurvatureSolution refused = SolveMinimumCurvature(system, nullptr, 1000);
  EXPECT_EQ(refused.outcome.kind, OutcomeKind::OutOfMemory);
  EXPECT_GT(refused.bytesNeeded, 1000u);
  EXPECT_TRUE(refused.u.empty());
  EXPECT_GE(EstimateMinimumCurvatureBytes(30, 30), 30u * 30u * 100u);
}

}  // namespace
}  // namespace gridora
