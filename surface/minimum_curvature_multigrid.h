#pragma once
// Solves the minimum-curvature normal equations A*u = b (minimum_curvature_system.h) by
// conjugate gradients preconditioned with a geometric multigrid V-cycle, in memory
// proportional to the node count; see the top of the .cpp for the method and why.
#include <cstdint>
#include <vector>

#include "document/polyline.h"
#include "surface/minimum_curvature_solver.h"
#include "surface/minimum_curvature_surface.h"
#include "surface/minimum_curvature_system.h"

namespace gridora {

class Feedback;

struct MultigridSettings {
  // Stop when the largest magnitude of the preconditioned residual M*(b - A*u), the
  // V-cycle's estimate of the error, falls to this fraction of the data's value range.
  // Checked against the direct solver: the grid then lies within 1e-5 of the value range
  // of the exact minimiser.
  double tolerance = 1e-6;
  // Beyond this the solve is reported as not converged; well-posed grids need tens.
  int maxIterations = 300;
};

// Solves `system` (assembled on NX x NY nodes spaced DX, DY from `weights` and `points`:
// the coarse levels assemble the same functional on coarser grids). Reports the
// iteration and the relative preconditioned residual through feedback and polls it
// between iterations. Singular when the data do not pin the grid down. `faults` (in the
// points' frame; null or empty: none): the lines `system` was assembled with, which
// every coarse level leaves its terms across too (fault_cuts.h).
MinimumCurvatureSolution SolveMinimumCurvatureMultigrid(const MinimumCurvatureSystem& system,
                                                        const SurfaceWeights& weights,
                                                        const std::vector<SolverPoint>& points, double DX, double DY,
                                                        Feedback* feedback, const MultigridSettings& settings = {},
                                                        const std::vector<Polyline>* faults = nullptr);
MinimumCurvatureSolution SolveMinimumCurvatureMultigrid(const PreciseCurvatureSystem& system,
                                                        const SurfaceWeights& weights,
                                                        const std::vector<SolverPoint>& points, double DX, double DY,
                                                        Feedback* feedback, const MultigridSettings& settings = {},
                                                        const std::vector<Polyline>* faults = nullptr);

// Bytes the multigrid solve takes besides the assembled fine system: the iteration's
// vectors, the coarse levels and the solution.
std::uint64_t EstimateMultigridBytes(int nx, int ny);

}  // namespace gridora
