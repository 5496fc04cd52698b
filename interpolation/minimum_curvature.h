#pragma once
// Minimum-curvature gridding of scattered points: assembly, solve and the run's log
// "interpolation_0.txt". The functional and the solver are described at the top of
// minimum_curvature_solver.cpp.
#include <cstdint>

namespace gridora {

class Feedback;
struct DataPoint;

inline constexpr float kTensionWeight = 0.5f;    // w1
inline constexpr float kCurvatureWeight = 0.5f;  // w2
inline constexpr float kDataWeight = 32.0f;      // wd
// Points with a value at or below this are missing measurements: left out of the solve.
inline constexpr double kMissingValue = -10000.0;

struct MinimumCurvatureResult {
  enum class Status {
    // The layer holds the result; flag says whether the system was solved.
    Completed,
    // Nothing was written.
    Canceled,
    OutOfMemory,
  };
  Status status = Status::Completed;
  // 0: solved. -2: the factorisation met a pivot at or below its limit (no point pinned
  // the grid down); every node is 0.
  int flag = 0;
  std::uint64_t bytesNeeded = 0;  // for OutOfMemory: what the solve would take
};

// Grids `points` (already shifted to the grid origin, count of them) onto NX x NY nodes
// (NX, NY >= 2) spaced DX, DY: node (i, j) at (i*DX, j*DY) goes to layer[i*NY + j].
// Points with z <= kMissingValue are left out. Writes the log "interpolation_0.txt" in
// the current directory (a log that cannot be created is skipped). memoryLimit: bytes
// the solve may take (0: no limit). On Canceled or OutOfMemory the layer and the log
// are untouched.
MinimumCurvatureResult InterpolateMinimumCurvature(int NX, int NY, float DX, float DY, float* layer,
                                                   const DataPoint* points, int count, float w1, float w2,
                                                   float wd, Feedback* feedback = nullptr,
                                                   std::uint64_t memoryLimit = 0);

}  // namespace gridora
