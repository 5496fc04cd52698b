#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "geostat/kriging_test_support.h"
#include "geostat/sampled_cloud.h"
#include "geostat/variogram_model.h"

namespace gridora {
namespace {

struct Data {
  std::vector<double> x, y, z;
};

Data Field(int n) {
  std::mt19937 random(11);
  std::uniform_real_distribution<double> position(0.0, 500.0), noise(-0.2, 0.2);
  Data d;
  for (int i = 0; i < n; ++i) {
    d.x.push_back(position(random));
    d.y.push_back(position(random));
    d.z.push_back(std::sin(d.x.back() / 60.0) + std::cos(d.y.back() / 90.0) + noise(random));
  }
  return d;
}

// Two models of the same data: every pair through the matrices, and the sampled cloud.
struct Models {
  explicit Models(const Data& d) : full("", 0), sampled("", 0) {
    const int n = static_cast<int>(d.x.size());
    std::vector<double> z1 = d.z, z2 = d.z;
    full.SetData(n, d.x.data(), d.y.data(), z1.data(), 0, nullptr);
    full.BuildCloud(0);
    sampled.SetDataWithoutMatrices(n, d.x.data(), d.y.data(), z2.data(), 0, nullptr);
  }
  VariogramModel full, sampled;
};

// The models write their diagnostic files into the current folder: a temporary one.
class SampledCloud : public test::InTempFolderTest {};

TEST_F(SampledCloud, HoldsEveryPairWhenTheSampleWouldHoldThemAll) {
  Models m(Field(120));
  EXPECT_EQ(m.sampled.distanceMatrix.rows, 0);
  EXPECT_EQ(m.sampled.mean, m.full.mean);
  EXPECT_EQ(m.sampled.standardDeviation, m.full.standardDeviation);
  ASSERT_EQ(BuildSampledCloud(m.sampled, 120 * 119 / 2), m.full.cloudCount);
  EXPECT_EQ(m.sampled.cloudDistance, m.full.cloudDistance);
  EXPECT_EQ(m.sampled.cloudDissimilarity, m.full.cloudDissimilarity);
  EXPECT_EQ(m.sampled.cloudMaximumDistance, m.full.cloudMaximumDistance);
  EXPECT_EQ(m.sampled.cloudMaximumDissimilarity, m.full.cloudMaximumDissimilarity);
}

// Under anisotropy the cloud holds reduced distances, and the cross model's cloud pairs
// every primary point with every secondary one: with room for every pair the sampled
// clouds are those of the matrices, value for value and in order.
TEST_F(SampledCloud, EveryPairMatchesTheMatricesWithAnisotropyAndForTheCrossModel) {
  const struct {
    const char* name;
    double angle, ratio;
  } cases[] = {{"isotropic", 0.0, 1.0}, {"anisotropic", 30.0, 0.5}};
  const Data first = Field(70), second = Field(110);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    KrigingOptions options;
    options.angleDegrees = c.angle;
    options.ratio = c.ratio;
    Models a(first), b(second);
    for (VariogramModel* model : {&a.full, &a.sampled, &b.full, &b.sampled}) model->options = options;
    a.full.BuildCloud(false);
    ASSERT_EQ(BuildSampledCloud(a.sampled, 70 * 69 / 2), a.full.cloudCount);
    EXPECT_EQ(a.sampled.cloudDistance, a.full.cloudDistance);
    EXPECT_EQ(a.sampled.cloudDissimilarity, a.full.cloudDissimilarity);

    VariogramModel full("", 0), sampled("", 0);
    full.options = sampled.options = options;
    full.SetCross(&a.full, &b.full);
    full.BuildCloud(false);
    ASSERT_EQ(BuildSampledCrossCloud(sampled, a.sampled, b.sampled, 70 * 110), full.cloudCount);
    EXPECT_EQ(sampled.pairMode, 1);
    EXPECT_EQ(sampled.cloudDistance, full.cloudDistance);
    EXPECT_EQ(sampled.cloudDissimilarity, full.cloudDissimilarity);
    EXPECT_EQ(sampled.cloudMaximumDistance, full.cloudMaximumDistance);

    // More pairs than the sample holds: the sample's size, pairs of the two variables.
    ASSERT_EQ(BuildSampledCrossCloud(sampled, a.sampled, b.sampled, 1000), 1000u);
    EXPECT_LE(sampled.cloudMaximumDistance, full.cloudMaximumDistance);
  }
}

// A random quarter of the pairs: each class average within a few standard errors of the
// average over every pair, and the same cloud again from the same seed.
TEST_F(SampledCloud, ClassAveragesOfASampleMatchThoseOfEveryPair) {
  Models m(Field(800));
  const std::size_t pairs = 800 * 799 / 8;
  ASSERT_EQ(BuildSampledCloud(m.sampled, pairs), pairs);
  EXPECT_LE(m.sampled.cloudMaximumDistance, m.full.cloudMaximumDistance);
  const double lag = m.full.cloudMaximumDistance / 20.0;
  ASSERT_GT(m.full.FitVariogram(lag, 0.1, 3, nullptr), 0);
  ASSERT_GT(m.sampled.FitVariogram(lag, 0.1, 3, nullptr), 0);
  ASSERT_GE(m.sampled.classCount, 18);
  for (int k = 0; k < 15; ++k) {  // the well-filled classes
    EXPECT_NEAR(m.sampled.classLag[k], m.full.classLag[k], 0.03 * lag) << k;
    EXPECT_NEAR(m.sampled.classGamma[k], m.full.classGamma[k], 0.08 * m.full.classGamma[k]) << k;
  }
  const std::vector<double> first = m.sampled.cloudDistance;
  BuildSampledCloud(m.sampled, pairs);
  EXPECT_EQ(m.sampled.cloudDistance, first);
}

}  // namespace
}  // namespace gridora
