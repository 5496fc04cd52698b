#pragma once
// The surface options of minimum curvature, kept in the profile: "fSurfaceTension"
// (0..1, "%f" text), "iSurfaceFit" (0 the standard data weight, 1 exact fit) and
// "iSurfaceSolver" (0 automatic, 1 direct, 2 multigrid). A profile without them, or with
// values out of range, gives the command's own functional and the automatic solver.
#include "surface/minimum_curvature_surface.h"

namespace gridora {

class Profile;

SurfaceOptions ReadSurfaceOptions(Profile& profile);
void WriteSurfaceOptions(Profile& profile, const SurfaceOptions& options);

}  // namespace gridora
