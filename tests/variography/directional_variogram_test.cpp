#include "variography/directional_variogram.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <random>
#include <vector>

#include "support/test_support.h"

namespace gridora {
namespace {

struct Points {
  std::vector<double> x, y, z;
};

// Scattered points with some on a lattice, so that many pairs lie exactly on the class
// bounds and on the directions (dx = 0, dy = 0, dx = dy), and two coincident points.
Points Fixture() {
  Points p;
  std::mt19937_64 random(7);
  std::uniform_real_distribution<double> u(0.0, 100.0);
  for (int i = 0; i < 150; ++i) {
    p.x.push_back(u(random));
    p.y.push_back(u(random));
    p.z.push_back(0.05 * p.x.back() + std::sin(p.y.back() / 9.0) + u(random) / 50.0);
  }
  for (int i = 0; i < 8; ++i)
    for (int j = 0; j < 8; ++j) {
      p.x.push_back(10.0 * i);
      p.y.push_back(10.0 * j);
      p.z.push_back(i * j % 5);
    }
  p.x.push_back(10.0);
  p.y.push_back(10.0);
  p.z.push_back(3.0);
  return p;
}

struct Brute {
  double h = 0.0, g = 0.0;
  std::uint64_t n = 0;
};

// Every pair tested term by term, as the definition reads: direction modulo 180 within
// the tolerance, k lag <= h < (k + 1) lag, h < cutoff.
std::map<std::pair<int, int>, Brute> BruteForce(const Points& p, const DirectionalVariogramOptions& o) {
  std::map<std::pair<int, int>, Brute> classes;
  const double pi = std::acos(-1.0);
  for (std::size_t i = 0; i < p.x.size(); ++i)
    for (std::size_t j = i + 1; j < p.x.size(); ++j) {
      const double dx = p.x[j] - p.x[i], dy = p.y[j] - p.y[i];
      const double h = std::sqrt(dx * dx + dy * dy);
      if (!(h < o.cutoff)) continue;
      double theta = std::fmod(std::atan2(dy, dx) * 180.0 / pi + 360.0, 180.0);
      for (std::size_t d = 0; d < o.anglesDegrees.size(); ++d) {
        const double a = std::fmod(std::fmod(o.anglesDegrees[d], 180.0) + 180.0, 180.0);
        double diff = std::fabs(theta - a);
        if (diff > 90.0) diff = 180.0 - diff;
        if (diff > o.toleranceDegrees) continue;
        int k = 0;
        while (!(k * o.lag <= h && h < (k + 1) * o.lag)) ++k;
        Brute& b = classes[{static_cast<int>(d), k}];
        b.h += h;
        b.g += 0.5 * (p.z[i] - p.z[j]) * (p.z[i] - p.z[j]);
        ++b.n;
      }
    }
  return classes;
}

TEST(DirectionalVariogram, ClassesMatchEveryPairTestedOneByOne) {
  const Points p = Fixture();
  const std::vector<DirectionalVariogramOptions> cases = {
      {{0.0, 45.0, 90.0, 135.0}, 22.5, 10.0, 70.0},
      {{-30.0, 200.0, 179.0}, 10.0, 7.5, 60.0},  // angles beyond [0, 180)
      {{90.0}, 0.0, 10.0, 71.0},                 // only exactly vertical pairs
      {{0.0}, 90.0, 5.0, 200.0},                 // every pair: the isotropic classes
  };
  for (const DirectionalVariogramOptions& o : cases) {
    SCOPED_TRACE(::testing::Message() << "tolerance " << o.toleranceDegrees << " lag " << o.lag);
    const DirectionalVariograms result =
        ComputeDirectionalVariograms(p.x.data(), p.y.data(), p.z.data(), p.x.size(), o, nullptr);
    ASSERT_TRUE(result.outcome.Done()) << result.outcome.text;
    const auto expected = BruteForce(p, o);
    std::size_t seen = 0;
    ASSERT_EQ(result.directions.size(), o.anglesDegrees.size());
    for (std::size_t d = 0; d < result.directions.size(); ++d) {
      EXPECT_EQ(result.directions[d].angleDegrees, o.anglesDegrees[d]);
      for (const DirectionalClass& c : result.directions[d].classes) {
        const auto it = expected.find({static_cast<int>(d), c.lag});
        ASSERT_NE(it, expected.end()) << "direction " << d << " class " << c.lag;
        ++seen;
        EXPECT_EQ(c.pairs, it->second.n);
        const double n = static_cast<double>(it->second.n);
        EXPECT_NEAR(c.distance, it->second.h / n, 1e-12 * it->second.h / n);
        EXPECT_NEAR(c.gamma, it->second.g / n, 1e-12 * (it->second.g / n) + 1e-300);
      }
    }
    EXPECT_EQ(seen, expected.size());
  }
}

TEST(DirectionalVariogram, DirectionsWrapAtHalfCircle) {
  struct Case {
    double theta, angle, tolerance;
    bool within;
  };
  const Case cases[] = {
      {179.0, 1.0, 2.0, true}, {-1.0, 1.0, 2.0, true},   {181.0, 0.0, 1.0, true},   {90.0, 0.0, 89.9, false},
      {90.0, 0.0, 90.0, true}, {45.0, 225.0, 0.0, true}, {0.0, -45.0, 44.0, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(WithinDirection(c.theta, c.angle, c.tolerance), c.within) << c.theta << " " << c.angle;
}

TEST(DirectionalVariogram, RefusesUnusableOptionsAndParsesAngleLists) {
  EXPECT_TRUE(DirectionalOptionsProblem({{}, 10.0, 1.0, 5.0}));
  EXPECT_TRUE(DirectionalOptionsProblem({{0.0}, -1.0, 1.0, 5.0}));
  EXPECT_TRUE(DirectionalOptionsProblem({{0.0}, 10.0, 0.0, 5.0}));
  EXPECT_TRUE(DirectionalOptionsProblem({{0.0}, 10.0, 1e-9, 5.0}));
  EXPECT_FALSE(DirectionalOptionsProblem({{0.0}, 10.0, 1.0, 5.0}));
  EXPECT_EQ(ParseAngleList("0, 45,90 ,135").value(), (std::vector<double>{0, 45, 90, 135}));
  EXPECT_FALSE(ParseAngleList("0,,90"));
  EXPECT_FALSE(ParseAngleList("north"));
  EXPECT_FALSE(ParseAngleList("nan"));
}

TEST(DirectionalVariogram, CsvHoldsEveryClassWithSeventeenDigits) {
  test::TempFolder folder;
  DirectionalVariograms result;
  result.directions = {{45.0, {{0, 0.1, 1.0 / 3.0, 2}, {3, 3.5, 2.0, 7}}}};
  std::string problem;
  const auto path = folder / "directional_variogram.csv";
  ASSERT_TRUE(WriteDirectionalVariogramCsv(result, path, problem)) << problem;
  EXPECT_EQ(test::ReadFileBytes(path),
            "angle,lag,distance,gamma,pairs\r\n45,0,0.10000000000000001,0.33333333333333331,2\r\n45,3,3.5,2,7\r\n");
  result.directions[0].classes[0].gamma = INFINITY;
  EXPECT_FALSE(WriteDirectionalVariogramCsv(result, path, problem));
  EXPECT_NE(problem.find("not a finite number"), std::string::npos);
}

}  // namespace
}  // namespace gridora
