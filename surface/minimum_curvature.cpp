#include "surface/minimum_curvature.h"

#include <fmt/compile.h>
#include <fmt/format.h>

#include <algorithm>
#include <iterator>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "document/random_data.h"
#include "platform/diagnostic_file.h"
#include "platform/feedback.h"
#include "platform/trace.h"
#include "surface/fault_cuts.h"
#include "surface/minimum_curvature_multigrid.h"
#include "surface/minimum_curvature_solver.h"
#include "surface/minimum_curvature_system.h"
#include "surface/serial_parallel_regions.h"

namespace gridora {
namespace {

// The points that take part, in input order, with their 1-based input positions.
struct AcceptedPoints {
  std::vector<SolverPoint> points;
  std::vector<int> positions;
};

AcceptedPoints AcceptPoints(const DataPoint* points, int count) {
  AcceptedPoints accepted;
  for (int p = 0; p < count; ++p) {
    if (!(points[p].z > kMissingValue)) continue;
    accepted.points.push_back(
        {static_cast<float>(points[p].x), static_cast<float>(points[p].y), static_cast<float>(points[p].z)});
    accepted.positions.push_back(p + 1);
  }
  return accepted;
}

// The lines are formatted with fmt's compiled formats: "{:f}" writes the digits printf's
// "%f" writes (both round the exact binary value, ties to even; "nan", "inf" alike), at
// a fraction of the cost of parsing a printf format for every line.
//
// Writes lines 0..count-1, each appended to its piece by line(k, piece), in order: the
// pieces of a round are formatted on every core (a million points and a million nodes
// make two million formatted lines), then written one after the other.
template <typename Line>
void WriteLines(DiagnosticFile& log, std::size_t count, const Line& line) {
  constexpr std::size_t kLinesPerPiece = 16384, kPiecesPerRound = 16;
  std::vector<std::string> pieces(kPiecesPerRound);
  for (std::size_t first = 0; first < count; first += kLinesPerPiece * kPiecesPerRound) {
    const std::size_t pieceCount = std::min(kPiecesPerRound, (count - first + kLinesPerPiece - 1) / kLinesPerPiece);
    bool outOfMemory = false;
#pragma omp parallel for schedule(dynamic, 1)
    for (std::size_t q = 0; q < pieceCount; ++q) {
      try {
        std::string& piece = pieces[q];
        piece.clear();
        const std::size_t begin = first + q * kLinesPerPiece, end = std::min(count, begin + kLinesPerPiece);
        for (std::size_t k = begin; k < end; ++k) line(k, piece);
      } catch (const std::bad_alloc&) {
#pragma omp atomic write
        outOfMemory = true;
      }
    }
    if (outOfMemory) throw std::bad_alloc();
    for (std::size_t q = 0; q < pieceCount; ++q) log.Write(pieces[q]);
  }
}

void WriteLog(int count, const AcceptedPoints& accepted, int NX, int NY, float DX, float DY, const float* layer) {
  DiagnosticFile log(fmt::sprintf("interpolation_%d.txt", 0));
  if (!log.IsOpen()) return;
  log.Printf("np=%d\n", count);
  WriteLines(log, accepted.points.size(), [&](std::size_t p, std::string& out) {
    const SolverPoint& point = accepted.points[p];
    fmt::format_to(std::back_inserter(out), FMT_COMPILE("{} {:f} {:f} {:f} \n"), accepted.positions[p], double{point.x},
                   double{point.y}, double{point.z});
  });
  for (int i = 0; i < NX; ++i) log.Printf("%d yg=%f \n", i, double{static_cast<float>(i) * DX});
  for (int j = 0; j < NY; ++j) log.Printf("%d yg=%f \n", j, double{static_cast<float>(j) * DY});
  const std::size_t ny = static_cast<std::size_t>(NY);
  WriteLines(log, static_cast<std::size_t>(NX) * ny, [&](std::size_t k, std::string& out) {
    fmt::format_to(std::back_inserter(out), FMT_COMPILE(" {} {} {:f} \n"), static_cast<int>(k / ny),
                   static_cast<int>(k % ny), double{layer[k]});
  });
  log.Close();
}

// Solves the assembled system with the solver chosen for it.
template <typename System>
MinimumCurvatureSolution SolveWith(const System& system, bool multigrid, const SurfaceWeights& weights,
                                   const std::vector<SolverPoint>& points, float DX, float DY, Feedback* feedback,
                                   std::uint64_t memoryLimit, const std::vector<Polyline>* faults) {
  if (!multigrid) return SolveMinimumCurvature(system, feedback, memoryLimit);
  MinimumCurvatureSolution refused;
  refused.bytesNeeded = System::BytesFor(system.NX(), system.NY()) + EstimateMultigridBytes(system.NX(), system.NY());
  if (memoryLimit != 0 && refused.bytesNeeded > memoryLimit) {
    refused.outcome = {OutcomeKind::OutOfMemory};
    return refused;
  }
  return SolveMinimumCurvatureMultigrid(system, weights, points, DX, DY, feedback, MultigridSettings{}, faults);
}

}  // namespace

bool UsesMultigrid(int NX, int NY, const SurfaceOptions& options, std::uint64_t memoryLimit) {
  switch (options.solver) {
    case SurfaceOptions::Solver::Direct: return false;
    case SurfaceOptions::Solver::Multigrid: return true;
    case SurfaceOptions::Solver::Automatic: break;
  }
  const bool factorFits = memoryLimit == 0 || EstimateMinimumCurvatureBytes(NX, NY) <= memoryLimit;
  if (options.fit == SurfaceOptions::Fit::Exact) return !factorFits;
  const std::int64_t nodes = static_cast<std::int64_t>(NX) * static_cast<std::int64_t>(NY);
  return nodes >= kMultigridFromNodes || !factorFits;
}

std::uint64_t EstimateGriddingBytes(int NX, int NY, const SurfaceOptions& options, std::uint64_t memoryLimit) {
  if (!UsesMultigrid(NX, NY, options, memoryLimit)) return EstimateMinimumCurvatureBytes(NX, NY);
  const std::uint64_t system = options.KeepsCommandFunctional() ? MinimumCurvatureSystem::BytesFor(NX, NY)
                                                                : PreciseCurvatureSystem::BytesFor(NX, NY);
  return system + EstimateMultigridBytes(NX, NY);
}

MinimumCurvatureResult InterpolateMinimumCurvature(int NX, int NY, float DX, float DY, float* layer,
                                                   const DataPoint* points, int count, float w1, float w2, float wd,
                                                   Feedback* feedback, std::uint64_t memoryLimit,
                                                   const SurfaceOptions& options, const std::vector<Polyline>* faults) {
  MinimumCurvatureResult result;
  const auto stopped = [](OutcomeKind kind) {
    MinimumCurvatureResult stop;
    stop.outcome = {kind};
    return stop;
  };
  // With no core to spare, the whole run keeps to this thread: a second thread would
  // wait for a core at every parallel region, and between regions it spins (the OpenMP
  // runtime's idle threads spin for milliseconds before they sleep), taking the core
  // the work needs. On a loaded machine of two cores that doubled the time of a run.
  std::optional<SerialParallelRegions> serial;
  if (IdleCores() < 2) serial.emplace();
  std::vector<double> u;
  AcceptedPoints accepted;
  try {
    if (feedback) feedback->SetStage("Assembling the equations");
    Report(feedback, 0.0);
    accepted = AcceptPoints(points, count);
    const bool multigrid = UsesMultigrid(NX, NY, options, memoryLimit);
    // Without faults nothing changes: no cuts, the terms in the same order.
    std::unique_ptr<FaultCuts> cuts;
    if (faults && !faults->empty()) {
      cuts = std::make_unique<FaultCuts>(NX, NY, DX, DY, *faults);
      if (cuts->Empty()) cuts.reset();
    }
    const std::vector<Polyline>* cutting = cuts ? faults : nullptr;
    MinimumCurvatureSolution solution;
    if (options.KeepsCommandFunctional()) {
      MinimumCurvatureSystem system(NX, NY);
      AssembleSmoothness(system, w1, w2, cuts.get());
      AttachData(system, accepted.points, DX, DY, wd, cuts.get());
      Report(feedback, 1.0);
      if (Canceled(feedback)) return stopped(OutcomeKind::Canceled);
      solution = SolveWith(system, multigrid, CommandWeights(w1, w2, wd), accepted.points, DX, DY, feedback,
                           memoryLimit, cutting);
    } else {
      PreciseCurvatureSystem system(NX, NY);
      const SurfaceWeights weights = OptionWeights(options, DX, DY, wd);
      AssembleSurface(system, weights, accepted.points, DX, DY, cuts.get());
      Report(feedback, 1.0);
      if (Canceled(feedback)) return stopped(OutcomeKind::Canceled);
      solution = SolveWith(system, multigrid, weights, accepted.points, DX, DY, feedback, memoryLimit, cutting);
    }
    result.iterations = solution.iterations;
    result.residual = solution.residual;
    result.outcome = solution.outcome;
    switch (solution.outcome.kind) {
      case OutcomeKind::Done: u = std::move(solution.u); break;
      case OutcomeKind::Singular: Trace("Can not solve \n"); break;
      case OutcomeKind::OutOfMemory: result.bytesNeeded = solution.bytesNeeded; return result;
      default: return result;
    }
  } catch (const std::bad_alloc&) {
    return stopped(OutcomeKind::OutOfMemory);
  }

  // Node (i, j) is unknown i*NY + j + 1; u stays empty when the solve failed.
  const std::size_t nodes = static_cast<std::size_t>(NX) * static_cast<std::size_t>(NY);
  for (std::size_t k = 0; k < nodes; ++k) layer[k] = u.empty() ? 0.0f : static_cast<float>(u[k]);
  WriteLog(count, accepted, NX, NY, DX, DY, layer);
  return result;
}

}  // namespace gridora
