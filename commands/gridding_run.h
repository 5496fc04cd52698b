#pragma once
// The steps every gridding command ("Ninimum curvature", "Prediction") shares: the origin
// and area dialogs, the refusal of a grid the spare memory cannot hold, the new grid
// allocated aside, the method's one call that fills it, the distances to the data, the
// hand-over to the document and the spacing kept for the next run.
//
// A cancel or a refusal at any step leaves the document as it was (but for the cancel
// in the area dialog, grid_layout.h).
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "commands/command_table.h"
#include "commands/grid_layout.h"

namespace gridora {

class Feedback;
struct GridModel;
struct SurfaceOptions;

// What the method is given: the confirmed layout, the memory spare before the run
// (nullopt: unknown) and the open progress.
struct GriddingRun {
  const NodeLayout& layout;
  std::optional<std::uint64_t> spare;
  Feedback* feedback = nullptr;
};

// How a step ended. Failed carries the message shown to the user, Done the completion
// message the command shows once it has done its part.
struct GriddingOutcome {
  CommandStatus status = CommandStatus::Done;
  std::string message;
};

struct GriddingMethod {
  std::string progressTitle;
  SpacingProposal spacing;
  int layerCount = 1;
  // Minimum curvature: the solver's options, whose memory counts besides the grid's.
  const SurfaceOptions* surface = nullptr;
  // Fills every layer of `result` (already allocated, origin and spacing set) and the
  // range of every layer but 0.
  std::function<GriddingOutcome(const GriddingRun&, GridModel& result)> fill;
};

// "Cannot interpolate: there was not enough memory for a grid of NX x NY nodes."
std::string GridOutOfMemoryText(const NodeLayout& layout);

// "Cannot interpolate: a grid of NX x NY nodes needs about ... of memory[ to solve], more
// than the ... this computer can spare now."
std::string GridMemoryRefusalText(const NodeLayout& layout, std::uint64_t needed, std::uint64_t spare, bool solving);

// Asks for the layout and grids the primary points with `method`. Done: the new grid
// and the confirmed corners are the document's, the spacing is kept in the profile and
// the outcome's message is the method's completion message, not yet shown. Nothing is
// repainted.
GriddingOutcome RunGridding(CommandContext& c, const GriddingMethod& method);

// Marks the map for redrawing and repaints every view: the end of a gridding command.
void ShowNewGrid(CommandContext& c);

}  // namespace gridora
