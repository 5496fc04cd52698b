#include "interpolation/minimum_curvature.h"

#include <new>
#include <vector>

#include "document/random_data.h"
#include "interpolation/minimum_curvature_solver.h"
#include "interpolation/minimum_curvature_system.h"
#include "platform/diagnostic_file.h"
#include "platform/feedback.h"
#include "platform/trace.h"

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
    accepted.points.push_back({static_cast<float>(points[p].x), static_cast<float>(points[p].y),
                               static_cast<float>(points[p].z)});
    accepted.positions.push_back(p + 1);
  }
  return accepted;
}

void WriteLog(int count, const AcceptedPoints& accepted, int NX, int NY, float DX, float DY, const float* layer) {
  DiagnosticFile log(fmt::sprintf("interpolation_%d.txt", 0));
  if (!log.IsOpen()) return;
  log.Printf("np=%d\n", count);
  for (std::size_t p = 0; p < accepted.points.size(); ++p) {
    const SolverPoint& point = accepted.points[p];
    log.Printf("%d %f %f %f \n", accepted.positions[p], double{point.x}, double{point.y}, double{point.z});
  }
  for (int i = 0; i < NX; ++i) log.Printf("%d yg=%f \n", i, double{static_cast<float>(i) * DX});
  for (int j = 0; j < NY; ++j) log.Printf("%d yg=%f \n", j, double{static_cast<float>(j) * DY});
  for (int i = 0; i < NX; ++i)
    for (int j = 0; j < NY; ++j) log.Printf(" %d %d %f \n", i, j, double{layer[static_cast<std::size_t>(i) * NY + j]});
  log.Close();
}

}  // namespace

MinimumCurvatureResult InterpolateMinimumCurvature(int NX, int NY, float DX, float DY, float* layer,
                                                   const DataPoint* points, int count, float w1, float w2,
                                                   float wd, Feedback* feedback, std::uint64_t memoryLimit) {
  using Status = MinimumCurvatureResult::Status;
  MinimumCurvatureResult result;
  std::vector<double> u;
  AcceptedPoints accepted;
  try {
    if (feedback) feedback->SetStage("Assembling the equations");
    Report(feedback, 0.0);
    accepted = AcceptPoints(points, count);
    MinimumCurvatureSystem system(NX, NY);
    AssembleSmoothness(system, w1, w2);
    AttachData(system, accepted.points, DX, DY, wd);
    Report(feedback, 1.0);
    if (Canceled(feedback)) return {Status::Canceled, 0, 0};

    MinimumCurvatureSolution solution = SolveMinimumCurvature(system, feedback, memoryLimit);
    switch (solution.status) {
      case MinimumCurvatureSolution::Status::Canceled:
        return {Status::Canceled, 0, 0};
      case MinimumCurvatureSolution::Status::OutOfMemory:
        return {Status::OutOfMemory, 0, solution.bytesNeeded};
      case MinimumCurvatureSolution::Status::NotPositiveDefinite:
        Trace("Can not solve \n");
        result.flag = -2;
        break;
      case MinimumCurvatureSolution::Status::Solved:
        u = std::move(solution.u);
        break;
    }
  } catch (const std::bad_alloc&) {
    return {Status::OutOfMemory, 0, 0};
  }

  // Node (i, j) is unknown i*NY + j + 1; u stays empty when the solve failed.
  const std::size_t nodes = static_cast<std::size_t>(NX) * static_cast<std::size_t>(NY);
  for (std::size_t k = 0; k < nodes; ++k) layer[k] = u.empty() ? 0.0f : static_cast<float>(u[k]);
  WriteLog(count, accepted, NX, NY, DX, DY, layer);
  return result;
}

}  // namespace gridora
