#pragma once
// Minimum-curvature gridding of scattered points: assembly, solve and the run's log
// "interpolation_0.txt". The functional and the solver are described at the top of
// minimum_curvature_solver.cpp.
#include <cstdint>
#include <vector>

#include "document/polyline.h"
#include "platform/outcome.h"
#include "surface/minimum_curvature_surface.h"

namespace gridora {

class Feedback;
struct DataPoint;

inline constexpr float kTensionWeight = 0.5f;    // w1
inline constexpr float kCurvatureWeight = 0.5f;  // w2
inline constexpr float kDataWeight = 32.0f;      // wd
// Points with a value at or below this are missing measurements: left out of the solve.
inline constexpr double kMissingValue = -10000.0;

struct MinimumCurvatureResult {
  // The solver's outcome. Done: the layer holds the grid. Singular: the factorisation met
  // a pivot at or below its limit (no point pinned the grid down); the run still
  // completes, with every node 0. Canceled, OutOfMemory, NotConverged (the iterative
  // solver stopped at its iteration cap): nothing was written.
  Outcome outcome;
  std::uint64_t bytesNeeded = 0;  // for OutOfMemory: what the solve would take (0: unknown)
  // The iterative solver's iterations and final relative residual (0 for the direct one).
  int iterations = 0;
  double residual = 0.0;
};

// Automatic solver choice. The multigrid solver is the faster one at every size measured
// (2,000 points, 2 cores: 2x at 51 x 51, 9x at 301 x 301, 11x at 1001 x 1001, where the
// factor also takes 1.5 GB), but its grid differs from the exact minimiser by up to
// 1e-5 of the range, which shows in the sixth decimal of the log. So grids below a
// million nodes, where the factorisation still ends within seconds, keep the
// factorisation's result; larger grids, and any grid whose factor would not fit the
// memory limit, go to the multigrid solver. The exact fit stays with the factorisation
// while it fits: its data terms are constraints that the coarse grids cannot all meet,
// and the iteration then needs about one step per point.
inline constexpr std::int64_t kMultigridFromNodes = 1000000;

// True when `options` send an NX x NY grid to the multigrid solver, given the bytes the
// solve may take (0: no limit).
bool UsesMultigrid(int NX, int NY, const SurfaceOptions& options, std::uint64_t memoryLimit);

// What gridding NX x NY nodes is expected to take in bytes with the solver `options`
// choose (assembled system and solve), before anything is allocated.
std::uint64_t EstimateGriddingBytes(int NX, int NY, const SurfaceOptions& options, std::uint64_t memoryLimit);

// Grids `points` (already shifted to the grid origin, count of them) onto NX x NY nodes
// (NX, NY >= 2) spaced DX, DY: node (i, j) at (i*DX, j*DY) goes to layer[i*NY + j].
// Points with z <= kMissingValue are left out. Writes the log "interpolation_0.txt" in
// the current directory (a log that cannot be created is skipped). memoryLimit: bytes
// the solve may take (0: no limit). On Canceled, OutOfMemory or NotConverged the layer
// and the log are untouched. options: the surface options; their defaults keep the
// functional w1, w2, wd in node-index units, otherwise w1 and w2 give way to the
// options' tension. faults: lines shifted to the grid origin as the points are (null or
// empty: none); every term of the functional that couples nodes on opposite sides of one
// is left out (fault_cuts.h), with either solver. A part of the grid that faults cut off
// from every point leaves the system singular (outcome Singular).
MinimumCurvatureResult InterpolateMinimumCurvature(int NX, int NY, float DX, float DY, float* layer,
                                                   const DataPoint* points, int count, float w1, float w2, float wd,
                                                   Feedback* feedback = nullptr, std::uint64_t memoryLimit = 0,
                                                   const SurfaceOptions& options = SurfaceOptions{},
                                                   const std::vector<Polyline>* faults = nullptr);

}  // namespace gridora
