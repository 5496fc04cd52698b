// Minimum curvature: the grid u is the minimiser of
//
//   F(u) = w1 * sum (first differences of u along x and y)^2               tension
//        + w2 * sum (second differences of u along x and y)^2              curvature
//        + 2*w2 * sum (mixed differences u(i,j)-u(i,j+1)-u(i+1,j)+u(i+1,j+1))^2   twist
//        + wd * sum over data points (bilinear interpolant of u at the point - z)^2
//
// with the differences taken in node-index space (w1 = w2 = 0.5, wd = 32 from the
// command). F is quadratic, so its minimiser solves the normal equations A*u = b, where
// A is symmetric positive definite as soon as one data point is attached (tension
// leaves only the constant free, and a data term fixes it). minimum_curvature_system.cpp
// assembles A and b term by term in single precision; this file solves the system.
//
// Why this solver. A has a 13-point stencil that reaches two nodes along each axis. In
// the natural order (y fastest) its half bandwidth is 2*NY, and a band Cholesky costs
// about 2*NX*NY^3 multiply-adds and NX*NY*(2*NY+1) stored numbers: in double precision
// 1.3e11 multiply-adds and 2 GB for 501 x 501 nodes, 16 GB for 1001 x 1001. The band is
// mostly fill: the matrix itself has seven numbers a row. A sparse Cholesky in a
// nested-dissection order (grid_dissection.h) stores O(N log N) numbers and costs
// O(N^1.5) operations, most of them in dense blocks that BLAS runs near the machine's
// peak: 1.0e10 operations and a 240 MB factor for 501 x 501 nodes, 8.2e10 and 1.1 GB
// for 1001 x 1001. CHOLMOD's supernodal factorisation (SuiteSparse) does exactly that
// and is a well-tried library. The order comes from the grid's geometry rather than from
// METIS: on a million nodes METIS takes longer than the factorisation, and its order
// needs more operations than the diagonal dissection.
//
// Why double precision. Single precision loses the minimiser when data are sparse and
// the grid fine: the smooth modes between distant points are barely constrained, the
// condition number of A grows with the grid, and a single-precision factor then misses
// the minimiser by up to 1% of the value range. In double precision the solve is
// backward stable (residuals near 1e-15 of the right-hand side); measured against an
// extended-precision solve of the functional it is within 2e-7 of the value range (the
// rounding of the single-precision coefficients), where 1e-5 is asked. The grid is
// stored in single precision afterwards.
//
// Where the time goes. The arithmetic of the factorisation is a minor part of a run:
// CHOLMOD clears its 240 MB factor before assembling into it and makes fresh copies of A
// for the analysis, and on 4 KB pages every first touch of that memory is a page fault
// (in a virtual machine the faults and the clearing took a third of the process). So
// CHOLMOD's blocks go on transparent huge pages (platform/huge_pages.h). CHOLMOD also
// opens an OpenMP region for every supernode and every update of one, a few hundred
// thousand small loops whose teams cost more in barriers and wake-ups than the loops
// take: the regions run on the calling thread without a team, the BLAS below them on
// the idle cores.
//
// Failure: a pivot at or below kPivotLimit (no data attached: the constant is free)
// reports Singular; memory that cannot be had reports OutOfMemory with the
// size needed. Nothing here ends the process.
#include "surface/minimum_curvature_solver.h"

#include <cholmod.h>

#include <dlfcn.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <new>
#include <thread>

#include "platform/feedback.h"
#include "platform/huge_pages.h"
#include "platform/polled_step.h"
#include "surface/grid_dissection.h"
#include "surface/serial_parallel_regions.h"

namespace gridora {
namespace {

using Index = SuiteSparse_long;

// Per-node bytes besides the factor: the assembled system (8 floats), the sparse upper
// triangle (7 entries of value and row index), the order and its inverse, right-hand
// side, solution and CHOLMOD's work vectors.
constexpr std::uint64_t kBytesPerNode = 8 * 4 + 7 * 16 + 2 * 8 + 3 * 8 + 10 * 8;
// Factor entries per node per log2(nodes) in the dissection order (measured: 6.1 at
// 101 x 101, 6.9 at 1001 x 1001); the up-front estimate takes less than the lowest
// figure so that it never refuses a grid the exact count after the ordering accepts.
constexpr double kFactorEntriesPerNodeLog = 6.0;

// Threads for the factorisation. BLAS (OpenBLAS) and CHOLMOD's own assembly loops
// (OpenMP) both start worker threads that spin while they wait. CHOLMOD's loops are
// small (one region per supernode and per update, a few hundred thousand for 501 x 501
// nodes) and memory-bound: even teams of one cost more in barriers and wake-ups than
// the loops take, so the step's regions run on its own thread without a team
// (serial_parallel_regions.h). BLAS gets the dense blocks, where threads pay, but only
// the cores the load leaves idle, at least one: when other programs keep the cores
// busy, spinning workers cost more than they save (measured: a quarter of the run in
// sched_yield and futex waits). The caller's settings come back afterwards.
class ThreadsFollowLoad {
 public:
  ThreadsFollowLoad() {
    static const Blas blas;
    setThreads_ = blas.setThreads;
    if (setThreads_) {
      previousBlasThreads_ = blas.getThreads();
      setThreads_(std::min(previousBlasThreads_, IdleCores()));
    }
  }
  ~ThreadsFollowLoad() {
    if (setThreads_) setThreads_(previousBlasThreads_);
  }
  ThreadsFollowLoad(const ThreadsFollowLoad&) = delete;
  ThreadsFollowLoad& operator=(const ThreadsFollowLoad&) = delete;

 private:
  // OpenBLAS's thread controls, when the BLAS in use is OpenBLAS.
  struct Blas {
    Blas() {
      setThreads = reinterpret_cast<void (*)(int)>(dlsym(RTLD_DEFAULT, "openblas_set_num_threads"));
      getThreads = reinterpret_cast<int (*)()>(dlsym(RTLD_DEFAULT, "openblas_get_num_threads"));
      if (!getThreads) setThreads = nullptr;
    }
    void (*setThreads)(int) = nullptr;
    int (*getThreads)() = nullptr;
  };

  const SerialParallelRegions serialRegions_;
  void (*setThreads_)(int) = nullptr;
  int previousBlasThreads_ = 1;
};

// CHOLMOD's allocations (through SuiteSparse's function pointers): blocks of at least
// this size are marked for huge pages before anything touches them.
constexpr std::size_t kHugeBlockBytes = 4 * kHugePageBytes;

void* MallocOnHugePages(std::size_t size) {
  void* block = std::malloc(size);
  if (block && size >= kHugeBlockBytes) AdviseHugePages(block, size);
  return block;
}

// A large calloc comes straight from mmap, zero and untouched: the mark still applies.
void* CallocOnHugePages(std::size_t count, std::size_t size) {
  void* block = std::calloc(count, size);
  if (block && size != 0 && count >= kHugeBlockBytes / size) AdviseHugePages(block, count * size);
  return block;
}

void* ReallocOnHugePages(void* old, std::size_t size) {
  void* block = std::realloc(old, size);
  if (block && size >= kHugeBlockBytes) AdviseHugePages(block, size);
  return block;
}

// Owns a CHOLMOD workspace and the objects made in it.
class Cholmod {
 public:
  Cholmod() {
    cholmod_l_start(&common_);
    // SuiteSparse's allocators are the process's: set on every start, to the same
    // functions. Their blocks are the C library's, freed by free() like any other.
    SuiteSparse_config.malloc_func = MallocOnHugePages;
    SuiteSparse_config.calloc_func = CallocOnHugePages;
    SuiteSparse_config.realloc_func = ReallocOnHugePages;
    common_.print = 0;  // failures come back as a status, never as console text
    common_.supernodal = CHOLMOD_SUPERNODAL;
    common_.nmethods = 1;
    common_.method[0].ordering = CHOLMOD_GIVEN;
    common_.postorder = 1;
    common_.quick_return_if_not_posdef = 1;
  }
  ~Cholmod() {
    if (x_) cholmod_l_free_dense(&x_, &common_);
    if (b_) cholmod_l_free_dense(&b_, &common_);
    if (factor_) cholmod_l_free_factor(&factor_, &common_);
    if (a_) cholmod_l_free_sparse(&a_, &common_);
    cholmod_l_finish(&common_);
  }
  Cholmod(const Cholmod&) = delete;
  Cholmod& operator=(const Cholmod&) = delete;

  bool OutOfMemory() const { return common_.status == CHOLMOD_OUT_OF_MEMORY; }

  cholmod_common common_;
  cholmod_sparse* a_ = nullptr;
  cholmod_factor* factor_ = nullptr;
  cholmod_dense* b_ = nullptr;
  cholmod_dense* x_ = nullptr;
};

void Stage(Feedback* feedback, const char* name) {
  if (!feedback) return;
  feedback->SetStage(name);
  feedback->SetProgress(0.0);
}

// The upper triangle of A in compressed columns: column l holds A(k, l) for the stencil
// rows k <= l, in ascending row order. Entries that are exactly zero (the couplings the
// numbering creates between the top of one node column and the bottom of the next) are
// left out so that they cause no fill.
template <typename System>
cholmod_sparse* UpperTriangle(const System& system, cholmod_common& common) {
  const Index n = system.N();
  const std::vector<int>& offsets = system.Offsets();
  const int slots = system.SlotCount();
  cholmod_sparse* a = cholmod_l_allocate_sparse(static_cast<std::size_t>(n), static_cast<std::size_t>(n),
                                                static_cast<std::size_t>(n) * slots, 1, 1, 1, CHOLMOD_REAL, &common);
  if (!a) return nullptr;
  auto* p = static_cast<Index*>(a->p);
  auto* i = static_cast<Index*>(a->i);
  auto* x = static_cast<double*>(a->x);
  Index count = 0;
  for (Index l = 1; l <= n; ++l) {
    p[l - 1] = count;
    for (int s = slots - 1; s >= 0; --s) {
      const Index k = l - offsets[static_cast<std::size_t>(s)];
      if (k < 1) continue;
      const double value = system.Row(k)[s];
      if (value == 0.0 && k != l) continue;
      i[count] = k - 1;
      x[count] = value;
      ++count;
    }
  }
  p[n] = count;
  return a;
}

std::uint64_t FactorBytes(const cholmod_factor& factor, Index n) {
  return 8 * (static_cast<std::uint64_t>(factor.xsize) + static_cast<std::uint64_t>(factor.ssize) +
              static_cast<std::uint64_t>(factor.maxcsize)) +
         kBytesPerNode * static_cast<std::uint64_t>(n);
}

// The smallest squared diagonal entry of a supernodal LL' factor: the smallest pivot of
// the elimination.
double SmallestPivot(const cholmod_factor& factor) {
  const auto* super = static_cast<const Index*>(factor.super);
  const auto* pi = static_cast<const Index*>(factor.pi);
  const auto* px = static_cast<const Index*>(factor.px);
  const auto* x = static_cast<const double*>(factor.x);
  double smallest = HUGE_VAL;
  for (std::size_t s = 0; s < factor.nsuper; ++s) {
    const Index columns = super[s + 1] - super[s];
    const Index rows = pi[s + 1] - pi[s];
    for (Index c = 0; c < columns; ++c) {
      const double d = x[px[s] + c + c * rows];
      smallest = std::fmin(smallest, d * d);
    }
  }
  return smallest;
}

}  // namespace

std::uint64_t EstimateMinimumCurvatureBytes(int nx, int ny) {
  const double n = static_cast<double>(nx) * static_cast<double>(ny);
  const double factorEntries = kFactorEntriesPerNodeLog * n * std::log2(std::fmax(n, 2.0));
  return static_cast<std::uint64_t>(n * static_cast<double>(kBytesPerNode) + 8.0 * factorEntries);
}

namespace {

template <typename System>
MinimumCurvatureSolution SolveSystem(const System& system, Feedback* feedback, std::uint64_t memoryLimit) {
  MinimumCurvatureSolution result;
  const Index n = system.N();
  try {
    // Ordering, factorisation and solve are single library calls that cannot poll:
    // each runs as a polled step (platform/polled_step.h), which may leave it running
    // after a Cancel, so the CHOLMOD state is shared with the step.
    auto shared = std::make_shared<Cholmod>();
    Cholmod& cholmod = *shared;
    cholmod_common& common = cholmod.common_;

    Stage(feedback, "Ordering the nodes");
    cholmod.a_ = UpperTriangle(system, common);
    if (!cholmod.a_) {
      result.outcome = {OutcomeKind::OutOfMemory};
      return result;
    }
    const int nx = system.NX(), ny = system.NY();
    if (!RunPolled(feedback, [shared, nx, ny] {
          const ThreadsFollowLoad threads;
          std::vector<Index> order = GridDissectionOrder(nx, ny);
          shared->factor_ = cholmod_l_analyze_p(shared->a_, order.data(), nullptr, 0, &shared->common_);
        })) {
      result.outcome = {OutcomeKind::Canceled};
      return result;
    }
    if (!cholmod.factor_) {
      result.outcome = {OutcomeKind::OutOfMemory};
      return result;
    }
    result.bytesNeeded = FactorBytes(*cholmod.factor_, n);
    if (memoryLimit != 0 && result.bytesNeeded > memoryLimit) {
      result.outcome = {OutcomeKind::OutOfMemory};
      return result;
    }
    Report(feedback, 1.0);
    if (Canceled(feedback)) {
      result.outcome = {OutcomeKind::Canceled};
      return result;
    }

    Stage(feedback, "Factorising");
    if (!RunPolled(feedback, [shared] {
          const ThreadsFollowLoad threads;
          cholmod_l_factorize(shared->a_, shared->factor_, &shared->common_);
        })) {
      result.outcome = {OutcomeKind::Canceled};
      return result;
    }
    if (cholmod.OutOfMemory()) {
      result.outcome = {OutcomeKind::OutOfMemory};
      return result;
    }
    if (common.status == CHOLMOD_NOT_POSDEF || cholmod.factor_->minor < static_cast<std::size_t>(n) ||
        !(SmallestPivot(*cholmod.factor_) > kPivotLimit)) {
      result.outcome = {OutcomeKind::Singular};
      return result;
    }
    Report(feedback, 1.0);
    if (Canceled(feedback)) {
      result.outcome = {OutcomeKind::Canceled};
      return result;
    }

    Stage(feedback, "Solving");
    cholmod_l_free_sparse(&cholmod.a_, &common);
    cholmod.b_ =
        cholmod_l_allocate_dense(static_cast<std::size_t>(n), 1, static_cast<std::size_t>(n), CHOLMOD_REAL, &common);
    if (!cholmod.b_) {
      result.outcome = {OutcomeKind::OutOfMemory};
      return result;
    }
    auto* b = static_cast<double*>(cholmod.b_->x);
    for (Index k = 1; k <= n; ++k) b[k - 1] = system.Rhs(k);
    if (!RunPolled(feedback, [shared] {
          const ThreadsFollowLoad threads;
          shared->x_ = cholmod_l_solve(CHOLMOD_A, shared->factor_, shared->b_, &shared->common_);
        })) {
      result.outcome = {OutcomeKind::Canceled};
      return result;
    }
    if (!cholmod.x_) {
      result.outcome = {OutcomeKind::OutOfMemory};
      return result;
    }
    const auto* x = static_cast<const double*>(cholmod.x_->x);
    result.u.assign(x, x + n);
    Report(feedback, 1.0);
    result.outcome = {OutcomeKind::Done};
  } catch (const std::bad_alloc&) {
    result.u.clear();
    result.outcome = {OutcomeKind::OutOfMemory};
  }
  return result;
}

}  // namespace

MinimumCurvatureSolution SolveMinimumCurvature(const MinimumCurvatureSystem& system, Feedback* feedback,
                                               std::uint64_t memoryLimit) {
  return SolveSystem(system, feedback, memoryLimit);
}

MinimumCurvatureSolution SolveMinimumCurvature(const PreciseCurvatureSystem& system, Feedback* feedback,
                                               std::uint64_t memoryLimit) {
  return SolveSystem(system, feedback, memoryLimit);
}

}  // namespace gridora
