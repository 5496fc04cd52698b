#pragma once
// The steps every gridding command ("Ninimum curvature", "Prediction") shares: the origin
// and area dialogs, the refusal of a grid the spare memory cannot hold, the new grid
// allocated aside, the distances to the data, the hand-over to the document and the
// spacing kept for the next run. The method itself only fills the new grid's layers.
//
// A cancel or a refusal at any step puts the point set's ranges back and leaves the
// document's grid as it was.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "commands/command_table.h"
#include "commands/grid_layout.h"

namespace gridora {

class Feedback;
struct GridModel;

// What the method is given: the confirmed layout, the memory spare before the run
// (nullopt: unknown) and the open progress.
struct GriddingRun {
  const GridLayout& layout;
  std::optional<std::uint64_t> spare;
  Feedback* feedback = nullptr;
};

// How the method's part ended. Failed carries the message shown to the user.
struct GriddingOutcome {
  CommandStatus status = CommandStatus::Done;
  std::string message;
};

struct GriddingMethod {
  std::string progressTitle;
  // The spacing the area dialog proposes on both axes, from the confirmed extents.
  std::function<float(float W, float H)> proposeSpacing;
  int layerCount = 1;
  // The memory the run needs for the layout; above the spare memory the run is refused
  // with memoryRefusal(layout, needed, spare).
  std::function<std::uint64_t(const GridLayout&, std::optional<std::uint64_t> spare)> bytesNeeded;
  std::function<std::string(const GridLayout&, std::uint64_t needed, std::uint64_t spare)> memoryRefusal;
  // Fills every layer of `result` (already allocated, origin and spacing set) and the
  // range of every layer but 0.
  std::function<GriddingOutcome(const GriddingRun&, GridModel& result)> fill;
  // After the distances, before the hand-over (may be empty).
  std::function<void()> beforeCommit;
  // After the hand-over and the spacing keys: the completion message and what the
  // method changes in the document beside the grid.
  std::function<void(CommandContext&)> finish;
};

// "Cannot interpolate: there was not enough memory for a grid of NX x NY nodes."
std::string GridOutOfMemoryText(const GridLayout& layout);

CommandStatus RunGridding(CommandContext& c, const GriddingMethod& method);

}  // namespace gridora
