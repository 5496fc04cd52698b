#pragma once
// The minimum-curvature functional with a weight for every kind of term, assembled in
// double precision. The command's functional (minimum_curvature_system.h) is one set of
// these weights in node-index units; the surface options choose another set in physical
// units, and every coarse level of the multigrid solver assembles the same continuous
// functional on its coarser grid.
//
//   F(u) = tensionX   * sum (u(i+1,j) - u(i,j))^2
//        + tensionY   * sum (u(i,j+1) - u(i,j))^2
//        + curvatureX * sum (u(i-1,j) - 2u(i,j) + u(i+1,j))^2
//        + curvatureY * sum (u(i,j-1) - 2u(i,j) + u(i,j+1))^2
//        + twist      * sum (u(i,j) - u(i,j+1) - u(i+1,j) + u(i+1,j+1))^2
//        + data       * sum over points (bilinear interpolant of u at the point - z)^2
#include <vector>

#include "surface/minimum_curvature_system.h"

namespace gridora {

struct SurfaceWeights {
  double tensionX = 0, tensionY = 0;
  double curvatureX = 0, curvatureY = 0;
  double twist = 0;
  double data = 0;
};

// What the user may choose beside the command's own functional.
struct SurfaceOptions {
  enum class Fit { Specified, Exact };
  enum class Solver { Automatic, Direct, Multigrid };

  // 0: pure curvature; 1: pure tension. The command's weights w1 = w2 = 0.5 are t = 0.5
  // on square cells.
  double tension = 0.5;
  Fit fit = Fit::Specified;
  Solver solver = Solver::Automatic;

  // The command's own functional: node-index differences, single-precision assembly.
  bool KeepsCommandFunctional() const { return tension == 0.5 && fit == Fit::Specified; }
};

// The exact fit weights every data term this many times the smoothness weights of a node:
// the misfit at a point is then about the smoothness force over this factor, below
// 1e-6 of the value range (checked by the tests), while the double-precision solvers
// still see a system far from singular.
inline constexpr double kExactFitFactor = 1e6;

// The command's functional: w1 for both first differences, w2 for both second
// differences, 2*w2 for the twist.
SurfaceWeights CommandWeights(float w1, float w2, float wd);

// The options' functional on cells DX x DY. Differences are divided by the cell size and
// the sums scaled by a reference cell h = sqrt(DX*DY), so that a non-square cell bends
// the surface as the same shape would on square cells, and square cells of any size keep
// the command's balance against the data: tension t * (h/D)^2, curvature (1-t) * (h/D)^4,
// twist 2 * (1-t) * (h^2/(DX*DY))^2 = 2 * (1-t). The data weight is wd, or the exact fit's.
SurfaceWeights OptionWeights(const SurfaceOptions& options, double DX, double DY, float wd);

// The same continuous functional on a grid whose cells are rx times wider and ry times
// taller: each sum runs over rx*ry times fewer nodes, and a difference of order n grows
// by the n-th power of the ratio along its axis.
SurfaceWeights CoarserWeights(const SurfaceWeights& weights, int rx, int ry);

// Zeroes `system` and adds every term of F (nodes at ((i-1)*DX, (j-1)*DY)); points are
// attached as in AttachData, within half a cell of the grid. With `cuts` (made for this
// grid), the terms that couple nodes across a fault are left out as in
// AssembleSmoothness and AttachData. Returns the points attached.
int AssembleSurface(PreciseCurvatureSystem& system, const SurfaceWeights& weights,
                    const std::vector<SolverPoint>& points, double DX, double DY, const FaultCuts* cuts = nullptr);

}  // namespace gridora
