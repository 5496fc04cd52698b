#include "geostat/covariance_model.h"

#include <gtest/gtest.h>

#include <cmath>

namespace gridora {
namespace {

struct StructureCase {
  const char* name;
  VariogramKind kind;
  double smoothness;
  double r;            // separation / range
  double correlation;  // written out by hand for that r
};

// Closed forms: Matern 1.5 is (1 + r) e^-r, Matern 2.5 is (1 + r + r^2 / 3) e^-r.
const StructureCase kStructures[] = {
    {"exponential", VariogramKind::Exponential, 0.5, 0.7, std::exp(-0.7)},
    {"spherical inside", VariogramKind::Spherical, 0.5, 0.4, 1.0 - (1.5 * 0.4 - 0.5 * 0.064)},
    {"spherical beyond", VariogramKind::Spherical, 0.5, 1.3, 0.0},
    {"gaussian", VariogramKind::Gaussian, 0.5, 0.9, std::exp(-0.81)},
    {"matern 0.5", VariogramKind::Matern, 0.5, 0.7, std::exp(-0.7)},
    {"matern 1.5", VariogramKind::Matern, 1.5, 0.7, 1.7 * std::exp(-0.7)},
    {"matern 2.5", VariogramKind::Matern, 2.5, 2.2, (1.0 + 2.2 + 2.2 * 2.2 / 3.0) * std::exp(-2.2)},
    {"matern far", VariogramKind::Matern, 1.0, 1000.0, 0.0},
};

TEST(CovarianceModel, StructuresMatchTheirFormulasWithNuggetAndSill) {
  for (const StructureCase& c : kStructures) {
    SCOPED_TRACE(c.name);
    CovarianceModel model;
    model.kind = c.kind;
    model.smoothness = c.smoothness;
    model.range = 40.0;
    model.sill = 2.5;
    model.nugget = 0.3;
    // A separation of length r * range along a diagonal.
    const double d = c.r * 40.0 / std::sqrt(2.0);
    EXPECT_NEAR(model.Covariance(d, -d), 2.5 * c.correlation, 1e-12);
    EXPECT_NEAR(model.Variogram(d, -d), 0.3 + 2.5 * (1.0 - c.correlation), 1e-12);
    // At zero separation the nugget belongs to the covariance, not to the variogram.
    EXPECT_EQ(model.Variogram(0.0, 0.0), 0.0);
    EXPECT_EQ(model.Covariance(0.0, 0.0), 2.8);
    // Tiny separations stay finite and next to the full structure.
    EXPECT_TRUE(std::isfinite(model.Covariance(1e-200, 0.0)));
    EXPECT_NEAR(model.Covariance(1e-9, 0.0), 2.5, 1e-6);
  }
}

TEST(CovarianceModel, DefaultIsTheExistingExponentialCovarianceBitForBit) {
  CovarianceModel model;
  model.range = 321.25;
  model.sill = 1.54;
  for (double h : {0.5, 17.0, 321.25, 4000.0}) EXPECT_EQ(model.Covariance(h, 0.0), std::exp(-h / 321.25) * 1.54);
}

TEST(CovarianceModel, AnisotropyShortensTheLengthAcrossTheLongAxis) {
  CovarianceModel model;
  model.range = 10.0;
  model.ratio = 0.25;
  model.angleDegrees = 30.0;
  const double pi = std::acos(-1.0);
  const double along[] = {std::cos(pi / 6), std::sin(pi / 6)};
  const double across[] = {-std::sin(pi / 6), std::cos(pi / 6)};
  // 8 along the long axis counts 8; 2 across it counts as 2 / 0.25 = 8.
  EXPECT_NEAR(model.ReducedDistance(8 * along[0], 8 * along[1]), 8.0, 1e-12);
  EXPECT_NEAR(model.ReducedDistance(2 * across[0], 2 * across[1]), 8.0, 1e-12);
  EXPECT_NEAR(model.ReducedDistance(3 * along[0] + 1 * across[0], 3 * along[1] + 1 * across[1]), 5.0, 1e-12);
  // The angle is a direction: 180 degrees more is the same model.
  CovarianceModel turned = model;
  turned.angleDegrees = 210.0;
  EXPECT_NEAR(turned.Covariance(3.0, -1.0), model.Covariance(3.0, -1.0), 1e-14);
}

}  // namespace
}  // namespace gridora
