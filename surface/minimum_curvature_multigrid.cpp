// Minimum curvature on grids too large for a direct factorisation: the same normal
// equations A*u = b (the functional at the top of minimum_curvature_solver.cpp, or the
// surface options' one in minimum_curvature_surface.h) solved by conjugate gradients
// with a geometric multigrid preconditioner.
//
// Why iterate. The sparse Cholesky factor grows as N log N and its work as N^1.5: a
// 2001 x 2001 grid needs 6.4 GB, a 4001 x 4001 one about 25 GB. A has seven numbers a
// row; conjugate gradients need A and four vectors, so memory stays proportional to N.
// Plain CG would need thousands of iterations (the condition number of a fourth-order
// operator grows with the fourth power of the grid's width); a multigrid V-cycle as the
// preconditioner makes the count nearly independent of the grid size.
//
// The hierarchy. Each coarser level halves every axis that still has 5 nodes or more
// (coarse node I sits on fine node 2I; an odd count keeps both edges, an even one
// reaches one fine cell beyond) and assembles the same continuous functional on its
// grid (CoarserWeights: each term's weight rescaled for the longer differences and the
// fewer nodes), with the same data points. For the data terms this equals the Galerkin
// product P^T A P exactly (a bilinear function of a coarse cell stays bilinear on the
// fine cells inside it); for the smoothness terms it is the usual rediscretisation. The
// coarsest level (at most kCoarsestNodes nodes) is solved by a dense Cholesky
// factorisation; a non-positive pivot there means the data do not pin the grid down.
//
// One V-cycle: a forward Gauss-Seidel sweep, the residual restricted by P^T (bilinear
// interpolation transposed), the cycle on the coarser level from zero, its correction
// interpolated back, a backward Gauss-Seidel sweep. Forward before and backward after
// make the cycle a symmetric positive definite operator, as CG needs.
//
// Start and stop. The iteration starts from the coarse-to-fine solution: the coarsest
// level solved exactly, each finer level started from the interpolated coarser one and
// improved by one V-cycle. The preconditioned residual M*r is the V-cycle's estimate of
// the error A^-1 * r, off by at most 1/(1 - rho) for a cycle that contracts by rho; so
// the iteration stops when its largest magnitude falls to a tolerance times the value
// range of the data (MultigridSettings), or gives up at the iteration cap and says so.
// The plain residual would not do: with the exact fit's data weights a residual of 1e-7
// of the right-hand side still leaves smooth errors of a third of the range.
//
// Limits. The exact fit's data weights make every point a near-constraint; several points
// in one coarse cell cannot all be met there, so each point leaves an outlying eigenvalue
// of the preconditioned operator and the iteration needs about one step per point. The
// automatic choice keeps the exact fit on the factorisation while that fits.
//
// Precision: all vectors and sums in double precision; the fine matrix is read as it
// was assembled (single or double precision), the coarse levels in double.
//
// Threads: the Gauss-Seidel sweeps, most of the work, are sequential; the product with
// A, the interpolation to the finer grid and the vector operations of large levels run
// on every core.
#include "surface/minimum_curvature_multigrid.h"

#include <fmt/printf.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <new>

#include "platform/feedback.h"
#include "platform/huge_pages.h"
#include "surface/fault_cuts.h"

namespace gridora {
namespace {

// An axis with fewer nodes is not halved any more.
constexpr int kMinimumHalvedNodes = 5;
// The coarsest level is solved densely: at most this many nodes (a 2 MB matrix).
constexpr std::int64_t kCoarsestNodes = 512;
// A dense pivot at or below this fraction of the largest diagonal entry is taken as zero.
constexpr double kRelativePivotLimit = 1e-12;

// The upper triangle of a level's matrix: row k (0-based) holds A(k, k + offsets[s]) in
// slot s, slot 0 being the diagonal.
template <typename Real>
struct Stencil {
  std::int64_t n = 0;
  int nx = 0, ny = 0;
  int slots = 0;
  const int* offsets = nullptr;
  const Real* values = nullptr;
  std::int64_t reach = 0;  // rows closer than this to either end need bounds checks

  explicit Stencil(const BasicMinimumCurvatureSystem<Real>& s)
      : n(s.N()),
        nx(s.NX()),
        ny(s.NY()),
        slots(s.SlotCount()),
        offsets(s.Offsets().data()),
        values(s.Row(1)),
        reach(s.Offsets().back()) {}

  double Diagonal(std::int64_t k) const { return values[k * slots]; }

  // Sum of A(k, l) * x(l) over l < k, from the rows above.
  double Lower(const double* x, std::int64_t k) const {
    double sum = 0.0;
    for (int s = 1; s < slots; ++s) {
      const std::int64_t o = offsets[s];
      if (k - o >= 0) sum += static_cast<double>(values[(k - o) * slots + s]) * x[k - o];
    }
    return sum;
  }

  // The same two sums with x(l) from read(l), for the rows near a block's edge.
  template <typename Read>
  double LowerWith(std::int64_t k, const Read& read) const {
    double sum = 0.0;
    for (int s = 1; s < slots; ++s) {
      const std::int64_t o = offsets[s];
      if (k - o >= 0) sum += static_cast<double>(values[(k - o) * slots + s]) * read(k - o);
    }
    return sum;
  }
  template <typename Read>
  double OffDiagonalWith(std::int64_t k, const Read& read) const {
    const Real* row = values + k * slots;
    double sum = 0.0;
    for (int s = 1; s < slots; ++s) {
      const std::int64_t o = offsets[s];
      if (k + o < n) sum += static_cast<double>(row[s]) * read(k + o);
      if (k - o >= 0) sum += static_cast<double>(values[(k - o) * slots + s]) * read(k - o);
    }
    return sum;
  }

  // Sum of A(k, l) * x(l) over l != k, from row k (l > k) and the rows above (l < k).
  double OffDiagonal(const double* x, std::int64_t k) const {
    const Real* row = values + k * slots;
    double sum = 0.0;
    if (k >= reach && k < n - reach) {
      for (int s = 1; s < slots; ++s) {
        const std::int64_t o = offsets[s];
        sum += static_cast<double>(row[s]) * x[k + o] + static_cast<double>(values[(k - o) * slots + s]) * x[k - o];
      }
      return sum;
    }
    for (int s = 1; s < slots; ++s) {
      const std::int64_t o = offsets[s];
      if (k + o < n) sum += static_cast<double>(row[s]) * x[k + o];
      if (k - o >= 0) sum += static_cast<double>(values[(k - o) * slots + s]) * x[k - o];
    }
    return sum;
  }
};

// Loops over this many entries or more run on every core; below, the threads' start
// costs more than the loop.
constexpr std::int64_t kParallelEntries = 1 << 16;

template <typename Real>
void Multiply(const Stencil<Real>& a, const double* x, double* y) {
#pragma omp parallel for schedule(static) if (a.n >= kParallelEntries)
  for (std::int64_t k = 0; k < a.n; ++k) y[k] = a.Diagonal(k) * x[k] + a.OffDiagonal(x, k);
}

// One Gauss-Seidel sweep, forward or backward; from x = 0 (a forward sweep) it needs no
// zeroed x, the nodes after k being still zero.
//
// Large levels sweep on two cores: the rows in two halves, each swept by its own thread,
// a half reading the other half's values as they were before the sweep (a copy of the
// rows within reach of the split). This is block Gauss-Seidel with the coupling between
// the halves taken from the previous values: the forward and the backward sweep stay
// each other's transposes, so the V-cycle stays symmetric for CG, and the diagonal of
// the fourth-order stencil outweighs the couplings across the split, so the sweep still
// smooths. The result does not depend on the number of threads or their timing.
template <typename Real>
void GaussSeidel(const Stencil<Real>& a, const double* b, double* x, bool forward, bool fromZero = false) {
  if (a.n < kParallelEntries || a.n < 8 * a.reach) {
    if (fromZero) {
      for (std::int64_t k = 0; k < a.n; ++k) x[k] = (b[k] - a.Lower(x, k)) / a.Diagonal(k);
    } else if (forward) {
      for (std::int64_t k = 0; k < a.n; ++k) x[k] = (b[k] - a.OffDiagonal(x, k)) / a.Diagonal(k);
    } else {
      for (std::int64_t k = a.n - 1; k >= 0; --k) x[k] = (b[k] - a.OffDiagonal(x, k)) / a.Diagonal(k);
    }
    return;
  }
  const std::int64_t split = a.n / 2;
  const std::int64_t haloBegin = split - a.reach, haloEnd = split + a.reach;
  std::vector<double> halo(static_cast<std::size_t>(haloEnd - haloBegin), 0.0);
  if (!fromZero) std::copy(x + haloBegin, x + haloEnd, halo.begin());
#pragma omp parallel for schedule(static, 1)
  for (int half = 0; half < 2; ++half) {
    const std::int64_t begin = half == 0 ? 0 : split, end = half == 0 ? split : a.n;
    const auto read = [&](std::int64_t l) {
      return l >= begin && l < end ? x[l] : halo[static_cast<std::size_t>(l - haloBegin)];
    };
    const auto update = [&](std::int64_t k) {
      const bool inside = k - a.reach >= begin && k + a.reach < end;
      double off;
      if (fromZero)
        off = inside ? a.Lower(x, k) : a.LowerWith(k, read);
      else
        off = inside ? a.OffDiagonal(x, k) : a.OffDiagonalWith(k, read);
      x[k] = (b[k] - off) / a.Diagonal(k);
    };
    if (forward || fromZero) {
      for (std::int64_t k = begin; k < end; ++k) update(k);
    } else {
      for (std::int64_t k = end - 1; k >= begin; --k) update(k);
    }
  }
}

// The coarse nodes a fine node interpolates from along one axis, with their weights.
struct Parents {
  int count;
  int index[2];
  double weight[2];
};
inline Parents ParentsOf(int i, int ratio) {
  if (ratio == 1 || i % 2 == 0) return {1, {i / ratio, 0}, {1.0, 0.0}};
  return {2, {i / 2, i / 2 + 1}, {0.5, 0.5}};
}

// The coarse nodes a fine node (i, j) interpolates from, with their weights. Across a
// fault (cuts of the fine grid) a fine node takes nothing from a parent on the other side,
// and its other parents' weights are rescaled to sum to 1: a correction on one side never
// reaches the other, as the coarse level's own terms do not.
struct NodeParents {
  int count = 0;
  std::int64_t index[4];
  double weight[4];
};
inline NodeParents ParentsOf(int i, int j, int rx, int ry, int coarseNy, const FaultCuts* cuts) {
  const Parents px = ParentsOf(i, rx), py = ParentsOf(j, ry);
  NodeParents parents;
  double sum = 0.0;
  bool dropped = false;
  for (int p = 0; p < px.count; ++p)
    for (int q = 0; q < py.count; ++q) {
      // The parent sits on fine node (index * ratio) along each axis.
      if (cuts && !cuts->Linked(i + 1, j + 1, px.index[p] * rx + 1, py.index[q] * ry + 1)) {
        dropped = true;
        continue;
      }
      parents.index[parents.count] = static_cast<std::int64_t>(px.index[p]) * coarseNy + py.index[q];
      parents.weight[parents.count] = px.weight[p] * py.weight[q];
      sum += parents.weight[parents.count];
      ++parents.count;
    }
  if (dropped)
    for (int p = 0; p < parents.count; ++p) parents.weight[p] /= sum;
  return parents;
}

// coarse += P^T (b - A x) over the fine grid (nx x ny), coarse grid ny = coarseNy.
template <typename Real>
void RestrictResidual(const Stencil<Real>& a, const double* b, const double* x, int rx, int ry, int coarseNy,
                      double* coarse, std::int64_t coarseCount, const FaultCuts* cuts) {
  std::fill(coarse, coarse + coarseCount, 0.0);
  if (cuts) {
    for (int i = 0; i < a.nx; ++i)
      for (int j = 0; j < a.ny; ++j) {
        const std::int64_t k = static_cast<std::int64_t>(i) * a.ny + j;
        const double r = b[k] - a.Diagonal(k) * x[k] - a.OffDiagonal(x, k);
        const NodeParents parents = ParentsOf(i, j, rx, ry, coarseNy, cuts);
        for (int p = 0; p < parents.count; ++p) coarse[parents.index[p]] += parents.weight[p] * r;
      }
    return;
  }
  for (int i = 0; i < a.nx; ++i) {
    const Parents px = ParentsOf(i, rx);
    for (int j = 0; j < a.ny; ++j) {
      const std::int64_t k = static_cast<std::int64_t>(i) * a.ny + j;
      const double r = b[k] - a.Diagonal(k) * x[k] - a.OffDiagonal(x, k);
      const Parents py = ParentsOf(j, ry);
      for (int p = 0; p < px.count; ++p)
        for (int q = 0; q < py.count; ++q)
          coarse[static_cast<std::int64_t>(px.index[p]) * coarseNy + py.index[q]] += px.weight[p] * py.weight[q] * r;
    }
  }
}

// fine += P coarse.
void Prolong(const double* coarse, int rx, int ry, int coarseNy, int nx, int ny, double* fine, const FaultCuts* cuts) {
  if (cuts) {
#pragma omp parallel for schedule(static) if (static_cast <std::int64_t>(nx) * ny >= kParallelEntries)
    for (int i = 0; i < nx; ++i)
      for (int j = 0; j < ny; ++j) {
        const NodeParents parents = ParentsOf(i, j, rx, ry, coarseNy, cuts);
        double sum = 0.0;
        for (int p = 0; p < parents.count; ++p) sum += parents.weight[p] * coarse[parents.index[p]];
        fine[static_cast<std::int64_t>(i) * ny + j] += sum;
      }
    return;
  }
#pragma omp parallel for schedule(static) if (static_cast <std::int64_t>(nx) * ny >= kParallelEntries)
  for (int i = 0; i < nx; ++i) {
    const Parents px = ParentsOf(i, rx);
    for (int j = 0; j < ny; ++j) {
      const Parents py = ParentsOf(j, ry);
      double sum = 0.0;
      for (int p = 0; p < px.count; ++p)
        for (int q = 0; q < py.count; ++q)
          sum += px.weight[p] * py.weight[q] * coarse[static_cast<std::int64_t>(px.index[p]) * coarseNy + py.index[q]];
      fine[static_cast<std::int64_t>(i) * ny + j] += sum;
    }
  }
}

// A = L L^T of the coarsest level, dense.
class DenseCholesky {
 public:
  template <typename Real>
  bool Factor(const Stencil<Real>& a) {
    n_ = a.n;
    l_.assign(static_cast<std::size_t>(n_ * n_), 0.0);
    double largest = 0.0;
    for (std::int64_t k = 0; k < n_; ++k)
      for (int s = 0; s < a.slots; ++s) {
        const std::int64_t l = k + a.offsets[s];
        if (l < n_) At(l, k) = a.values[k * a.slots + s];  // lower triangle, row l >= k
      }
    for (std::int64_t k = 0; k < n_; ++k) largest = std::max(largest, At(k, k));
    for (std::int64_t j = 0; j < n_; ++j) {
      double d = At(j, j);
      for (std::int64_t c = 0; c < j; ++c) d -= At(j, c) * At(j, c);
      if (!(d > kRelativePivotLimit * largest)) return false;
      d = std::sqrt(d);
      At(j, j) = d;
      for (std::int64_t r = j + 1; r < n_; ++r) {
        double s = At(r, j);
        for (std::int64_t c = 0; c < j; ++c) s -= At(r, c) * At(j, c);
        At(r, j) = s / d;
      }
    }
    return true;
  }

  void Solve(const double* b, double* x) const {
    for (std::int64_t r = 0; r < n_; ++r) {
      double s = b[r];
      for (std::int64_t c = 0; c < r; ++c) s -= At(r, c) * x[c];
      x[r] = s / At(r, r);
    }
    for (std::int64_t r = n_ - 1; r >= 0; --r) {
      double s = x[r];
      for (std::int64_t c = r + 1; c < n_; ++c) s -= At(c, r) * x[c];
      x[r] = s / At(r, r);
    }
  }

 private:
  double& At(std::int64_t r, std::int64_t c) { return l_[static_cast<std::size_t>(r * n_ + c)]; }
  double At(std::int64_t r, std::int64_t c) const { return l_[static_cast<std::size_t>(r * n_ + c)]; }
  std::int64_t n_ = 0;
  std::vector<double> l_;
};

// A coarser level: its ratio to the next finer level, its system and its vectors.
struct CoarseLevel {
  CoarseLevel(int nx, int ny, int rx_, int ry_) : rx(rx_), ry(ry_), system(nx, ny) {}
  int rx, ry;
  PreciseCurvatureSystem system;
  std::vector<double> x, b;
  std::unique_ptr<FaultCuts> cuts;  // the faults' cuts of this level's grid; null: none
};

// The coarse levels' grid sizes and ratios, finest first.
struct LevelShape {
  int nx, ny, rx, ry;
};
std::vector<LevelShape> CoarseShapes(int nx, int ny) {
  std::vector<LevelShape> shapes;
  while (static_cast<std::int64_t>(nx) * ny > kCoarsestNodes) {
    const int rx = nx >= kMinimumHalvedNodes ? 2 : 1;
    const int ry = ny >= kMinimumHalvedNodes ? 2 : 1;
    if (rx == 1 && ry == 1) break;
    nx = rx == 2 ? nx / 2 + 1 : nx;
    ny = ry == 2 ? ny / 2 + 1 : ny;
    shapes.push_back({nx, ny, rx, ry});
  }
  return shapes;
}

template <typename Real>
class Multigrid {
 public:
  Multigrid(const BasicMinimumCurvatureSystem<Real>& fine, const SurfaceWeights& weights,
            const std::vector<SolverPoint>& points, double DX, double DY, const std::vector<Polyline>* faults)
      : fine_(fine), fineSystem_(fine) {
    if (faults && !faults->empty()) fineCuts_ = std::make_unique<FaultCuts>(fine.NX(), fine.NY(), DX, DY, *faults);
    struct Plan {
      LevelShape shape;
      SurfaceWeights weights;
      double DX, DY;
    };
    std::vector<Plan> plans;
    SurfaceWeights w = weights;
    for (const LevelShape& shape : CoarseShapes(fine.NX(), fine.NY())) {
      DX *= shape.rx;
      DY *= shape.ry;
      w = CoarserWeights(w, shape.rx, shape.ry);
      plans.push_back({shape, w, DX, DY});
      levels_.push_back(std::make_unique<CoarseLevel>(shape.nx, shape.ny, shape.rx, shape.ry));
    }
    // Each level attaches every point again: with many points that is most of the set-up,
    // and the levels are independent, so they are assembled on every core.
    bool outOfMemory = false;
#pragma omp parallel for schedule(dynamic, 1)
    for (std::size_t l = 0; l < plans.size(); ++l) {
      try {
        CoarseLevel& level = *levels_[l];
        if (faults && !faults->empty()) {
          // The faults cut the coarse grid's own terms. A coarse node they cut off from
          // every neighbour keeps a unit diagonal, so the cycle stays positive definite.
          level.cuts =
              std::make_unique<FaultCuts>(plans[l].shape.nx, plans[l].shape.ny, plans[l].DX, plans[l].DY, *faults);
          AssembleSurface(level.system, plans[l].weights, points, plans[l].DX, plans[l].DY, level.cuts.get());
          for (std::int64_t k = 1; k <= level.system.N(); ++k)
            if (!(level.system.At(k, k) > 0.0)) level.system.At(k, k) = 1.0;
        } else {
          AssembleSurface(level.system, plans[l].weights, points, plans[l].DX, plans[l].DY);
        }
        AssignOnHugePages(level.x, static_cast<std::size_t>(level.system.N()), 0.0);
        AssignOnHugePages(level.b, static_cast<std::size_t>(level.system.N()), 0.0);
      } catch (const std::bad_alloc&) {
#pragma omp atomic write
        outOfMemory = true;
      }
    }
    if (outOfMemory) throw std::bad_alloc();
  }

  // False when the coarsest level is singular: the data do not pin the grid down.
  bool FactorCoarsest() {
    if (levels_.empty()) return coarsest_.Factor(fine_);
    return coarsest_.Factor(Stencil<double>(levels_.back()->system));
  }

  // z = M r: one V-cycle from zero.
  void Precondition(const double* r, double* z) {
    if (levels_.empty()) {
      coarsest_.Solve(r, z);
      return;
    }
    Cycle(fine_, r, z, 0, true);
  }

  // The coarse-to-fine start: x of the fine grid.
  void CoarseToFine(double* x) {
    std::fill(x, x + fine_.n, 0.0);
    if (levels_.empty()) {
      std::vector<double> b(static_cast<std::size_t>(fine_.n));
      for (std::int64_t k = 0; k < fine_.n; ++k) b[static_cast<std::size_t>(k)] = fineSystem_.Rhs(k + 1);
      coarsest_.Solve(b.data(), x);
      return;
    }
    for (std::size_t l = levels_.size(); l-- > 0;) {
      CoarseLevel& level = *levels_[l];
      const PreciseCurvatureSystem& s = level.system;
      for (std::int64_t k = 0; k < s.N(); ++k) level.b[static_cast<std::size_t>(k)] = s.Rhs(k + 1);
      std::fill(level.x.begin(), level.x.end(), 0.0);
      if (l + 1 == levels_.size()) {
        coarsest_.Solve(level.b.data(), level.x.data());
        continue;
      }
      const CoarseLevel& coarser = *levels_[l + 1];
      Prolong(coarser.x.data(), coarser.rx, coarser.ry, coarser.system.NY(), s.NX(), s.NY(), level.x.data(),
              level.cuts.get());
      Cycle(Stencil<double>(s), level.b.data(), level.x.data(), l + 1, false);
    }
    const CoarseLevel& first = *levels_.front();
    Prolong(first.x.data(), first.rx, first.ry, first.system.NY(), fine_.nx, fine_.ny, x, fineCuts_.get());
  }

  const Stencil<Real>& Fine() const { return fine_; }

 private:
  // One V-cycle on the level whose matrix is `a`, improving x for b (x taken as zero
  // when fromZero, whatever it holds); `next` indexes the coarser level in levels_.
  template <typename R>
  void Cycle(const Stencil<R>& a, const double* b, double* x, std::size_t next, bool fromZero) {
    GaussSeidel(a, b, x, true, fromZero);
    CoarseLevel& coarse = *levels_[next];
    // The cuts of this level's grid (the fine grid's, or a coarse level's).
    const FaultCuts* cuts = next == 0 ? fineCuts_.get() : levels_[next - 1]->cuts.get();
    RestrictResidual(a, b, x, coarse.rx, coarse.ry, coarse.system.NY(), coarse.b.data(), coarse.system.N(), cuts);
    if (next + 1 == levels_.size()) {
      coarsest_.Solve(coarse.b.data(), coarse.x.data());
    } else {
      Cycle(Stencil<double>(coarse.system), coarse.b.data(), coarse.x.data(), next + 1, true);
    }
    Prolong(coarse.x.data(), coarse.rx, coarse.ry, coarse.system.NY(), a.nx, a.ny, x, cuts);
    GaussSeidel(a, b, x, false);
  }

  Stencil<Real> fine_;
  const BasicMinimumCurvatureSystem<Real>& fineSystem_;
  std::unique_ptr<FaultCuts> fineCuts_;  // null without faults
  std::vector<std::unique_ptr<CoarseLevel>> levels_;
  DenseCholesky coarsest_;
};

// The sum in fixed pieces added in order, so that it does not depend on how many
// threads ran: the same data give the same grid on any machine and load.
double Dot(const std::vector<double>& a, const std::vector<double>& b) {
  constexpr int kPieces = 64;
  const std::int64_t n = static_cast<std::int64_t>(a.size());
  double partial[kPieces] = {};
#pragma omp parallel for schedule(static) if (n >= kParallelEntries)
  for (int piece = 0; piece < kPieces; ++piece) {
    const std::int64_t begin = n * piece / kPieces, end = n * (piece + 1) / kPieces;
    double sum = 0.0;
    for (std::int64_t k = begin; k < end; ++k) sum += a[k] * b[k];
    partial[piece] = sum;
  }
  double sum = 0.0;
  for (double piece : partial) sum += piece;
  return sum;
}

double LargestMagnitude(const std::vector<double>& a) {
  double largest = 0.0;
  const std::int64_t n = static_cast<std::int64_t>(a.size());
#pragma omp parallel for schedule(static) reduction(max : largest) if (n >= kParallelEntries)
  for (std::int64_t k = 0; k < n; ++k) largest = std::max(largest, std::fabs(a[k]));
  return largest;
}

// The spread of the points' values, the scale of the stopping rule (1 when they are all
// equal, which the flat start solves exactly).
double ValueRange(const std::vector<SolverPoint>& points) {
  double low = HUGE_VAL, high = -HUGE_VAL;
  for (const SolverPoint& p : points)
    if (std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z)) {
      low = std::min(low, static_cast<double>(p.z));
      high = std::max(high, static_cast<double>(p.z));
    }
  return high > low ? high - low : 1.0;
}

// The mean of the values of the points that take part, 0 when there are none.
double MeanValue(const std::vector<SolverPoint>& points) {
  double sum = 0.0;
  std::size_t count = 0;
  for (const SolverPoint& p : points)
    if (std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z)) {
      sum += p.z;
      ++count;
    }
  return count == 0 ? 0.0 : sum / static_cast<double>(count);
}

// A node without a term (every one cut by faults, no data) leaves the system singular;
// only faults can do that.
template <typename Real>
bool EveryDiagonalPositive(const BasicMinimumCurvatureSystem<Real>& system) {
  for (std::int64_t k = 1; k <= system.N(); ++k)
    if (!(system.Row(k)[0] > Real{0})) return false;
  return true;
}

template <typename Real>
MinimumCurvatureSolution Solve(const BasicMinimumCurvatureSystem<Real>& system, const SurfaceWeights& weights,
                               const std::vector<SolverPoint>& points, double DX, double DY, Feedback* feedback,
                               const MultigridSettings& settings, const std::vector<Polyline>* faults) {
  MinimumCurvatureSolution result;
  if (faults && !faults->empty() && !EveryDiagonalPositive(system)) {
    result.outcome = {OutcomeKind::Singular};
    return result;
  }
  try {
    if (feedback) {
      feedback->SetStage("Building the coarse grids");
      feedback->SetProgress(0.0);
    }
    Multigrid<Real> multigrid(system, weights, points, DX, DY, faults);
    if (!multigrid.FactorCoarsest()) {
      result.outcome = {OutcomeKind::Singular};
      return result;
    }
    if (Canceled(feedback)) {
      result.outcome = {OutcomeKind::Canceled};
      return result;
    }
    const Stencil<Real>& a = multigrid.Fine();
    const std::size_t n = static_cast<std::size_t>(a.n);
    std::vector<double> x, r, p, q;
    for (std::vector<double>* v : {&x, &r, &p, &q}) AssignOnHugePages(*v, n, 0.0);

    // The flat surface at the data's mean may be the minimiser already (all values
    // equal, or no data at all with a zero right-hand side).
    std::fill(p.begin(), p.end(), MeanValue(points));
    Multiply(a, p.data(), q.data());
    for (std::size_t k = 0; k < n; ++k) r[k] = system.Rhs(static_cast<std::int64_t>(k) + 1) - q[k];
    if (!(Dot(r, r) > 0.0)) {
      result.u = std::move(p);
      result.outcome = {OutcomeKind::Done};
      return result;
    }

    multigrid.CoarseToFine(x.data());
    Multiply(a, x.data(), q.data());
    for (std::size_t k = 0; k < n; ++k) r[k] = system.Rhs(static_cast<std::int64_t>(k) + 1) - q[k];
    const double range = ValueRange(points);
    multigrid.Precondition(r.data(), q.data());  // q holds z = M r until A p needs it
    double rz = Dot(r, q);
    double estimate = LargestMagnitude(q) / range;
    p = q;
    const double logTarget = std::log(settings.tolerance);
    for (int iteration = 1; estimate > settings.tolerance; ++iteration) {
      if (iteration > settings.maxIterations || !std::isfinite(estimate)) {
        result.outcome = {OutcomeKind::NotConverged};
        return result;
      }
      Multiply(a, p.data(), q.data());
      const double alpha = rz / Dot(p, q);
#pragma omp parallel for schedule(static) if (a.n >= kParallelEntries)
      for (std::int64_t k = 0; k < a.n; ++k) {
        x[k] += alpha * p[k];
        r[k] -= alpha * q[k];
      }
      multigrid.Precondition(r.data(), q.data());
      const double rzNext = Dot(r, q);
      estimate = LargestMagnitude(q) / range;
      result.iterations = iteration;
      result.residual = estimate;
      if (feedback) {
        feedback->SetStage(fmt::sprintf("Solving: iteration %d, residual %.2e", iteration, estimate));
        feedback->SetProgress(std::clamp(std::log(std::max(estimate, 1e-300)) / logTarget, 0.0, 1.0));
      }
      if (Canceled(feedback)) {
        result.outcome = {OutcomeKind::Canceled};
        return result;
      }
      const double beta = rzNext / rz;
      rz = rzNext;
#pragma omp parallel for schedule(static) if (a.n >= kParallelEntries)
      for (std::int64_t k = 0; k < a.n; ++k) p[k] = q[k] + beta * p[k];
    }
    result.u = std::move(x);
    result.outcome = {OutcomeKind::Done};
  } catch (const std::bad_alloc&) {
    result.u.clear();
    result.outcome = {OutcomeKind::OutOfMemory};
  }
  return result;
}

}  // namespace

MinimumCurvatureSolution SolveMinimumCurvatureMultigrid(const MinimumCurvatureSystem& system,
                                                        const SurfaceWeights& weights,
                                                        const std::vector<SolverPoint>& points, double DX, double DY,
                                                        Feedback* feedback, const MultigridSettings& settings,
                                                        const std::vector<Polyline>* faults) {
  return Solve(system, weights, points, DX, DY, feedback, settings, faults);
}

MinimumCurvatureSolution SolveMinimumCurvatureMultigrid(const PreciseCurvatureSystem& system,
                                                        const SurfaceWeights& weights,
                                                        const std::vector<SolverPoint>& points, double DX, double DY,
                                                        Feedback* feedback, const MultigridSettings& settings,
                                                        const std::vector<Polyline>* faults) {
  return Solve(system, weights, points, DX, DY, feedback, settings, faults);
}

std::uint64_t EstimateMultigridBytes(int nx, int ny) {
  const std::uint64_t n = static_cast<std::uint64_t>(nx) * static_cast<std::uint64_t>(ny);
  std::uint64_t bytes = 4 * 8 * n;  // x, r, p, q
  for (const LevelShape& shape : CoarseShapes(nx, ny)) {
    const std::uint64_t coarse = static_cast<std::uint64_t>(shape.nx) * static_cast<std::uint64_t>(shape.ny);
    bytes += coarse * (PreciseCurvatureSystem::BytesFor(shape.nx, shape.ny) / coarse + 2 * 8);
  }
  bytes += static_cast<std::uint64_t>(kCoarsestNodes * kCoarsestNodes) * 8;
  return bytes;
}

}  // namespace gridora
