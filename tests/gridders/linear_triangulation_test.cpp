#include "gridders/linear_triangulation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "gridders/gridder_test_support.h"

namespace gridora {
namespace {

using test::Grid;
using test::NodeOracle;

// Points at one position merged into one with the mean of their values.
std::vector<DataPoint> Merged(const std::vector<DataPoint>& points) {
  std::map<std::pair<double, double>, std::pair<double, int>> sums;
  for (const DataPoint& p : points) {
    auto& s = sums[{p.x, p.y}];
    s.first += p.z;
    ++s.second;
  }
  std::vector<DataPoint> merged;
  for (const auto& [position, s] : sums) merged.push_back({position.first, position.second, s.first / s.second});
  return merged;
}

double Cross(const DataPoint& a, const DataPoint& b, double x, double y) {
  return (b.x - a.x) * (y - a.y) - (b.y - a.y) * (x - a.x);
}

// The Delaunay triangulation by its definition: every triangle of three points whose
// circumcircle holds no other point (the points in general position), then the node's
// barycentric mean in the triangle that holds it. O(n^4): a few dozen points only.
class BruteDelaunay {
 public:
  explicit BruteDelaunay(const std::vector<DataPoint>& points) : p_(Merged(points)) {
    const std::size_t n = p_.size();
    for (std::size_t i = 0; i < n; ++i)
      for (std::size_t j = i + 1; j < n; ++j)
        for (std::size_t k = j + 1; k < n; ++k) {
          std::size_t a = i, b = j, c = k;
          const double turn = Cross(p_[a], p_[b], p_[c].x, p_[c].y);
          if (turn == 0.0) continue;
          if (turn < 0.0) std::swap(b, c);
          bool empty = true;
          for (std::size_t m = 0; m < n && empty; ++m)
            if (m != a && m != b && m != c && InCircle(p_[a], p_[b], p_[c], p_[m]) > 0.0) empty = false;
          if (empty) triangles_.push_back({a, b, c});
        }
  }

  NodeOracle operator()(double x, double y) const {
    for (const auto& [a, b, c] : triangles_) {
      const double area = Cross(p_[a], p_[b], p_[c].x, p_[c].y);
      const double la = Cross(p_[b], p_[c], x, y) / area;
      const double lb = Cross(p_[c], p_[a], x, y) / area;
      const double lc = Cross(p_[a], p_[b], x, y) / area;
      if (la >= -1e-12 && lb >= -1e-12 && lc >= -1e-12) return la * p_[a].z + lb * p_[b].z + lc * p_[c].z;
    }
    return std::nullopt;
  }

 private:
  // Positive when d is inside the circle through a, b, c (counterclockwise).
  static double InCircle(const DataPoint& a, const DataPoint& b, const DataPoint& c, const DataPoint& d) {
    const double ax = a.x - d.x, ay = a.y - d.y, bx = b.x - d.x, by = b.y - d.y, cx = c.x - d.x, cy = c.y - d.y;
    return (ax * ax + ay * ay) * (bx * cy - cx * by) - (bx * bx + by * by) * (ax * cy - cx * ay) +
           (cx * cx + cy * cy) * (ax * by - bx * ay);
  }
  struct Triangle {
    std::size_t a, b, c;
  };
  std::vector<DataPoint> p_;
  std::vector<Triangle> triangles_;
};

// Inside the convex hull (boundary included), by Andrew's monotone chain.
class Hull {
 public:
  explicit Hull(std::vector<DataPoint> p) {
    std::sort(p.begin(), p.end(),
              [](const DataPoint& a, const DataPoint& b) { return a.x < b.x || (a.x == b.x && a.y < b.y); });
    for (int pass = 0; pass < 2; ++pass) {
      const std::size_t start = hull_.size();
      for (const DataPoint& q : p) {
        while (hull_.size() >= start + 2 && Cross(hull_[hull_.size() - 2], hull_.back(), q.x, q.y) <= 0.0)
          hull_.pop_back();
        hull_.push_back(q);
      }
      hull_.pop_back();
      std::reverse(p.begin(), p.end());
    }
  }
  bool Inside(double x, double y) const {
    for (std::size_t k = 0; k < hull_.size(); ++k)
      if (Cross(hull_[k], hull_[(k + 1) % hull_.size()], x, y) < 0.0) return false;
    return hull_.size() >= 3;
  }

 private:
  std::vector<DataPoint> hull_;
};

double Plane(double x, double y) { return 2.0 + 0.5 * x - 0.25 * y; }

std::vector<DataPoint> OnPlane(std::vector<DataPoint> points) {
  for (DataPoint& p : points) p.z = Plane(p.x, p.y);
  return points;
}

struct LinearCase {
  std::string name;
  std::vector<DataPoint> points;
  NodeLayout layout;
};

TEST(LinearTriangulation, MatchesTheTriangulationByItsDefinition) {
  const NodeLayout around{-1.0, -1.0, 0.7, 0.55, 17, 19};
  std::vector<DataPoint> random = test::RandomPoints(25, 7);
  random.push_back({around.X(6), around.Y(9), 11.0});  // a point exactly on a node
  std::vector<DataPoint> doubled = {
      {0.0, 0.0, 1.0}, {4.0, 0.7, 2.0}, {0.7, 4.0, 3.0}, {0.0, 0.0, 5.0}, {3.0, 3.0, 0.0}};
  const std::vector<LinearCase> cases = {
      {"random points", random, around},
      {"a doubled corner: the mean of its values", doubled, {-0.3, -0.3, 0.3, 0.3, 17, 17}},
      {"one triangle", {{0.1, 0.0, 1.0}, {5.0, 1.3, 4.0}, {2.2, 6.0, -2.0}}, around},
  };
  for (const LinearCase& c : cases) {
    SCOPED_TRACE(c.name);
    Grid grid(c.layout);
    const GridderResult result =
        GridByLinearTriangulation(c.points, c.layout, grid.values.data(), grid.empty.data(), nullptr);
    test::ExpectGridMatches(grid, result, BruteDelaunay(c.points));
  }
}

// Any triangulation reproduces a plane: checked where the one by definition cannot go
// (many points, and on a lattice with four points on every circle, where nodes lie on
// points and on edges, the hull's included).
TEST(LinearTriangulation, ReproducesAPlaneInsideTheHull) {
  std::vector<DataPoint> lattice;
  for (int i = 0; i < 5; ++i)
    for (int j = 0; j < 5; ++j) lattice.push_back({double(i), double(j), 0.0});
  const std::vector<LinearCase> cases = {
      {"2000 random points", OnPlane(test::RandomPoints(2000, 9)), {-0.55, -0.45, 0.2, 0.15, 60, 62}},
      {"lattice", OnPlane(lattice), {-0.5, -0.5, 0.25, 0.25, 21, 21}},
  };
  for (const LinearCase& c : cases) {
    SCOPED_TRACE(c.name);
    Grid grid(c.layout);
    const GridderResult result =
        GridByLinearTriangulation(c.points, c.layout, grid.values.data(), grid.empty.data(), nullptr);
    const Hull hull(c.points);
    test::ExpectGridMatches(grid, result, [&](double x, double y) -> NodeOracle {
      if (!hull.Inside(x, y)) return std::nullopt;
      return Plane(x, y);
    });
  }
}

TEST(LinearTriangulation, LeavesEveryNodeEmptyWithoutATriangle) {
  std::vector<DataPoint> line, twoPlaces;
  for (int i = 0; i < 10; ++i) line.push_back({1.0 + 0.5 * i, 2.0 + 0.25 * i, double(i)});
  for (int i = 0; i < 10; ++i) twoPlaces.push_back({i % 2 ? 1.0 : 3.0, 2.0, double(i)});
  const std::vector<LinearCase> cases = {
      {"no points", {}, {0.0, 0.0, 1.0, 1.0, 6, 5}},
      {"one point", {{1.0, 1.0, 1.0}}, {0.0, 0.0, 1.0, 1.0, 6, 5}},
      {"two points", {{1.0, 1.0, 1.0}, {2.0, 3.0, 1.0}}, {0.0, 0.0, 1.0, 1.0, 6, 5}},
      {"all on a line", line, {0.0, 0.0, 0.5, 0.25, 12, 12}},
      {"two positions, many points", twoPlaces, {0.0, 0.0, 1.0, 1.0, 6, 5}},
      {"three points, one not a number",
       {{0.0, 0.0, 1.0}, {5.0, 0.0, 1.0}, {NAN, 5.0, 1.0}},
       {0.0, 0.0, 1.0, 1.0, 6, 5}},
  };
  for (const LinearCase& c : cases) {
    SCOPED_TRACE(c.name);
    Grid grid(c.layout);
    const GridderResult result =
        GridByLinearTriangulation(c.points, c.layout, grid.values.data(), grid.empty.data(), nullptr);
    test::ExpectGridMatches(grid, result, [](double, double) { return NodeOracle(); });
  }
}

}  // namespace
}  // namespace gridora
