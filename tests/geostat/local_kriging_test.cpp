#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <random>
#include <vector>

#include "geostat/local_kriging.h"
#include "geostat/neighbour_search.h"
#include "geostat/variogram_model.h"
#include "linalg/system_inverse.h"
#include "platform/feedback.h"

namespace gridora {
namespace {

struct Points {
  std::vector<double> x, y, z;
  std::size_t size() const { return x.size(); }
};

// A smooth field with noise on random points in [0, 100]^2.
Points RandomPoints(std::size_t n, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> position(0.0, 100.0), noise(-0.3, 0.3);
  Points p;
  for (std::size_t i = 0; i < n; ++i) {
    const double x = position(random), y = position(random);
    p.x.push_back(x);
    p.y.push_back(y);
    p.z.push_back(5.0 + 3.0 * std::sin(x / 17.0) * std::cos(y / 23.0) + noise(random));
  }
  return p;
}

MergedPoints Merged(const Points& p) { return MergeCoincidentPoints(p.size(), p.x.data(), p.y.data(), p.z.data()); }

double Relative(double value, double reference) {
  return std::fabs(value - reference) / std::max(1.0, std::fabs(reference));
}

// The nearest points by sorting every distance: the tree's oracle.
std::vector<std::uint32_t> BruteNearest(const Points& p, double x, double y, std::size_t k, double maxDistance) {
  std::vector<std::uint32_t> order(p.size());
  std::iota(order.begin(), order.end(), 0u);
  auto d2 = [&](std::uint32_t i) { return (p.x[i] - x) * (p.x[i] - x) + (p.y[i] - y) * (p.y[i] - y); };
  std::sort(order.begin(), order.end(), [&](std::uint32_t a, std::uint32_t b) { return d2(a) < d2(b); });
  if (maxDistance > 0.0)
    order.erase(
        std::remove_if(order.begin(), order.end(), [&](std::uint32_t i) { return d2(i) > maxDistance * maxDistance; }),
        order.end());
  if (k > 0 && order.size() > k) order.resize(k);
  return order;
}

TEST(NeighbourSearch, FindsWhatSortingEveryDistanceFinds) {
  const Points p = RandomPoints(700, 1);
  const NeighbourSearch search(p.x.data(), p.y.data(), static_cast<std::uint32_t>(p.size()));
  struct Case {
    std::uint32_t count;
    double maxDistance;
  };
  const Case cases[] = {{1, 0.0}, {16, 0.0}, {64, 0.0}, {0, 7.5}, {32, 6.0}, {1000, 0.0}, {5, 0.01}};
  std::vector<NeighbourSearch::Found> found;
  std::mt19937 random(2);
  std::uniform_real_distribution<double> position(-10.0, 110.0);
  for (const Case& c : cases)
    for (int q = 0; q < 25; ++q) {
      const double x = position(random), y = position(random);
      search.Nearest(x, y, c.count, c.maxDistance, found);
      const std::vector<std::uint32_t> expected = BruteNearest(p, x, y, c.count, c.maxDistance);
      ASSERT_EQ(found.size(), expected.size()) << c.count << " " << c.maxDistance;
      for (std::size_t k = 0; k < found.size(); ++k) EXPECT_EQ(found[k].index, expected[k]);
      for (std::size_t k = 1; k < found.size(); ++k) EXPECT_LE(found[k - 1].squaredDistance, found[k].squaredDistance);
    }
}

TEST(NeighbourSearch, APointAtExactlyTheMaximumDistanceCounts) {
  const std::vector<double> x = {0.0, 3.0, 0.0}, y = {0.0, 4.0, 5.000001};
  const NeighbourSearch search(x.data(), y.data(), 3);
  std::vector<NeighbourSearch::Found> found;
  search.Nearest(0.0, 0.0, 0, 5.0, found);
  ASSERT_EQ(found.size(), 2u);
  EXPECT_EQ(found[1].index, 1u);
  EXPECT_EQ(found[1].squaredDistance, 25.0);
}

// Simple kriging with every point in the neighbourhood is the global simple kriging of
// the program (one inverse of the whole system): the same estimate to 1e-9.
TEST(LocalKriging, AllPointsInTheNeighbourhoodGiveTheGlobalEstimate) {
  Points p = RandomPoints(150, 3);
  VariogramModel model("", 0);
  std::vector<double> z = p.z;
  model.SetData(static_cast<int>(p.size()), p.x.data(), p.y.data(), z.data(), 0, nullptr);
  model.a = 18.0;
  model.c = 0.9;
  const SystemInverse inverse = InvertSystemMatrix(model.CovarianceFor(model.a, model.c), nullptr);
  ASSERT_EQ(inverse.outcome.kind, OutcomeKind::Done);
  const std::vector<double> beta = model.ResidualWeights(inverse.inverse);

  CovarianceModel covariance;
  covariance.range = model.a;
  covariance.sill = model.c;
  for (const int neighbours : {150, 400}) {
    const LocalKriging local(MergeCoincidentPoints(p.size(), model.x.data(), model.y.data(), model.values.data()),
                             covariance, LocalKrigingType::Simple, model.residualMean, {neighbours, 0.0, 3});
    const NodeLayout layout{-5.0f, -5.0f, 11.0f, 11.0f, 11, 11};
    std::vector<float> grid(121), error(121);
    ASSERT_EQ(local.Grid(layout, grid.data(), error.data(), nullptr, 0.0f, nullptr).emptyNodes, 0u);
    for (int i = 0; i < layout.nx; ++i)
      for (int j = 0; j < layout.ny; ++j) {
        const double x = -5.0 + i * 11.0, y = -5.0 + j * 11.0;
        const double global = model.PredictWithWeights(x, y, beta);
        const NeighbourhoodEstimate e = local.At(x, y);
        ASSERT_EQ(e.outcome, OutcomeKind::Done);
        EXPECT_LT(Relative(e.estimate * model.standardDeviation + model.mean, global), 1e-9) << x << " " << y;
        EXPECT_FLOAT_EQ(grid[i * layout.ny + j], static_cast<float>(e.estimate));
        EXPECT_FLOAT_EQ(error[i * layout.ny + j], static_cast<float>(std::sqrt(std::max(0.0, e.variance))));
      }
  }
}

// The kriging system of the nearest points, written out whole (the Lagrange row
// bordering it for ordinary kriging) and solved by elimination in long double.
NeighbourhoodEstimate DirectSolve(const Points& p, const CovarianceModel& model, LocalKrigingType type, double mean,
                                  const std::vector<std::uint32_t>& near, double x, double y) {
  const std::size_t m = near.size(), size = type == LocalKrigingType::Ordinary ? m + 1 : m;
  std::vector<std::vector<long double>> A(size, std::vector<long double>(size, 0.0L));
  std::vector<long double> b(size, 0.0L), k(m);
  for (std::size_t i = 0; i < m; ++i) {
    for (std::size_t j = 0; j < m; ++j)
      A[i][j] = model.Covariance(p.x[near[i]] - p.x[near[j]], p.y[near[i]] - p.y[near[j]]);
    k[i] = b[i] = model.Covariance(x - p.x[near[i]], y - p.y[near[i]]);
    if (size > m) A[i][m] = A[m][i] = 1.0L;
  }
  if (size > m) b[m] = 1.0L;
  for (std::size_t c = 0; c < size; ++c) {
    std::size_t pivot = c;
    for (std::size_t r = c + 1; r < size; ++r)
      if (std::fabs(A[r][c]) > std::fabs(A[pivot][c])) pivot = r;
    std::swap(A[c], A[pivot]);
    std::swap(b[c], b[pivot]);
    for (std::size_t r = c + 1; r < size; ++r) {
      const long double f = A[r][c] / A[c][c];
      for (std::size_t j = c; j < size; ++j) A[r][j] -= f * A[c][j];
      b[r] -= f * b[c];
    }
  }
  std::vector<long double> w(size);
  for (std::size_t r = size; r-- > 0;) {
    long double s = b[r];
    for (std::size_t j = r + 1; j < size; ++j) s -= A[r][j] * w[j];
    w[r] = s / A[r][r];
  }
  long double estimate = type == LocalKrigingType::Simple ? mean : 0.0L, explained = 0.0L;
  for (std::size_t i = 0; i < m; ++i) {
    estimate += w[i] * (type == LocalKrigingType::Simple ? p.z[near[i]] - mean : p.z[near[i]]);
    explained += w[i] * k[i];
  }
  const long double mu = size > m ? w[m] : 0.0L;
  NeighbourhoodEstimate e;
  e.outcome = OutcomeKind::Done;
  e.estimate = static_cast<double>(estimate);
  e.variance = static_cast<double>(model.Covariance(0.0, 0.0) - explained - mu);
  return e;
}

CovarianceModel Model(VariogramKind kind, double range, double sill, double nugget, double smoothness = 0.5,
                      double angle = 0.0, double ratio = 1.0) {
  CovarianceModel m;
  m.kind = kind;
  m.range = range;
  m.sill = sill;
  m.nugget = nugget;
  m.smoothness = smoothness;
  m.angleDegrees = angle;
  m.ratio = ratio;
  return m;
}

TEST(LocalKriging, EqualsADirectSolveOverTheSameNeighbours) {
  const Points p = RandomPoints(400, 4);
  const MergedPoints merged = Merged(p);
  ASSERT_EQ(merged.merged, 0u);
  const Points sorted{merged.x, merged.y, merged.z};
  struct Case {
    const char* name;
    CovarianceModel model;
    LocalKrigingType type;
    LocalNeighbourhood neighbourhood;
  };
  const Case cases[] = {
      {"exponential simple", Model(VariogramKind::Exponential, 20, 2, 0), LocalKrigingType::Simple, {32, 0, 3}},
      {"exponential ordinary", Model(VariogramKind::Exponential, 20, 2, 0), LocalKrigingType::Ordinary, {32, 0, 3}},
      {"spherical ordinary nugget",
       Model(VariogramKind::Spherical, 30, 1.5, 0.3),
       LocalKrigingType::Ordinary,
       {24, 0, 3}},
      {"gaussian ordinary nugget", Model(VariogramKind::Gaussian, 12, 1, 0.1), LocalKrigingType::Ordinary, {16, 0, 3}},
      {"matern 1.5 simple", Model(VariogramKind::Matern, 8, 1, 0.05, 1.5), LocalKrigingType::Simple, {20, 0, 3}},
      {"anisotropic ordinary",
       Model(VariogramKind::Exponential, 40, 1, 0.2, 0.5, 30, 0.25),
       LocalKrigingType::Ordinary,
       {40, 0, 3}},
      {"within a distance", Model(VariogramKind::Exponential, 20, 1, 0), LocalKrigingType::Ordinary, {0, 12.0, 3}},
      {"nearest within a distance", Model(VariogramKind::Spherical, 25, 1, 0.1), LocalKrigingType::Simple, {8, 9.0, 3}},
  };
  const double mean = 5.0;
  std::mt19937 random(5);
  std::uniform_real_distribution<double> position(0.0, 100.0);
  for (const Case& c : cases) {
    const LocalKriging local(merged, c.model, c.type, mean, c.neighbourhood);
    for (int q = 0; q < 20; ++q) {
      // Every fifth position on a data point: the system then holds the point itself.
      double x = position(random), y = position(random);
      if (q % 5 == 0) x = sorted.x[q], y = sorted.y[q];
      const std::vector<std::uint32_t> near =
          BruteNearest(sorted, x, y, static_cast<std::size_t>(c.neighbourhood.neighbours), c.neighbourhood.maxDistance);
      const NeighbourhoodEstimate e = local.At(x, y);
      if (near.size() < 3) {
        EXPECT_EQ(e.outcome, OutcomeKind::Singular) << c.name;
        continue;
      }
      const NeighbourhoodEstimate d = DirectSolve(sorted, c.model, c.type, mean, near, x, y);
      ASSERT_EQ(e.outcome, OutcomeKind::Done) << c.name;
      EXPECT_LT(Relative(e.estimate, d.estimate), 1e-9) << c.name << " at " << x << " " << y;
      EXPECT_LT(std::fabs(e.variance - d.variance), 1e-9 * c.model.Covariance(0, 0))
          << c.name << " at " << x << " " << y;
    }
    // Close nodes share most neighbourhoods: the grid keeps K's factor from node to node.
    const NodeLayout layout{40.0f, 40.0f, 0.75f, 0.75f, 8, 8};
    std::vector<float> grid(64), error(64);
    local.Grid(layout, grid.data(), error.data(), nullptr, 0.0f, nullptr);
    for (int k = 0; k < 64; ++k) {
      const double x = 40.0 + (k / 8) * 0.75, y = 40.0 + (k % 8) * 0.75;
      const std::vector<std::uint32_t> near =
          BruteNearest(sorted, x, y, static_cast<std::size_t>(c.neighbourhood.neighbours), c.neighbourhood.maxDistance);
      if (near.size() < 3) continue;
      const NeighbourhoodEstimate d = DirectSolve(sorted, c.model, c.type, mean, near, x, y);
      EXPECT_NEAR(grid[k], d.estimate, 1e-6 * std::fabs(d.estimate)) << c.name << " node " << k;
      EXPECT_NEAR(error[k], std::sqrt(std::max(0.0, d.variance)), 1e-5) << c.name << " node " << k;
    }
  }
}

TEST(LocalKriging, CoincidentPointsAreMergedAndPointsThatAreNotNumbersDropped) {
  Points p = RandomPoints(60, 6);
  p.x.push_back(p.x[7]), p.y.push_back(p.y[7]), p.z.push_back(p.z[7] + 2.0);
  p.x.push_back(p.x[7]), p.y.push_back(p.y[7]), p.z.push_back(p.z[7] + 4.0);
  p.x.push_back(std::nan("")), p.y.push_back(1.0), p.z.push_back(1.0);
  p.x.push_back(1.0), p.y.push_back(1.0), p.z.push_back(INFINITY);
  const double expected = p.z[7] + 2.0;
  const MergedPoints merged = Merged(p);
  EXPECT_EQ(merged.merged, 2u);
  EXPECT_EQ(merged.dropped, 2u);
  EXPECT_EQ(merged.x.size(), 60u);

  for (const LocalKrigingType type : {LocalKrigingType::Simple, LocalKrigingType::Ordinary}) {
    const LocalKriging local(merged, Model(VariogramKind::Exponential, 15, 1, 0), type, 5.0, {16, 0, 3});
    const NeighbourhoodEstimate e = local.At(p.x[7], p.y[7]);
    ASSERT_EQ(e.outcome, OutcomeKind::Done);
    EXPECT_NEAR(e.estimate, expected, 1e-9);  // exact at a data point without nugget
    EXPECT_NEAR(e.variance, 0.0, 1e-9);
    const NodeLayout layout{static_cast<float>(p.x[7]) - 1.0f, static_cast<float>(p.y[7]) - 1.0f, 0.5f, 0.5f, 5, 5};
    std::vector<float> grid(25), error(25);
    local.Grid(layout, grid.data(), error.data(), nullptr, 0.0f, nullptr);
    for (int k = 0; k < 25; ++k) {
      EXPECT_TRUE(std::isfinite(grid[k]));
      EXPECT_TRUE(std::isfinite(error[k]));
    }
  }
}

// A grid reaching far beyond the data with a distance limit: the far nodes stay empty,
// marked and counted, with the empty value in both grids.
TEST(LocalKriging, NodesWithTooFewNeighboursStayEmpty) {
  const Points p = RandomPoints(300, 7);
  const LocalKriging local(Merged(p), Model(VariogramKind::Exponential, 20, 1, 0.1), LocalKrigingType::Ordinary, 0.0,
                           {16, 10.0, 3});
  const NodeLayout layout{-100.0f, 50.0f, 10.0f, 10.0f, 31, 1};
  std::vector<float> grid(31), error(31);
  std::vector<std::uint8_t> empty(31);
  const LocalGridResult result = local.Grid(layout, grid.data(), error.data(), empty.data(), -99.0f, nullptr);
  EXPECT_EQ(result.outcome.kind, OutcomeKind::Done);
  EXPECT_EQ(result.unsolvedNodes, 0u);
  std::size_t marked = 0;
  for (int i = 0; i < 31; ++i) {
    const double x = -100.0 + 10.0 * i;
    const bool far = BruteNearest(p, x, 50.0, 16, 10.0).size() < 3;
    EXPECT_EQ(empty[i] == 1, far) << x;
    if (far) {
      EXPECT_EQ(grid[i], -99.0f);
      EXPECT_EQ(error[i], -99.0f);
    }
    marked += empty[i];
  }
  EXPECT_EQ(result.emptyNodes, marked);
  EXPECT_GE(marked, 10u);  // the nodes left of x = -10 at least
  EXPECT_LT(marked, 31u);
}

// A Gaussian model of a range far beyond the spacing of the points makes K singular to
// working accuracy: Cholesky gives up, the symmetric indefinite solve takes over, and
// no node is left with a NaN.
TEST(LocalKriging, IllConditionedSystemsFallBackAndNeverGiveNaN) {
  Points p;
  for (int i = 0; i < 8; ++i)
    for (int j = 0; j < 8; ++j) {
      p.x.push_back(i);
      p.y.push_back(j);
      p.z.push_back(i + 0.5 * j);
    }
  const LocalKriging local(Merged(p), Model(VariogramKind::Gaussian, 200, 1, 0), LocalKrigingType::Ordinary, 0.0,
                           {25, 0, 3});
  const NodeLayout layout{-0.25f, -0.25f, 0.5f, 0.5f, 16, 16};
  std::vector<float> grid(256), error(256);
  const LocalGridResult result = local.Grid(layout, grid.data(), error.data(), nullptr, 0.0f, nullptr);
  EXPECT_GT(result.indefiniteSolves, 0u);
  for (int k = 0; k < 256; ++k) {
    EXPECT_TRUE(std::isfinite(grid[k]));
    EXPECT_TRUE(std::isfinite(error[k]) && error[k] >= 0.0f);
  }
}

class CancelAfter : public Feedback {
 public:
  explicit CancelAfter(int polls) : polls_(polls) {}
  void SetProgress(double) override {}
  bool IsCanceled() const override { return --polls_ < 0; }

 private:
  mutable int polls_;
};

TEST(LocalKriging, CancelStopsBetweenBlocks) {
  const LocalKriging local(Merged(RandomPoints(200, 8)), Model(VariogramKind::Exponential, 20, 1, 0),
                           LocalKrigingType::Simple, 5.0, {8, 0, 3});
  const NodeLayout layout{0.0f, 0.0f, 0.5f, 0.5f, 200, 200};
  std::vector<float> grid(40000, -1.0f);
  CancelAfter cancel(1);
  EXPECT_EQ(local.Grid(layout, grid.data(), nullptr, nullptr, 0.0f, &cancel).outcome.kind, OutcomeKind::Canceled);
  EXPECT_EQ(grid.back(), -1.0f);
}

}  // namespace
}  // namespace gridora
