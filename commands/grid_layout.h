#pragma once
// The grid layout of the gridding commands ("Ninimum curvature", "Prediction"): the
// origin dialog, whose confirmed corners become the point set's ranges, and the area
// dialog, whose spacing fixes the node counts. Also the hand-over of a finished grid.
//
// The commands grid into a GridModel of their own and move it into the document's grid
// only when they complete; a refusal or a cancel after the origin dialog puts the point
// set's ranges back with RestoreRanges (a cancel in the area dialog keeps the confirmed
// origin, as the dialogs always have).
#include <cstdint>
#include <functional>
#include <string>

#include "commands/command_table.h"

namespace gridora {

struct GridModel;
struct RandomData;

struct GridLayout {
  float xMinimum = 0, yMinimum = 0;  // the confirmed origin: node (0, 0)
  float W = 0, H = 0;                // the confirmed extents
  float DX = 0, DY = 0;
  int NX = 0, NY = 0;
  float savedRanges[4] = {};  // the point set's xMinimum, yMinimum, xMaximum, yMaximum before
};

enum class GridLayoutResult { Accepted, Canceled, Refused };

// The most nodes a gridding command computes: 10,000 x 10,000. Beyond it the grid alone
// takes gigabytes and a kriging prediction runs for hours, whatever memory is free; an
// origin typed wrongly by orders of magnitude is the usual cause.
inline constexpr std::uint64_t kMaximumComputedNodes = 100'000'000;

// Runs both dialogs on the primary points. `proposeSpacing`(W, H) is the spacing the area
// dialog proposes on both axes. Refused: an empty area, a spacing of 0 or less, or more
// nodes than a grid may hold or than kMaximumComputedNodes; the user has been told and
// the ranges are as they were.
GridLayoutResult AskGridLayout(CommandContext& c, const std::function<float(float W, float H)>& proposeSpacing,
                               GridLayout& layout);

void RestoreRanges(RandomData& data, const GridLayout& layout);

// Moves the new grid's origin, spacing, shape and storage into the document's grid;
// every other field of the document's grid (titles, colours, scales, axes) stays, but
// text labels go when the shape changes.
void CommitGrid(GridModel& grid, GridModel& result);

// The node count along one axis, or 0 when the spacing would give more nodes than any
// grid may hold (the count would overflow).
int SafeNodeCount(float extent, float spacing);

}  // namespace gridora
