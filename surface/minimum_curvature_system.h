#pragma once
// The normal equations of the minimum-curvature functional, assembled term by term in
// single precision. Node (i, j), i = 1..NX along x and j = 1..NY along y, is unknown
// k(i, j) = (i-1)*NY + j (j fastest), so the nodes (i+-1, j) lie NY unknowns away.
//
// Only the upper triangle A(k, l), l >= k, is kept, and only where a term can reach:
// the stencil couples a node with l - k in {0, 1, 2, NY-1, NY, NY+1, 2*NY}. Those are the
// columns 1, 2, 3, NY, NY+1, NY+2 and 2*NY+1 of a band of half width 2*NY; every other
// band entry is zero, so storing seven numbers a node instead of 2*NY+1 changes nothing
// in the sums (each entry receives the same single-precision terms in the same order).
#include <cstdint>
#include <vector>

namespace gridora {

class FaultCuts;

// A data point as the solver sees it: shifted to the grid origin, in single precision.
struct SolverPoint {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
};

// Real is float for the system assembled term by term below, double for the systems the
// surface options and the multigrid levels assemble (minimum_curvature_surface.h).
template <typename Real>
class BasicMinimumCurvatureSystem {
 public:
  using Scalar = Real;

  // A zero system for an NX x NY grid (NX, NY >= 2). Throws std::bad_alloc.
  BasicMinimumCurvatureSystem(int nx, int ny);

  int NX() const { return nx_; }
  int NY() const { return ny_; }
  std::int64_t N() const { return static_cast<std::int64_t>(nx_) * ny_; }
  std::int64_t Node(int i, int j) const { return static_cast<std::int64_t>(i - 1) * ny_ + j; }

  // The distinct upper-triangle offsets l - k of the stencil, ascending (fewer than seven
  // when NY < 4 makes some coincide).
  const std::vector<int>& Offsets() const { return offsets_; }
  int SlotCount() const { return static_cast<int>(offsets_.size()); }

  // A(k, l) for 1 <= k <= l <= N; l - k must be one of Offsets().
  Real& At(std::int64_t k, std::int64_t l) { return entries_[Index(k, l)]; }
  // A(k, l), 0 outside the stencil or the matrix (either triangle).
  Real Entry(std::int64_t k, std::int64_t l) const;
  // Row k's entries in the order of Offsets().
  const Real* Row(std::int64_t k) const { return entries_.data() + (k - 1) * SlotCount(); }
  // b(k), 1 <= k <= N.
  Real& Rhs(std::int64_t k) { return rhs_[static_cast<std::size_t>(k - 1)]; }
  Real Rhs(std::int64_t k) const { return rhs_[static_cast<std::size_t>(k - 1)]; }

  // Sets every entry and the right-hand side to zero.
  void Clear();

  // Bytes this system holds for an NX x NY grid.
  static std::uint64_t BytesFor(int nx, int ny);

 private:
  std::size_t Index(std::int64_t k, std::int64_t l) const {
    return static_cast<std::size_t>(k - 1) * offsets_.size() + static_cast<std::size_t>(slotOfOffset_[l - k]);
  }

  int nx_, ny_;
  std::vector<int> offsets_;
  std::vector<int> slotOfOffset_;  // offset 0..2*NY -> slot, -1 outside the stencil
  std::vector<Real> entries_;      // N rows of SlotCount() entries
  std::vector<Real> rhs_;
};

using MinimumCurvatureSystem = BasicMinimumCurvatureSystem<float>;
using PreciseCurvatureSystem = BasicMinimumCurvatureSystem<double>;
extern template class BasicMinimumCurvatureSystem<float>;
extern template class BasicMinimumCurvatureSystem<double>;

// Adds w*(c1*u(i,j) + c2*u(i,j+1) + c3*u(i+1,j) + c4*u(i+1,j+1) - f)^2 for cell (i, j),
// 1 <= i < NX, 1 <= j < NY: for each of the cell's nodes p in that order, h = w*c_p, then
// A(k_p, k_q) += h*c_q for q = p and every later node, and b(k_p) += h*f.
void AddCellTerm(MinimumCurvatureSystem& system, int i, int j, float w, const float c[4], float f);

// Zeroes the system, then adds the tension w1 (squared first differences along x, then
// y), the curvature w2 (squared second differences along x, then y) and the twist
// 2*w2 (squared mixed differences of every cell), in node-index space. With `cuts`, the
// terms that couple nodes across a fault are left out (fault_cuts.h); without, every
// term is added, in the same order either way.
void AssembleSmoothness(MinimumCurvatureSystem& system, float w1, float w2, const FaultCuts* cuts = nullptr);

// Adds wd*(bilinear interpolant at the point - z)^2 for every point within half a cell
// of the grid (node (i, j) at ((i-1)*DX, (j-1)*DY)); returns the number of points added.
// Points with a coordinate or value that is not finite are left out.
// Points in the margin beyond the edge nodes extrapolate the bilinear weights. With
// `cuts`, a point in a cell a fault reaches into keeps the corners on its side, its
// weights rescaled to sum to 1 (a point that reaches none is left out).
int AttachData(MinimumCurvatureSystem& system, const std::vector<SolverPoint>& points, float DX, float DY, float wd,
               const FaultCuts* cuts = nullptr);

}  // namespace gridora
