#pragma once
// Solves the minimum-curvature normal equations A*u = b (minimum_curvature_system.h) in
// double precision by a sparse Cholesky factorisation; see the top of the .cpp for what
// is minimised and why this solver.
#include <cstdint>
#include <vector>

#include "platform/outcome.h"
#include "surface/minimum_curvature_system.h"

namespace gridora {

class Feedback;

struct MinimumCurvatureSolution {
  // Done; Singular when a pivot of the factorisation came out at or below kPivotLimit
  // (the data do not pin the grid down); OutOfMemory when the factorisation needs more
  // memory than the machine has (bytesNeeded says how much) or an allocation failed;
  // Canceled; NotConverged when the iterative solver reached its iteration cap before its
  // tolerance. u is empty unless Done.
  Outcome outcome;
  std::vector<double> u;  // u[k-1] is unknown k, when Done
  std::uint64_t bytesNeeded = 0;
  // The iterative solver's last iteration and relative residual (0 for the direct one).
  int iterations = 0;
  double residual = 0.0;
};

// A Schur complement pivot at or below this means the system is singular to working
// accuracy. The entries of A are sums of the weights (0.5, 1, 32 from the command), so
// a true pivot of a grid with data is many orders above it.
inline constexpr double kPivotLimit = 1e-10;

// What solving an NX x NY grid is expected to take in bytes (assembled system, sparse
// matrix, factor, work), before anything is allocated.
std::uint64_t EstimateMinimumCurvatureBytes(int nx, int ny);

// Factorises and solves. memoryLimit: the bytes the solve may take (0: no limit); a
// factor larger than that is refused with OutOfMemory before it is allocated.
// Polls feedback between the stages (ordering, factorisation, solve).
MinimumCurvatureSolution SolveMinimumCurvature(const MinimumCurvatureSystem& system, Feedback* feedback,
                                               std::uint64_t memoryLimit);
// The same for a system assembled in double precision (the surface options).
MinimumCurvatureSolution SolveMinimumCurvature(const PreciseCurvatureSystem& system, Feedback* feedback,
                                               std::uint64_t memoryLimit);

}  // namespace gridora
