#include "simulation/sequential_gaussian.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "geostat/local_kriging_system.h"
#include "simulation/normal_score.h"

#ifdef _OPENMP
#include <omp.h>
#endif

namespace gridora {
namespace {

struct Data {
  std::vector<double> x, y, z;
};

CovarianceModel Exponential(double range, double nugget = 0.0) {
  CovarianceModel m;
  m.kind = VariogramKind::Exponential;
  m.range = range;
  m.sill = 1.0 - nugget;
  m.nugget = nugget;
  return m;
}

TEST(NormalScore, QuantilesOfTheRanksAndExactBackTransform) {
  const std::vector<double> z = {5.0, 1.0, 3.0, 3.0, 10.0};
  const NormalScores scores(z);
  // Ranks 1..5 -> p = 0.1, 0.3, 0.5, 0.7, 0.9; the tied 3s share the mean of 0.3 and 0.5.
  EXPECT_NEAR(scores.Score(1.0), -1.2815515655446004, 1e-12);
  EXPECT_NEAR(scores.Score(3.0), 0.5 * (-0.52440051270804078 + 0.0), 1e-12);
  EXPECT_NEAR(scores.Score(10.0), 1.2815515655446004, 1e-12);
  for (double v : z) EXPECT_EQ(scores.Back(scores.Score(v)), v);
  EXPECT_EQ(scores.Back(-9.0), 1.0);  // no tails beyond the data
  EXPECT_EQ(scores.Back(9.0), 10.0);
  for (double p : {1e-12, 0.001, 0.02425, 0.3, 0.5, 0.97, 0.999999})
    EXPECT_NEAR(StandardNormal(InverseNormal(p)), p, 1e-14 + 1e-12 * p) << p;
}

// Data on nodes and between them; a simulation on a 24 x 18 grid.
Data Conditioning() {
  Data d;
  for (int k = 0; k < 30; ++k) {
    // On nodes: 15 distinct nodes (k / 2 * (5, 7) modulo the grid).
    const bool onNode = k % 2 == 0;
    d.x.push_back(onNode ? (k / 2 * 5) % 24 : 0.37 + (k * 5) % 23);
    d.y.push_back(onNode ? (k / 2 * 7) % 18 : 0.61 + (k * 11) % 17);
    d.z.push_back(std::sin(0.3 * d.x.back()) * 4.0 + 0.2 * d.y.back() + (k % 5));
  }
  return d;
}

NodeLayout Layout(int nx, int ny) {
  NodeLayout l;
  l.nx = nx;
  l.ny = ny;
  return l;
}

TEST(SequentialGaussian, RealisationsHonourTheDataAndRepeatWhateverTheThreads) {
  const Data d = Conditioning();
  const NodeLayout layout = Layout(24, 18);
  SimulationSetup setup;
  setup.model = Exponential(4.0, 0.1);
  setup.neighbours = 12;
  setup.realisations = 6;
  setup.seed = 42;
  const SimulationResult a =
      SimulateSequentialGaussian(layout, d.x.data(), d.y.data(), d.z.data(), d.x.size(), setup, nullptr);
  ASSERT_TRUE(a.outcome.Done()) << a.outcome.text;
  EXPECT_EQ(a.dataNodes, 15u);
  for (int r = 0; r < a.realisations; ++r)
    for (std::size_t i = 0; i < d.x.size(); i += 2) {
      const std::size_t node = layout.Index(static_cast<int>(d.x[i]), static_cast<int>(d.y[i]));
      EXPECT_EQ(a.values[static_cast<std::size_t>(r) * a.nodes + node], static_cast<float>(d.z[i])) << r << " " << i;
    }
  // Every value within the data's range (no tails), and the realisations differ.
  const auto [lo, hi] = std::minmax_element(d.z.begin(), d.z.end());
  for (float v : a.values) {
    EXPECT_GE(v, static_cast<float>(*lo));
    EXPECT_LE(v, static_cast<float>(*hi));
  }
  EXPECT_NE(std::vector<float>(a.values.begin(), a.values.begin() + static_cast<long>(a.nodes)),
            std::vector<float>(a.values.begin() + static_cast<long>(a.nodes),
                               a.values.begin() + 2 * static_cast<long>(a.nodes)));
#ifdef _OPENMP
  const int threads = omp_get_max_threads();
  omp_set_num_threads(1);
  const SimulationResult one =
      SimulateSequentialGaussian(layout, d.x.data(), d.y.data(), d.z.data(), d.x.size(), setup, nullptr);
  omp_set_num_threads(3);
  const SimulationResult three =
      SimulateSequentialGaussian(layout, d.x.data(), d.y.data(), d.z.data(), d.x.size(), setup, nullptr);
  omp_set_num_threads(threads);
  EXPECT_EQ(one.values, a.values);
  EXPECT_EQ(three.values, a.values);
#endif
}

// With every datum and every node in each neighbourhood the sequential simulation draws
// exactly from the conditional Gaussian law: at each node the mean of the realisations
// is the simple kriging estimate from the data and their spread its standard error,
// within the sampling error of R realisations (mean: s / sqrt(R); variance: relative
// sqrt(2 / (R - 1))). Scores taken as they are (no transform).
TEST(SequentialGaussian, MeanAndSpreadAgreeWithSimpleKriging) {
  Data d;
  d.x = {0.5, 4.2, 2.3, 5.6, 1.1};
  d.y = {0.7, 1.4, 3.3, 4.9, 5.2};
  d.z = {1.2, -0.4, 0.8, -1.5, 0.3};
  const NodeLayout layout = Layout(6, 6);
  SimulationSetup setup;
  setup.model = Exponential(3.0);
  setup.neighbours = 100;
  setup.realisations = 800;
  setup.seed = 7;
  setup.normalScores = false;
  const SimulationResult s =
      SimulateSequentialGaussian(layout, d.x.data(), d.y.data(), d.z.data(), d.x.size(), setup, nullptr);
  ASSERT_TRUE(s.outcome.Done());
  std::vector<float> mean, deviation;
  RealisationMoments(s, mean, deviation);
  NeighbourhoodSolver solver;
  const double r = setup.realisations;
  for (int ix = 0; ix < layout.nx; ++ix)
    for (int iy = 0; iy < layout.ny; ++iy) {
      const NeighbourhoodEstimate e = solver.Solve(setup.model, LocalKrigingType::Simple, 0.0, 5, d.x.data(),
                                                   d.y.data(), d.z.data(), layout.X(ix), layout.Y(iy));
      ASSERT_EQ(e.outcome, OutcomeKind::Done);
      const double sd = std::sqrt(e.variance);
      const std::size_t node = layout.Index(ix, iy);
      EXPECT_NEAR(mean[node], e.estimate, 4.5 * sd / std::sqrt(r)) << ix << "," << iy;
      EXPECT_NEAR(deviation[node] * deviation[node], e.variance, 4.5 * e.variance * std::sqrt(2.0 / (r - 1)))
          << ix << "," << iy;
    }
}

TEST(SequentialGaussian, RefusesWhatItCannotSimulate) {
  const Data d = Conditioning();
  SimulationSetup setup;
  setup.neighbours = 0;
  EXPECT_EQ(SimulateSequentialGaussian(Layout(3, 3), d.x.data(), d.y.data(), d.z.data(), d.x.size(), setup, nullptr)
                .outcome.kind,
            OutcomeKind::InvalidInput);
  setup.neighbours = 4;
  EXPECT_EQ(SimulateSequentialGaussian(Layout(0, 3), d.x.data(), d.y.data(), d.z.data(), d.x.size(), setup, nullptr)
                .outcome.kind,
            OutcomeKind::InvalidInput);
  EXPECT_EQ(
      SimulateSequentialGaussian(Layout(3, 3), d.x.data(), d.y.data(), d.z.data(), 0, setup, nullptr).outcome.kind,
      OutcomeKind::InvalidInput);
}

}  // namespace
}  // namespace gridora
