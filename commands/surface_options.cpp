#include "commands/surface_options.h"

#include "platform/profile.h"

namespace gridora {
namespace {

constexpr const char* kTensionKey = "fSurfaceTension";
constexpr const char* kFitKey = "iSurfaceFit";
constexpr const char* kSolverKey = "iSurfaceSolver";

}  // namespace

SurfaceOptions ReadSurfaceOptions(Profile& profile) {
  SurfaceOptions options;
  float tension = static_cast<float>(options.tension);
  if (ReadProfileFloat(profile, kTensionKey, tension) && tension >= 0.0f && tension <= 1.0f) options.tension = tension;
  if (ReadProfileInt(profile, kFitKey, 0) == 1) options.fit = SurfaceOptions::Fit::Exact;
  const int solver = ReadProfileInt(profile, kSolverKey, 0);
  if (solver == 1) options.solver = SurfaceOptions::Solver::Direct;
  if (solver == 2) options.solver = SurfaceOptions::Solver::Multigrid;
  return options;
}

void WriteSurfaceOptions(Profile& profile, const SurfaceOptions& options) {
  WriteProfileFloat(profile, kTensionKey, static_cast<float>(options.tension));
  WriteProfileInt(profile, kFitKey, options.fit == SurfaceOptions::Fit::Exact ? 1 : 0);
  WriteProfileInt(profile, kSolverKey, static_cast<int>(options.solver));
}

}  // namespace gridora
