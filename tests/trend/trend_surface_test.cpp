#include "trend/trend_surface.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "support/dense_solve.h"

namespace gridora {
namespace {

// Monomials x^(k-j) y^j in the documented order, written out term by term.
std::vector<long double> Monomials(int degree, long double x, long double y) {
  std::vector<long double> m = {1, x, y};
  if (degree >= 2) m.insert(m.end(), {x * x, x * y, y * y});
  if (degree >= 3) m.insert(m.end(), {x * x * x, x * x * y, x * y * y, y * y * y});
  return m;
}

struct Scatter {
  std::vector<double> x, y, z;
};

Scatter RandomScatter(int n, double x0, double y0, double extent, unsigned seed) {
  std::mt19937 generator(seed);
  std::uniform_real_distribution<double> u(0.0, extent);
  Scatter s;
  for (int i = 0; i < n; ++i) {
    s.x.push_back(x0 + u(generator));
    s.y.push_back(y0 + u(generator));
  }
  return s;
}

TEST(TrendSurface, TermNamesFollowTheDegree) {
  EXPECT_EQ(TrendTermNames(1), (std::vector<std::string>{"1", "x", "y"}));
  EXPECT_EQ(TrendTermNames(3), (std::vector<std::string>{"1", "x", "y", "x2", "xy", "y2", "x3", "x2y", "xy2", "y3"}));
}

// A planted polynomial comes back coefficient for coefficient, and the surface gives the
// values back at the points.
TEST(TrendSurface, RecoversPlantedPolynomialsOfEachDegree) {
  const std::vector<double> planted = {5.0, -0.3, 0.7, 1e-3, -2e-3, 5e-4, 1e-6, -3e-6, 2e-6, -1e-6};
  for (int degree = 1; degree <= 3; ++degree) {
    SCOPED_TRACE(degree);
    Scatter s = RandomScatter(60, 100.0, 200.0, 300.0, 7u + degree);
    const int p = TrendTermCount(degree);
    for (std::size_t i = 0; i < s.x.size(); ++i) {
      const std::vector<long double> m = Monomials(degree, s.x[i], s.y[i]);
      long double t = 0;
      for (int k = 0; k < p; ++k) t += planted[k] * m[k];
      s.z.push_back(static_cast<double>(t));
    }
    const TrendFit fit = FitTrendSurface(60, s.x.data(), s.y.data(), s.z.data(), degree);
    ASSERT_TRUE(fit.surface) << fit.problem;
    const std::vector<double> raw = fit.surface->RawCoefficients();
    for (int k = 0; k < p; ++k) EXPECT_NEAR(raw[k], planted[k], 1e-9 * std::max(1.0, std::fabs(planted[0]))) << k;
    for (std::size_t i = 0; i < s.x.size(); ++i) EXPECT_NEAR(fit.surface->At(s.x[i], s.y[i]), s.z[i], 1e-9);
  }
}

// Noisy values: the coefficients of the normal equations X^T X c = X^T z, formed and
// solved in long double on coordinates near the origin, where they are well conditioned.
TEST(TrendSurface, MatchesTheNormalEquationsOnNoisyData) {
  for (int degree = 1; degree <= 3; ++degree) {
    SCOPED_TRACE(degree);
    Scatter s = RandomScatter(80, -2.0, -1.0, 4.0, 11u + degree);
    std::mt19937 generator(3u);
    std::normal_distribution<double> noise(0.0, 0.5);
    for (std::size_t i = 0; i < s.x.size(); ++i) s.z.push_back(std::sin(s.x[i]) + s.y[i] * s.x[i] + noise(generator));
    const int p = TrendTermCount(degree);
    std::vector<long double> normal(static_cast<std::size_t>(p * p), 0), right(static_cast<std::size_t>(p), 0);
    for (std::size_t i = 0; i < s.x.size(); ++i) {
      const std::vector<long double> m = Monomials(degree, s.x[i], s.y[i]);
      for (int a = 0; a < p; ++a) {
        right[a] += m[a] * s.z[i];
        for (int b = 0; b < p; ++b) normal[a * p + b] += m[a] * m[b];
      }
    }
    const std::vector<long double> expected = test::SolveDense(normal, right);
    const TrendFit fit = FitTrendSurface(static_cast<int>(s.x.size()), s.x.data(), s.y.data(), s.z.data(), degree);
    ASSERT_TRUE(fit.surface) << fit.problem;
    const std::vector<double> raw = fit.surface->RawCoefficients();
    for (int k = 0; k < p; ++k) EXPECT_NEAR(raw[k], static_cast<double>(expected[k]), 1e-10) << k;
  }
}

// Projected coordinates: the cubic's raw columns reach 6e19, yet the surface through
// the points is found to the values' own accuracy.
TEST(TrendSurface, FitsACubicOnProjectedCoordinates) {
  Scatter s = RandomScatter(100, 350000.0, 4100000.0, 5000.0, 5u);
  auto truth = [](double x, double y) {
    const double u = (x - 352500.0) / 1000.0, v = (y - 4102500.0) / 1000.0;
    return 10.0 + u - 2.0 * v + 0.5 * u * v + 0.1 * u * u * u - 0.2 * v * v * u;
  };
  for (std::size_t i = 0; i < s.x.size(); ++i) s.z.push_back(truth(s.x[i], s.y[i]));
  const TrendFit fit = FitTrendSurface(100, s.x.data(), s.y.data(), s.z.data(), 3);
  ASSERT_TRUE(fit.surface) << fit.problem;
  for (double x : {350100.0, 352000.0, 354900.0})
    for (double y : {4100100.0, 4103000.0, 4104900.0}) EXPECT_NEAR(fit.surface->At(x, y), truth(x, y), 1e-8);
}

TEST(TrendSurface, RefusesWhatCannotBeFitted) {
  const double nan = std::nan("");
  struct Case {
    const char* name;
    std::vector<double> x, y, z;
    int degree;
  };
  const Case cases[] = {
      {"degree 0", {0, 1, 0}, {0, 0, 1}, {1, 2, 3}, 0},
      {"degree 4", {0, 1, 0}, {0, 0, 1}, {1, 2, 3}, 4},
      {"fewer points than terms", {0, 1, 0, 1, 2}, {0, 0, 1, 1, 3}, {1, 2, 3, 4, 5}, 2},
      {"points on a line", {0, 1, 2, 3}, {0, 2, 4, 6}, {1, 2, 3, 5}, 1},
      {"points on a circle for a quadratic",
       {1, 0, -1, 0, 0.6, -0.6, 0.8},
       {0, 1, 0, -1, 0.8, -0.8, -0.6},
       {1, 2, 3, 4, 5, 6, 7},
       2},
      {"a value that is not a number", {0, 1, 0, 1}, {0, 0, 1, 1}, {1, nan, 3, 4}, 1},
  };
  for (const Case& c : cases) {
    const TrendFit fit = FitTrendSurface(static_cast<int>(c.x.size()), c.x.data(), c.y.data(), c.z.data(), c.degree);
    EXPECT_FALSE(fit.surface) << c.name;
    EXPECT_FALSE(fit.problem.empty()) << c.name;
  }
}

TEST(TrendSurface, CsvHoldsTheRawCoefficientsExactly) {
  TrendSurface s;
  s.degree = 1;
  s.centreX = 10.0;
  s.centreY = 20.0;
  s.scale = 4.0;
  s.scaledCoefficients = {1.0, 2.0, -3.0};  // 1 + 2 (x - 10) / 4 - 3 (y - 20) / 4
  EXPECT_EQ(TrendCsvText(s), "term,coefficient\r\n1,11\r\nx,0.5\r\ny,-0.75\r\n");
}

}  // namespace
}  // namespace gridora
