#include "surface/minimum_curvature_surface.h"

#include <algorithm>
#include <cmath>

#include "surface/fault_cuts.h"

namespace gridora {
namespace {

// Adds w * (sum c_p u(node_p) - f)^2: A(k_p, k_q) += w c_p c_q once per pair (upper
// triangle), b(k_p) += w c_p f.
template <int Count>
void AddTerm(PreciseCurvatureSystem& s, const std::int64_t (&nodes)[Count], const double (&c)[Count], double w,
             double f) {
  for (int p = 0; p < Count; ++p) {
    if (c[p] == 0.0) continue;
    for (int q = p; q < Count; ++q) {
      if (c[q] == 0.0) continue;
      const std::int64_t k = std::min(nodes[p], nodes[q]), l = std::max(nodes[p], nodes[q]);
      s.At(k, l) += w * c[p] * c[q];
    }
    s.Rhs(nodes[p]) += w * c[p] * f;
  }
}

}  // namespace

SurfaceWeights CommandWeights(float w1, float w2, float wd) {
  return {w1, w1, w2, w2, 2.0 * static_cast<double>(w2), wd};
}

SurfaceWeights OptionWeights(const SurfaceOptions& options, double DX, double DY, float wd) {
  const double t = std::clamp(options.tension, 0.0, 1.0);
  const double h = std::sqrt(DX * DY);
  const double rx = h / DX, ry = h / DY;
  SurfaceWeights weights;
  weights.tensionX = t * rx * rx;
  weights.tensionY = t * ry * ry;
  weights.curvatureX = (1.0 - t) * rx * rx * rx * rx;
  weights.curvatureY = (1.0 - t) * ry * ry * ry * ry;
  weights.twist = 2.0 * (1.0 - t);
  weights.data = wd;
  if (options.fit == SurfaceOptions::Fit::Exact) {
    // A node's smoothness terms: two first differences and three second differences
    // along each axis (centre coefficient 4 each), four twists.
    const double smoothness = 2.0 * (weights.tensionX + weights.tensionY) +
                              6.0 * (weights.curvatureX + weights.curvatureY) + 4.0 * weights.twist;
    weights.data = kExactFitFactor * smoothness;
  }
  return weights;
}

SurfaceWeights CoarserWeights(const SurfaceWeights& w, int rx, int ry) {
  const double x = rx, y = ry;
  SurfaceWeights coarse;
  coarse.tensionX = w.tensionX * y / x;
  coarse.tensionY = w.tensionY * x / y;
  coarse.curvatureX = w.curvatureX * y / (x * x * x);
  coarse.curvatureY = w.curvatureY * x / (y * y * y);
  coarse.twist = w.twist / (x * y);
  coarse.data = w.data;  // the data terms sum over points, not nodes
  return coarse;
}

int AssembleSurface(PreciseCurvatureSystem& s, const SurfaceWeights& w, const std::vector<SolverPoint>& points,
                    double DX, double DY, const FaultCuts* cuts) {
  s.Clear();
  const int nx = s.NX(), ny = s.NY();
  for (int i = 1; i <= nx; ++i)
    for (int j = 1; j <= ny; ++j) {
      const std::int64_t k = s.Node(i, j);
      // Which terms a fault leaves out; none without cuts.
      const bool cutX = cuts && i < nx && cuts->CutX(i, j), cutY = cuts && j < ny && cuts->CutY(i, j);
      const bool cutBackX = cuts && i > 1 && cuts->CutX(i - 1, j), cutBackY = cuts && j > 1 && cuts->CutY(i, j - 1);
      const bool cutCell = cuts && i < nx && j < ny && cuts->CutCell(i, j);
      if (i < nx && !cutX) AddTerm<2>(s, {k, s.Node(i + 1, j)}, {-1.0, 1.0}, w.tensionX, 0.0);
      if (j < ny && !cutY) AddTerm<2>(s, {k, k + 1}, {-1.0, 1.0}, w.tensionY, 0.0);
      if (i > 1 && i < nx && !cutX && !cutBackX)
        AddTerm<3>(s, {s.Node(i - 1, j), k, s.Node(i + 1, j)}, {1.0, -2.0, 1.0}, w.curvatureX, 0.0);
      if (j > 1 && j < ny && !cutY && !cutBackY) AddTerm<3>(s, {k - 1, k, k + 1}, {1.0, -2.0, 1.0}, w.curvatureY, 0.0);
      if (i < nx && j < ny && !cutCell)
        AddTerm<4>(s, {k, k + 1, s.Node(i + 1, j), s.Node(i + 1, j) + 1}, {1.0, -1.0, -1.0, 1.0}, w.twist, 0.0);
    }

  const double lastX = (nx - 1) * DX, lastY = (ny - 1) * DY;
  int attached = 0;
  for (const SolverPoint& point : points) {
    const double x = point.x, y = point.y, z = point.z;
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z)) continue;
    if (x < -0.5 * DX || x > lastX + 0.5 * DX || y < -0.5 * DY || y > lastY + 0.5 * DY) continue;
    const int i = std::clamp(static_cast<int>(std::floor(x / DX + 1e-6)) + 1, 1, nx - 1);
    const int j = std::clamp(static_cast<int>(std::floor(y / DY + 1e-6)) + 1, 1, ny - 1);
    const double t = (x - (i - 1) * DX) / DX, u = (y - (j - 1) * DY) / DY;
    const std::int64_t k = s.Node(i, j);
    double c[4] = {(1 - t) * (1 - u), (1 - t) * u, t * (1 - u), t * u};
    if (cuts && cuts->Touched(i, j) && !KeepOneSide(*cuts, i, j, x, y, c)) continue;
    AddTerm<4>(s, {k, k + 1, k + ny, k + ny + 1}, {c[0], c[1], c[2], c[3]}, w.data, z);
    ++attached;
  }
  return attached;
}

}  // namespace gridora
