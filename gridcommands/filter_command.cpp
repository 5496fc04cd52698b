// Grid > Filter: smooths the grid with a Gaussian, boxcar or median filter of a given
// full width in map units; empty nodes stay empty. The result becomes the document's grid.
#include <fmt/format.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "dialogs/grid_dialogs.h"
#include "gridcommands/document_grid.h"
#include "gridcommands/grid_command_handlers.h"
#include "gridops/grid_filter.h"
#include "platform/user_interface.h"
#include "platform/view_host.h"
#include "view/document.h"

namespace gridora {
namespace {

// In the order of the dialog's choices.
constexpr FilterType kTypes[] = {FilterType::kGaussian, FilterType::kBoxcar, FilterType::kMedian};
constexpr const char* kTypeTexts[] = {"Gaussian", "boxcar", "median"};

// The width first proposed: four node spacings, a footprint of a few nodes each way.
constexpr double kProposedSpacings = 4.0;

}  // namespace

CommandStatus FilterDocumentGrid(CommandContext& c) {
  const GridModel& model = *c.doc.grid;
  GridFilterDialog dialog;
  dialog.width = kProposedSpacings * std::max(model.DX, model.DY);
  if (!c.ui.RunDialog(dialog)) return CommandStatus::Canceled;
  std::vector<std::uint8_t> mask;
  const GridValues grid = EstimateOf(model, mask);
  GridResult result;
  std::string problem;
  if (!FilterGrid(grid, kTypes[dialog.type], dialog.width, result, problem)) {
    c.ui.Message(problem + " The grid is unchanged.");
    return CommandStatus::Failed;
  }
  if (const std::string empty = EveryNodeEmptyProblem(result, "the grid has no node with a value"); !empty.empty()) {
    c.ui.Message(empty);
    return CommandStatus::Failed;
  }
  const std::string counts = NodeCountText(result);
  ReplaceDocumentGrid(c.doc, result);
  c.view.UpdateAllViews();
  c.ui.Message(fmt::format("Filter completed: {} of width {:g} ({}).", kTypeTexts[dialog.type], dialog.width, counts));
  return CommandStatus::Done;
}

}  // namespace gridora
