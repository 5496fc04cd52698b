// The quick gridders as commands: the batch lines idw, nearest and linear, their options,
// the nodes they leave empty and what they refuse.
#include <fmt/printf.h>
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "support/batch_run.h"

namespace gridora {
namespace {

using test::BatchRun;

struct Sample {
  double x, y, z;
};

// 40 points scattered over [0, 100]^2; z a plane plus a wave, so every gridder differs.
std::vector<Sample> Samples() {
  std::mt19937 generator(11);
  std::uniform_real_distribution<double> position(0.0, 100.0);
  std::vector<Sample> samples;
  for (int i = 0; i < 40; ++i) {
    const double x = position(generator), y = position(generator);
    samples.push_back({x, y, 0.5 * x - 0.25 * y + 10.0 * std::sin(x / 15.0)});
  }
  return samples;
}

std::string PointsText(const std::vector<Sample>& samples) {
  std::string text;
  for (const Sample& s : samples) text += fmt::sprintf("%.17g %.17g %.17g\n", s.x, s.y, s.z);
  return text;
}

int RunWithPoints(BatchRun& run, const std::vector<Sample>& samples, const std::string& lines) {
  test::WriteFileBytes(run.folder / "points.xyz", PointsText(samples));
  return run.Run("open-random points.xyz\n" + lines);
}

// Node (ix, iy) of the grid lies at (x0 + ix*DX, y0 + iy*DY).
double NodeX(const GridModel& g, int ix) { return g.x0 + ix * g.DX; }
double NodeY(const GridModel& g, int iy) { return g.y0 + iy * g.DY; }

// The weighted mean written out term by term over every point (no radius, all points).
double BruteInverseDistance(const std::vector<Sample>& samples, double x, double y, double power) {
  double weights = 0.0, sum = 0.0;
  for (const Sample& s : samples) {
    const double d = std::hypot(s.x - x, s.y - y);
    if (d == 0.0) return s.z;
    const double w = 1.0 / std::pow(d, power);
    weights += w;
    sum += w * s.z;
  }
  return sum / weights;
}

constexpr const char* kLayout = "xmin=0 ymin=0 xmax=100 ymax=100 dx=5 dy=5";

TEST(GridderCommands, InverseDistanceMatchesTheWeightedMeanAtEveryNode) {
  const std::vector<Sample> samples = Samples();
  for (double power : {1.0, 2.0, 3.5}) {
    BatchRun run;
    ASSERT_EQ(RunWithPoints(run, samples, fmt::format("idw power={} {}\n", power, kLayout)), 0) << run.out.str();
    const GridModel& g = *run.doc.grid;
    ASSERT_EQ(g.NX, 21);
    ASSERT_EQ(g.NY, 21);
    EXPECT_TRUE(g.emptyNodes.empty());
    for (int ix = 0; ix < g.NX; ++ix)
      for (int iy = 0; iy < g.NY; ++iy) {
        const double expected = BruteInverseDistance(samples, NodeX(g, ix), NodeY(g, iy), power);
        ASSERT_NEAR(g.Value(0, ix, iy), expected, 1e-5 * (1.0 + std::fabs(expected)))
            << power << " " << ix << " " << iy;
      }
    EXPECT_NE(run.out.str().find("Interpolation by inverse distance completed."), std::string::npos);
  }
}

// A radius and a fewest count leave nodes far from the data empty: marked in the mask,
// counted in the message, holding the lowest estimate so the range follows the data.
TEST(GridderCommands, NodesOutOfReachStayEmpty) {
  // Two clusters in opposite corners.
  const std::vector<Sample> samples = {{5, 5, 1}, {8, 6, 2}, {6, 9, 3}, {95, 95, 7}, {92, 94, 8}, {94, 91, 9}};
  const auto farFromBoth = [](double x, double y) {
    return std::hypot(x - 6, y - 6) > 25 && std::hypot(x - 94, y - 94) > 25;
  };
  // The hull of the two clusters is a thin band along the diagonal.
  const auto offTheDiagonal = [](double x, double y) { return std::fabs(x - y) > 15; };
  struct Case {
    std::string line;
    std::string why;
    std::function<bool(double, double)> far;
  };
  const Case cases[] = {
      {fmt::format("idw radius=20 min-points=2 {}\n", kLayout), "fewer than 2 points within reach", farFromBoth},
      {fmt::format("nearest radius=20 {}\n", kLayout), "no point within the search radius", farFromBoth},
      {fmt::format("linear {}\n", kLayout), "outside the triangulation", offTheDiagonal},
  };
  for (const Case& c : cases) {
    BatchRun run;
    ASSERT_EQ(RunWithPoints(run, samples, c.line), 0) << c.line << run.out.str();
    const GridModel& g = *run.doc.grid;
    ASSERT_EQ(g.emptyNodes.size(), g.NodeCount()) << c.line;
    EXPECT_NE(run.out.str().find(c.why), std::string::npos) << run.out.str();
    std::size_t empty = 0;
    float lowest = std::numeric_limits<float>::max();
    for (int ix = 0; ix < g.NX; ++ix)
      for (int iy = 0; iy < g.NY; ++iy) {
        const bool far = c.far(NodeX(g, ix), NodeY(g, iy));
        const bool isEmpty = g.emptyNodes[static_cast<std::size_t>(ix) * g.NY + iy] != 0;
        if (far) {
          EXPECT_TRUE(isEmpty) << c.line << ix << " " << iy;
        }
        empty += isEmpty ? 1 : 0;
        if (!isEmpty) lowest = std::min(lowest, g.Value(0, ix, iy));
      }
    EXPECT_NE(run.out.str().find(fmt::format("{} nodes left empty", empty)), std::string::npos) << run.out.str();
    EXPECT_EQ(g.layerMinimum[0], lowest) << c.line;
  }
}

// Nearest point takes the value of the nearest sample; linear reproduces a plane inside
// the hull.
TEST(GridderCommands, NearestAndLinearAgainstTheirDefinitions) {
  std::vector<Sample> samples = Samples();
  for (Sample& s : samples) s.z = 3.0 + 0.2 * s.x - 0.7 * s.y;  // a plane
  // One run at a time: each makes its own folder the working folder.
  const auto gridOf = [&](const std::string& name) {
    BatchRun run;
    EXPECT_EQ(RunWithPoints(run, samples, fmt::format("{} {}\n", name, kLayout)), 0) << run.out.str();
    return *run.doc.grid;
  };
  const GridModel n = gridOf("nearest");
  const GridModel l = gridOf("linear");
  ASSERT_EQ(n.NodeCount(), 441u);
  ASSERT_EQ(l.NodeCount(), 441u);
  EXPECT_TRUE(n.emptyNodes.empty());
  ASSERT_EQ(l.emptyNodes.size(), l.NodeCount());  // the corners lie outside the hull
  int inside = 0;
  for (int ix = 0; ix < n.NX; ++ix)
    for (int iy = 0; iy < n.NY; ++iy) {
      const double x = NodeX(n, ix), y = NodeY(n, iy);
      double best = HUGE_VAL, value = 0.0;
      for (const Sample& s : samples)
        if (const double d = std::hypot(s.x - x, s.y - y); d < best) best = d, value = s.z;
      EXPECT_FLOAT_EQ(n.Value(0, ix, iy), static_cast<float>(value)) << ix << " " << iy;
      if (!l.emptyNodes[static_cast<std::size_t>(ix) * l.NY + iy]) {
        ++inside;
        EXPECT_NEAR(l.Value(0, ix, iy), 3.0 + 0.2 * x - 0.7 * y, 1e-4) << ix << " " << iy;
      }
    }
  EXPECT_GT(inside, 200);
}

// Options that are not meaningful, and a run that gives no node a value, are refused
// with a message; the grid that was there stays.
TEST(GridderCommands, RefusalsKeepTheGrid) {
  const std::vector<Sample> samples = Samples();
  const std::vector<Sample> onALine = {{0, 0, 1}, {10, 10, 2}, {20, 20, 3}, {30, 30, 4}};
  struct Case {
    const std::vector<Sample>* points;
    std::string line;
    std::string message;
  };
  const Case cases[] = {
      {&samples, "idw power=-1", "The power must lie between 0 and 100"},
      {&samples, "idw power=nan", "The power must lie between 0 and 100"},
      {&samples, "idw radius=-5", "The search radius must be greater than 0"},
      {&samples, "idw max-points=3 min-points=4", "every node would stay empty"},
      {&samples, "idw max-points=-1", "nearest points must be 0"},
      {&samples, "nearest radius=inf", "The search radius must be greater than 0"},
      {&onALine, "linear", "left every node of the 21 x 21 grid empty"},
      {&samples, "nearest radius=0.001", "left every node of the 21 x 21 grid empty"},
  };
  for (const Case& c : cases) {
    BatchRun run;
    ASSERT_EQ(RunWithPoints(run, *c.points, fmt::format("nearest {}\n", kLayout)), 0) << run.out.str();
    const std::vector<float> before = run.doc.grid->values;
    EXPECT_EQ(run.Run(fmt::format("{} {}\n", c.line, kLayout)), 2) << c.line;
    const std::string said = run.out.str() + run.err.str();
    EXPECT_NE(said.find(c.message), std::string::npos) << c.line << "\n" << said;
    EXPECT_EQ(run.doc.grid->values, before) << c.line;
  }
}

}  // namespace
}  // namespace gridora
