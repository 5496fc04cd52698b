#pragma once
// The grid layout of the gridding commands ("Ninimum curvature", "Prediction"): the
// origin dialog confirms the corners of the area, the area dialog the spacing, which
// fixes the node counts. Also the hand-over of a finished grid.
//
// Asking changes nothing in the document: the corners become the point set's ranges
// only when the grid is handed over (HandOverGrid), so a refusal or a cancel at any step
// (the area dialog's too) leaves the document as it was, and the next run's origin
// dialog proposes what it proposed before.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "commands/command_table.h"
#include "document/node_layout.h"

namespace gridora {

struct GridModel;
struct RandomData;

// The corners the origin dialog confirmed.
struct GridCorners {
  double xMinimum = 0, yMinimum = 0;
  double xMaximum = 0, yMaximum = 0;
};

// What the dialogs confirmed: the nodes (origin at the lower corner) and the corners.
struct GridRequest {
  NodeLayout nodes;
  GridCorners corners;
};

// The spacing the area dialog proposes on both axes: `spacing`, or less when
// `atMostTenthOfExtent` and a tenth of the area's width or height is smaller.
struct SpacingProposal {
  float spacing = 1.0f;
  bool atMostTenthOfExtent = false;
};

struct AskedGrid {
  CommandStatus status = CommandStatus::Canceled;  // Done: `request` holds the answer
  GridRequest request;
};

// The most nodes a gridding command computes: 10,000 x 10,000. Beyond it the grid alone
// takes gigabytes and a kriging prediction runs for hours, whatever memory is free; an
// origin typed wrongly by orders of magnitude is the usual cause.
inline constexpr std::uint64_t kMaximumComputedNodes = 100'000'000;

// Runs both dialogs on the primary points. Failed: an empty area, a spacing of 0 or
// less, or more nodes than a grid may hold or than kMaximumComputedNodes; the user has
// been told and the document is as it was.
// `memoryRefusal` says why a layout cannot be computed in the memory there is (the
// gridding run's own check): the area dialog refuses such a spacing before OK. It is
// asked only for layouts the command's other rules would take.
using LayoutRefusal = std::function<std::optional<std::string>(const NodeLayout&)>;
AskedGrid AskGridLayout(CommandContext& c, const SpacingProposal& proposal, const LayoutRefusal& memoryRefusal = {});

// Moves the new grid's origin, spacing, shape and storage into the document's grid and
// makes the confirmed corners the point set's ranges; every other field of the
// document's grid (titles, colours, scales, axes) stays, but text labels go when the
// shape changes.
void HandOverGrid(GridModel& grid, RandomData& points, const GridCorners& corners, GridModel& result);

// The node count along one axis, or 0 when the spacing would give more nodes than any
// grid may hold (the count would overflow).
int SafeNodeCount(float extent, float spacing);

}  // namespace gridora
