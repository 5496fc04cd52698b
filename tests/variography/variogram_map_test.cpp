#include "variography/variogram_map.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "support/test_support.h"

namespace gridora {
namespace {

constexpr double kPi = 3.14159265358979323846;

struct Points {
  std::vector<double> x, y, z;
};

// A Gaussian random field with geometric anisotropy, by the spectral method: a sum of
// cosines whose wave vectors are drawn from the spectrum of the Gaussian covariance with
// length `longRange` along `angle` and ratio * longRange across it. Sampled at random
// positions.
Points AnisotropicField(double angleDegrees, double ratio, double longRange, int count, std::uint64_t seed) {
  std::mt19937_64 random(seed);
  std::normal_distribution<double> normal(0.0, 1.0);
  std::uniform_real_distribution<double> uniform(0.0, 1.0);
  const double a = angleDegrees * kPi / 180.0;
  const int waves = 500;
  std::vector<double> kx(waves), ky(waves), phase(waves);
  for (int w = 0; w < waves; ++w) {
    // Along the long axis the field varies slowly: small wave numbers.
    const double along = normal(random) * std::sqrt(2.0) / longRange;
    const double across = normal(random) * std::sqrt(2.0) / (ratio * longRange);
    kx[w] = along * std::cos(a) - across * std::sin(a);
    ky[w] = along * std::sin(a) + across * std::cos(a);
    phase[w] = 2.0 * kPi * uniform(random);
  }
  Points p;
  for (int i = 0; i < count; ++i) {
    const double x = 500.0 * uniform(random), y = 500.0 * uniform(random);
    double z = 0.0;
    for (int w = 0; w < waves; ++w) z += std::cos(kx[w] * x + ky[w] * y + phase[w]);
    p.x.push_back(x);
    p.y.push_back(y);
    p.z.push_back(z * std::sqrt(2.0 / waves));
  }
  return p;
}

double Variance(const std::vector<double>& z) {
  double mean = 0.0, sum = 0.0;
  for (double v : z) mean += v;
  mean /= static_cast<double>(z.size());
  for (double v : z) sum += (v - mean) * (v - mean);
  return sum / static_cast<double>(z.size());
}

TEST(VariogramMap, ProposesTheAnisotropyOfTheField) {
  struct Case {
    double angle, ratio;
  };
  // One realisation in a window of about eight ranges has an anisotropy of its own that
  // departs from the field's by several degrees (every pair of 5,000 points gives the
  // same departures as the sampled pairs here): the bound allows for that.
  for (const Case c : {Case{30.0, 0.4}, Case{120.0, 0.5}, Case{0.0, 0.3}}) {
    SCOPED_TRACE(::testing::Message() << "angle " << c.angle << " ratio " << c.ratio);
    const Points p = AnisotropicField(c.angle, c.ratio, 60.0, 3000, 11);
    const VariogramMap map = ComputeVariogramMap(p.x.data(), p.y.data(), p.z.data(), p.x.size(), {6.0, 15}, nullptr);
    ASSERT_TRUE(map.outcome.Done());
    const ProposedAnisotropy proposal = ProposeAnisotropy(map, Variance(p.z));
    ASSERT_TRUE(proposal.found);
    double diff = std::fabs(proposal.angleDegrees - c.angle);
    diff = std::min(diff, 180.0 - diff);
    EXPECT_LT(diff, 10.0) << proposal.angleDegrees << " ratio " << proposal.ratio;
    EXPECT_NEAR(proposal.ratio, c.ratio, 0.12);
    EXPECT_FALSE(proposal.reachesEdge);
  }
}

// Every cell against the pairs placed by hand: cell (i, j) holds the separations within
// half a lag of (i lag, j lag), each pair and its mirror.
TEST(VariogramMap, CellsHoldThePairsAndTheirMirrors) {
  const std::vector<double> x = {0.0, 1.0, 0.0, 2.4}, y = {0.0, 0.0, 1.0, 2.6}, z = {0.0, 2.0, 4.0, 1.0};
  const VariogramMap map = ComputeVariogramMap(x.data(), y.data(), z.data(), x.size(), {1.0, 2}, nullptr);
  ASSERT_TRUE(map.outcome.Done());
  EXPECT_FALSE(map.sampled);
  EXPECT_EQ(map.pairsDrawn, 6u);
  auto gamma = [&](int i, int j) { return map.gamma[map.Index(i, j)]; };
  auto pairs = [&](int i, int j) { return map.pairs[map.Index(i, j)]; };
  // (0,0)-(1,0): dx = 1 -> cells (1, 0) and (-1, 0), gamma 2.
  EXPECT_EQ(pairs(1, 0), 1u);
  EXPECT_EQ(gamma(1, 0), 2.0);
  EXPECT_EQ(pairs(-1, 0), 1u);
  // (0,0)-(0,1): (0, 1), gamma 8; (1,0)-(0,1): (-1, 1), gamma 2.
  EXPECT_EQ(gamma(0, 1), 8.0);
  EXPECT_EQ(gamma(-1, 1), 2.0);
  EXPECT_EQ(gamma(1, -1), 2.0);
  // (0,0)-(2.4,2.6): (2, 3) misses the map (3 > 2); (1,0)-(2.4,2.6): (1, 3) misses;
  // (0,1)-(2.4,2.6): (2, 2) -> gamma 4.5.
  EXPECT_EQ(gamma(2, 2), 4.5);
  EXPECT_EQ(gamma(-2, -2), 4.5);
  std::uint64_t total = 0;
  for (std::uint64_t n : map.pairs) total += n;
  EXPECT_EQ(total, 8u);  // four pairs on the map, each twice
  EXPECT_TRUE(VariogramMapOptionsProblem({0.0, 3}));
  EXPECT_TRUE(VariogramMapOptionsProblem({1.0, 0}));
}

TEST(VariogramMap, SampledPairsRepeatAndAgreeWithEveryPair) {
  const Points p = AnisotropicField(45.0, 0.5, 150.0, 3000, 5);
  const VariogramMapOptions every{25.0, 6, 10000000, 1};
  VariogramMapOptions sampled = every;
  sampled.pairs = 1000000;
  const VariogramMap all = ComputeVariogramMap(p.x.data(), p.y.data(), p.z.data(), p.x.size(), every, nullptr);
  const VariogramMap drawn = ComputeVariogramMap(p.x.data(), p.y.data(), p.z.data(), p.x.size(), sampled, nullptr);
  const VariogramMap again = ComputeVariogramMap(p.x.data(), p.y.data(), p.z.data(), p.x.size(), sampled, nullptr);
  ASSERT_TRUE(drawn.sampled);
  EXPECT_EQ(drawn.gamma, again.gamma);
  // A cell's mean over a fifth of the pairs: within a few of its standard errors.
  for (std::size_t c = 0; c < all.gamma.size(); ++c) {
    if (drawn.pairs[c] < 200) continue;
    EXPECT_NEAR(drawn.gamma[c], all.gamma[c], 0.25 * all.gamma[c] + 0.02) << c;
  }
}

TEST(VariogramMap, CsvWritesCellCentres) {
  test::TempFolder folder;
  const std::vector<double> x = {0.0, 0.35}, y = {0.0, 0.0}, z = {1.0, 2.0};
  const VariogramMap map = ComputeVariogramMap(x.data(), y.data(), z.data(), x.size(), {0.3, 1}, nullptr);
  std::string problem;
  ASSERT_TRUE(WriteVariogramMapCsv(map, folder / "variogram_map.csv", problem)) << problem;
  EXPECT_EQ(test::ReadFileBytes(folder / "variogram_map.csv"),
            "dx,dy,gamma,pairs\r\n-0.29999999999999999,0,0.5,1\r\n0.29999999999999999,0,0.5,1\r\n");
}

}  // namespace
}  // namespace gridora
