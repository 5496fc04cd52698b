#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "geostat/kriging_state.h"
#include "geostat/kriging_test_support.h"
#include "geostat/local_cokriging.h"

namespace gridora {
namespace {

std::vector<DataPoint> Field(int n, unsigned seed, double offset) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> position(0.0, 40.0), noise(-0.2, 0.2);
  std::vector<DataPoint> points;
  for (int i = 0; i < n; ++i) {
    const double x = position(random), y = position(random);
    points.push_back({x, y, offset + std::sin(x / 8.0) + std::cos(y / 6.0) + noise(random)});
  }
  return points;
}

CovarianceModel Exponential(double range, double sill) {
  CovarianceModel m;
  m.range = range;
  m.sill = sill;
  return m;
}

MergedPoints Merged(const VariogramModel& m) {
  return MergeCoincidentPoints(m.x.size(), m.x.data(), m.y.data(), m.values.data());
}

class LocalCokrigingTest : public test::InTempFolderTest {};

// With every point of both variables in each neighbourhood, the global cokriging of the
// program (one inverse of the whole block system).
TEST_F(LocalCokrigingTest, AllPointsInTheNeighbourhoodGiveTheGlobalEstimate) {
  const std::vector<DataPoint> primary = Field(50, 1, 10.0), secondary = Field(35, 2, 100.0);
  KrigingState state(Folder(), 0);
  state.LoadVariable(50, primary.data(), 0, nullptr);
  state.LoadVariable(35, secondary.data(), 1, nullptr);
  state.cross = std::make_unique<VariogramModel>(Folder(), 0);
  state.cross->SetCross(state.primary.get(), state.secondary.get());
  state.primary->a = 9.0, state.primary->c = 1.0;
  state.secondary->a = 7.0, state.secondary->c = 0.9;
  state.cross->a = 8.0, state.cross->c = 0.5;
  for (VariogramModel* m : {state.primary.get(), state.secondary.get(), state.cross.get()}) m->BuildKrigingMatrix();
  ASSERT_EQ(state.InvertSystem(state.CokrigingSystem(), nullptr).kind, OutcomeKind::Done);
  const std::vector<double> beta = state.CoResidualWeights(*state.inverse);

  const CokrigingModels models{Exponential(9.0, 1.0), Exponential(7.0, 0.9), Exponential(8.0, 0.5)};
  const LocalCokriging local(Merged(*state.primary), Merged(*state.secondary), models, state.primary->residualMean,
                             state.secondary->residualMean, {60, 0.0, 3});
  const VariogramModel& p = *state.primary;
  for (double x = -4.0; x <= 44.0; x += 6.0)
    for (double y = -4.0; y <= 44.0; y += 8.0) {
      const NeighbourhoodEstimate e = local.At(x, y);
      ASSERT_EQ(e.outcome, OutcomeKind::Done);
      const double global = state.CoPredictWithWeights(x, y, beta);
      EXPECT_NEAR(e.estimate * p.standardDeviation + p.mean, global, 1e-9 * std::fabs(global)) << x << " " << y;
      EXPECT_GE(e.variance, -1e-12);
      EXPECT_LE(e.variance, 1.0 + 1e-12);
    }

  // A smaller neighbourhood: every node solved and finite, nearer nodes more certain.
  const LocalCokriging near(Merged(*state.primary), Merged(*state.secondary), models, state.primary->residualMean,
                            state.secondary->residualMean, {8, 0.0, 3});
  const NodeLayout layout{-10.0f, -10.0f, 3.0f, 3.0f, 21, 21};
  std::vector<float> grid(441), error(441);
  const LocalGridResult result = near.Grid(layout, grid.data(), error.data(), nullptr, 0.0f, nullptr);
  EXPECT_EQ(result.emptyNodes, 0u);
  for (int k = 0; k < 441; ++k) EXPECT_TRUE(std::isfinite(grid[k]) && std::isfinite(error[k]) && error[k] >= 0.0f);
  EXPECT_LT(error[10 * 21 + 10], error[0]);  // the middle against the far corner
}

}  // namespace
}  // namespace gridora
