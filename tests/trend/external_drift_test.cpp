// Kriging with external drift against the textbook system solved directly: for each
// node the bordered system in the data's own units,
//
//     [ C    F ] [ w  ]   [ c0 ]       estimate  sum w_i z_i
//     [ F^T  0 ] [ mu ] = [ f0 ],      variance  C(0) - w^T c0 - mu^T f0,
//
// F_il = 1, (x_i, y_i for a linear drift beside the rasters), then each raster's raw
// value at the point, bilinear between its pixel centres written out here term by term;
// all solved by Gaussian elimination in long double. Nothing is shared with the
// kriging's own centring and scaling of the rasters, its factor or its inverse.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "geostat/cross_validation.h"
#include "geostat/kriging_prediction.h"
#include "geostat/kriging_state.h"
#include "geostat/kriging_variance.h"
#include "geostat/local_prediction.h"
#include "support/dense_solve.h"
#include "trend/external_drift.h"
#include "trend/polynomial_drift.h"

namespace gridora {
namespace {

using Real = long double;

// A raster over [1000.25, 1011.75] x [5000.25, 5011.75] with pixel centres 0.5 apart,
// values a smooth function of the pixel (kind 0) or another one (kind 1).
std::shared_ptr<const DriftRaster> Raster(int kind) {
  DriftRaster r;
  r.path = kind == 0 ? "first.tif" : "second.tif";
  r.layout = NodeLayout{1000.25, 5000.25, 0.5, 0.5, 24, 24};
  for (int i = 0; i < 24; ++i)
    for (int j = 0; j < 24; ++j)
      r.values.push_back(kind == 0 ? static_cast<float>(300.0 + 4.0 * std::sin(0.3 * i) + 0.05 * j * j)
                                   : static_cast<float>(std::cos(0.2 * i) * std::cos(0.15 * j) - 0.02 * i * j));
  return std::make_shared<const DriftRaster>(std::move(r));
}

// The raster's bilinear value at (x, y), inside its pixel centres.
Real Bilinear(const DriftRaster& r, Real x, Real y) {
  const NodeLayout& l = r.layout;
  const Real fx = (x - l.x0) / l.dx, fy = (y - l.y0) / l.dy;
  const int i = std::min(static_cast<int>(std::floor(fx)), l.nx - 2);
  const int j = std::min(static_cast<int>(std::floor(fy)), l.ny - 2);
  const Real t = fx - i, u = fy - j;
  auto v = [&](int a, int b) { return static_cast<Real>(r.values[l.Index(a, b)]); };
  return (1 - t) * (1 - u) * v(i, j) + t * (1 - u) * v(i + 1, j) + (1 - t) * u * v(i, j + 1) + t * u * v(i + 1, j + 1);
}

std::vector<DataPoint> DriftPoints(int n, unsigned seed, const DriftRaster& raster) {
  std::mt19937 generator(seed);
  std::uniform_real_distribution<double> u(0.5, 11.5);
  std::normal_distribution<double> noise(0.0, 0.3);
  std::vector<DataPoint> points;
  for (int i = 0; i < n; ++i) {
    const double x = 1000.0 + u(generator), y = 5000.0 + u(generator);
    const double g = static_cast<double>(Bilinear(raster, x, y));
    points.push_back({x, y, 2.0 * (g - 300.0) + std::sin(x) + noise(generator)});
  }
  return points;
}

struct Reference {
  double estimate, error;
};

// The drift functions at (x, y): 1, then x and y with a linear drift, then the rasters.
std::vector<Real> Functions(const DriftRasters& rasters, bool linear, Real x, Real y) {
  std::vector<Real> f = {1};
  if (linear) f.insert(f.end(), {x, y});
  for (const auto& r : rasters) f.push_back(Bilinear(*r, x, y));
  return f;
}

Reference DirectExternalDrift(const std::vector<DataPoint>& pts, const DriftRasters& rasters, bool linear,
                              const CovarianceModel& standardModel, double sd, double px, double py) {
  const std::size_t n = pts.size(), p = 1 + (linear ? 2 : 0) + rasters.size(), N = n + p;
  auto cov = [&](double dx, double dy) { return static_cast<Real>(sd) * sd * standardModel.Covariance(dx, dy); };
  std::vector<Real> A(N * N, 0), b(N, 0);
  for (std::size_t i = 0; i < n; ++i) {
    for (std::size_t j = 0; j < n; ++j) A[i * N + j] = cov(pts[i].x - pts[j].x, pts[i].y - pts[j].y);
    const std::vector<Real> f = Functions(rasters, linear, pts[i].x, pts[i].y);
    for (std::size_t l = 0; l < p; ++l) A[i * N + n + l] = A[(n + l) * N + i] = f[l];
    b[i] = cov(px - pts[i].x, py - pts[i].y);
  }
  const std::vector<Real> f0 = Functions(rasters, linear, px, py);
  for (std::size_t l = 0; l < p; ++l) b[n + l] = f0[l];
  const std::vector<Real> w = test::SolveDense(A, b);
  Real estimate = 0, explained = 0;
  for (std::size_t i = 0; i < n; ++i) {
    estimate += w[i] * pts[i].z;
    explained += w[i] * b[i];
  }
  for (std::size_t l = 0; l < p; ++l) explained += w[n + l] * f0[l];
  const Real variance = cov(0, 0) - explained;
  return {static_cast<double>(estimate), static_cast<double>(std::sqrt(std::max<Real>(variance, 0)))};
}

struct Case {
  int rasters;  // 1: the first, 2: both
  bool linear;  // with drift=linear beside them
  VariogramKind kind;
  double nugget;
};
const Case kCases[] = {
    {1, false, VariogramKind::Exponential, 0.0},
    {2, false, VariogramKind::Spherical, 0.1},
    {1, true, VariogramKind::Gaussian, 0.05},
    {2, true, VariogramKind::Exponential, 0.02},
};

DriftRasters RastersOf(const Case& c) {
  DriftRasters rasters = {Raster(0)};
  if (c.rasters == 2) rasters.push_back(Raster(1));
  return rasters;
}

// A state as the Variogram command leaves it, with a model chosen here.
std::unique_ptr<KrigingState> DriftState(const std::vector<DataPoint>& pts, const Case& c) {
  auto state = std::make_unique<KrigingState>(".", 0);
  state->writeMatrixFiles = false;
  state->LoadVariable(static_cast<int>(pts.size()), pts.data(), 0, nullptr);
  VariogramModel& model = *state->primary;
  model.writeMatrixFiles = false;
  model.options.type = KrigingType::Ordinary;
  model.options.drift = c.linear ? DriftKind::Linear : DriftKind::None;
  model.options.model = c.kind;
  model.options.nugget = c.nugget;
  model.a = 2.5;
  model.c = 0.8;
  model.BuildKrigingMatrix();
  state->drift = MakeKrigingDrift(model.options.drift, RastersOf(c), pts.size(), model.x.data(), model.y.data());
  EXPECT_TRUE(state->InvertSystem(state->OrdinarySystem(), nullptr, false).Done());
  return state;
}

double Range(const std::vector<DataPoint>& pts) {
  double lo = pts[0].z, hi = pts[0].z;
  for (const DataPoint& p : pts) lo = std::min(lo, p.z), hi = std::max(hi, p.z);
  return hi - lo;
}

const NodeLayout kLayout{1000.3, 5000.4, 1.9, 1.7, 7, 7};  // inside the rasters' pixel centres

TEST(ExternalDrift, GlobalGridMatchesTheDirectSolveNodeByNode) {
  const std::vector<DataPoint> pts = DriftPoints(40, 3u, *Raster(0));
  const double tolerance = 1e-6 * Range(pts);
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.rasters * 100 + c.linear * 10 + static_cast<int>(c.kind));
    const auto state = DriftState(pts, c);
    ASSERT_EQ(state->inverse->rows, 40 + 1 + (c.linear ? 2 : 0) + c.rasters);
    EXPECT_TRUE(NodesWithoutDrift(*state->drift, kLayout, {}).empty());
    std::vector<float> estimate(kLayout.NodeCount()), error(kLayout.NodeCount());
    ASSERT_TRUE(PredictGrid(*state, kLayout, estimate.data(), nullptr).Done());
    ASSERT_TRUE(StandardErrorGrid(*state, kLayout, error.data(), nullptr).outcome.Done());
    const VariogramModel& m = *state->primary;
    for (int i = 0; i < kLayout.nx; ++i)
      for (int j = 0; j < kLayout.ny; ++j) {
        const Reference r = DirectExternalDrift(pts, RastersOf(c), c.linear, m.Model(), m.standardDeviation,
                                                kLayout.X(i), kLayout.Y(j));
        const std::size_t k = kLayout.Index(i, j);
        EXPECT_NEAR(estimate[k], r.estimate, tolerance + 4e-7 * std::fabs(r.estimate)) << i << "," << j;
        EXPECT_NEAR(error[k], r.error, tolerance + 4e-7 * r.error) << i << "," << j;
      }
    EXPECT_LT(MisfitAtData(*state).Relative(), 1e-9);
  }
}

// Every point in every neighbourhood: the local systems are the global one.
TEST(ExternalDrift, LocalGridMatchesTheDirectSolve) {
  const std::vector<DataPoint> pts = DriftPoints(30, 5u, *Raster(0));
  const double tolerance = 1e-6 * Range(pts);
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.rasters * 100 + c.linear * 10 + static_cast<int>(c.kind));
    const auto state = DriftState(pts, c);
    const VariogramModel& m = *state->primary;
    LocalNeighbourhood all;
    all.neighbours = 30;
    std::vector<float> estimate(kLayout.NodeCount()), error(kLayout.NodeCount());
    const LocalPrediction local = PredictGridLocally(m, m.Model(), LocalKrigingType::Ordinary, all, kLayout,
                                                     estimate.data(), error.data(), nullptr, nullptr, state->drift);
    ASSERT_TRUE(local.grid.outcome.Done());
    ASSERT_EQ(local.grid.emptyNodes, 0u);
    for (int i = 0; i < kLayout.nx; ++i)
      for (int j = 0; j < kLayout.ny; ++j) {
        const Reference r = DirectExternalDrift(pts, RastersOf(c), c.linear, m.Model(), m.standardDeviation,
                                                kLayout.X(i), kLayout.Y(j));
        const std::size_t k = kLayout.Index(i, j);
        EXPECT_NEAR(estimate[k], r.estimate, tolerance + 4e-7 * std::fabs(r.estimate)) << i << "," << j;
        EXPECT_NEAR(error[k], r.error, tolerance + 4e-7 * r.error) << i << "," << j;
      }
  }
}

// Twelve of thirty points in each neighbourhood: the nodes' neighbourhoods differ, so the
// solver's factors kept from node to node must follow them. Each node against the direct
// solve over its twelve nearest points, found here by sorting the distances.
TEST(ExternalDrift, SmallNeighbourhoodsMatchTheDirectSolveOverTheNearestPoints) {
  const std::vector<DataPoint> pts = DriftPoints(30, 7u, *Raster(0));
  const double tolerance = 1e-6 * Range(pts);
  const NodeLayout layout{1000.6, 5000.8, 0.9, 1.05, 12, 10};
  for (const Case& c : {kCases[1], kCases[2]}) {
    SCOPED_TRACE(c.rasters * 100 + c.linear * 10 + static_cast<int>(c.kind));
    const auto state = DriftState(pts, c);
    const VariogramModel& m = *state->primary;
    LocalNeighbourhood nearest;
    nearest.neighbours = 12;
    std::vector<float> estimate(layout.NodeCount()), error(layout.NodeCount());
    const LocalPrediction local = PredictGridLocally(m, m.Model(), LocalKrigingType::Ordinary, nearest, layout,
                                                     estimate.data(), error.data(), nullptr, nullptr, state->drift);
    ASSERT_TRUE(local.grid.outcome.Done());
    ASSERT_EQ(local.grid.emptyNodes, 0u);
    for (int i = 0; i < layout.nx; ++i)
      for (int j = 0; j < layout.ny; ++j) {
        const double px = layout.X(i), py = layout.Y(j);
        std::vector<DataPoint> near = pts;
        std::sort(near.begin(), near.end(), [&](const DataPoint& a, const DataPoint& b) {
          return std::hypot(a.x - px, a.y - py) < std::hypot(b.x - px, b.y - py);
        });
        near.resize(12);
        const Reference r = DirectExternalDrift(near, RastersOf(c), c.linear, m.Model(), m.standardDeviation, px, py);
        const std::size_t k = layout.Index(i, j);
        EXPECT_NEAR(estimate[k], r.estimate, tolerance + 4e-7 * std::fabs(r.estimate)) << i << "," << j;
        EXPECT_NEAR(error[k], r.error, tolerance + 4e-7 * r.error) << i << "," << j;
      }
  }
}

// Leave-one-out from the inverse (global) and point by point (local, every point a
// neighbour) agree with the direct solve over the other points.
TEST(ExternalDrift, CrossValidationLeavesEachPointOutOfTheDriftSystem) {
  const std::vector<DataPoint> pts = DriftPoints(25, 9u, *Raster(0));
  const Case c{2, false, VariogramKind::Exponential, 0.05};
  const auto state = DriftState(pts, c);
  CrossValidation global, local;
  ASSERT_TRUE(CrossValidate(*state, 0, 1u, global, nullptr).Done());
  LocalNeighbourhood all;
  all.neighbours = 25;
  const VariogramModel& m = *state->primary;
  ASSERT_TRUE(CrossValidateLocally(*state, m.Model(), LocalKrigingType::Ordinary, all, 0, 1u, local, nullptr,
                                   state->drift.get())
                  .Done());
  ASSERT_EQ(global.points.size(), 25u);
  ASSERT_EQ(local.points.size(), 25u);
  for (int i = 0; i < 25; ++i) {
    std::vector<DataPoint> others = pts;
    others.erase(others.begin() + i);
    const Reference r =
        DirectExternalDrift(others, RastersOf(c), false, m.Model(), m.standardDeviation, pts[i].x, pts[i].y);
    EXPECT_NEAR(global.points[i].estimate, r.estimate, 1e-7 * Range(pts)) << i;
    EXPECT_NEAR(global.points[i].standardError, r.error, 1e-7 * Range(pts)) << i;
    EXPECT_NEAR(local.points[i].estimate, r.estimate, 1e-7 * Range(pts)) << i;
    EXPECT_NEAR(local.points[i].standardError, r.error, 1e-7 * Range(pts)) << i;
  }
}

// Where the drift is known: inside the rectangle of the pixel centres, and not in a cell
// beside a no-data pixel. The nodes are off every pixel line, so each needs its four.
TEST(ExternalDrift, NodesWithoutARasterValueAreMarked) {
  DriftRaster holed = *Raster(1);
  holed.empty.assign(holed.layout.NodeCount(), 0);
  holed.empty[holed.layout.Index(10, 7)] = 1;
  const DriftRasters rasters = {Raster(0), std::make_shared<const DriftRaster>(holed)};
  const std::vector<double> px = {1005.0, 1006.0}, py = {5005.0, 5006.0};
  const auto drift = MakeKrigingDrift(DriftKind::None, rasters, 2, px.data(), py.data());
  const NodeLayout layout{999.6, 4999.9, 0.3, 0.45, 45, 30};
  const std::vector<std::uint8_t> mask = NodesWithoutDrift(*drift, layout, {});
  ASSERT_EQ(mask.size(), layout.NodeCount());
  std::size_t marked = 0;
  for (int i = 0; i < layout.nx; ++i)
    for (int j = 0; j < layout.ny; ++j) {
      const double x = layout.X(i), y = layout.Y(j);
      const bool inside = x >= 1000.25 && x <= 1011.75 && y >= 5000.25 && y <= 5011.75;
      const int ci = static_cast<int>(std::floor((x - 1000.25) / 0.5)),
                cj = static_cast<int>(std::floor((y - 5000.25) / 0.5));
      const bool besideHole = (ci == 9 || ci == 10) && (cj == 6 || cj == 7);
      EXPECT_EQ(mask[layout.Index(i, j)], inside && !besideHole ? 0 : 1) << x << "," << y;
      marked += mask[layout.Index(i, j)];
    }
  EXPECT_GT(marked, 0u);
  // A block whose points leave the rasters is unknown too, though its centre is inside.
  BlockSupport block;
  block.side = 1.0;
  block.points = 2;
  const NodeLayout edge{1000.4, 5006.0, 1.0, 1.0, 2, 1};
  EXPECT_EQ(NodesWithoutDrift(*drift, edge, block), (std::vector<std::uint8_t>{1, 0}));
  EXPECT_TRUE(NodesWithoutDrift(*drift, edge, {}).empty());
}

TEST(ExternalDrift, PointsOutsideARasterAreCounted) {
  const DriftRasters rasters = {Raster(0)};
  struct PointCase {
    std::vector<double> x, y;
    std::size_t outside;
  };
  const PointCase cases[] = {
      {{1000.25, 1011.75, 1005.0}, {5000.25, 5011.75, 5005.0}, 0},  // on the outer pixel centres
      {{1000.2, 1011.8, 1005.0}, {5005.0, 5005.0, 5011.8}, 3},
      {{1000.2, 1005.0, std::nan("")}, {5000.0, 5005.0, 5005.0}, 2},
  };
  for (const PointCase& c : cases)
    EXPECT_EQ(PointsWithoutDrift(rasters, c.x.size(), c.x.data(), c.y.data()), c.outside) << c.x[0];
}

}  // namespace
}  // namespace gridora
