// Grid > Grid math: node-by-node arithmetic of the grid with a constant or with a second
// grid (a document file or a raster, resampled onto this grid's nodes). The result
// becomes the document's grid.
#include <fmt/format.h>

#include <cstdint>
#include <string>
#include <vector>

#include "commands/batch_line.h"
#include "dialogs/grid_dialogs.h"
#include "gridcommands/document_grid.h"
#include "gridcommands/grid_command_handlers.h"
#include "gridcommands/second_grid.h"
#include "gridops/grid_math.h"
#include "platform/user_interface.h"
#include "platform/view_host.h"
#include "view/document.h"

namespace gridora {
namespace {

// In the order of the dialog's choices.
constexpr GridOperation kOperations[] = {GridOperation::kAdd,    GridOperation::kSubtract, GridOperation::kMultiply,
                                         GridOperation::kDivide, GridOperation::kMinimum,  GridOperation::kMaximum};
constexpr const char* kPhrases[] = {"add",       "subtract",         "multiply by",
                                    "divide by", "the minimum with", "the maximum with"};

const FileFilter kSecondGridFiles{"Grids (*.snp *.tif *.tiff *.asc *.grd *.nc)", kSecondGridFilter};

constexpr const char* kWhyEmpty =
    "each node is empty in an operand, or its result is not a number the grid can hold, as after a division by 0";

CommandStatus Refuse(CommandContext& c, const std::string& problem) {
  c.ui.Message(problem);
  return CommandStatus::Failed;
}

// Hands the result over and says what was done.
CommandStatus Finish(CommandContext& c, GridResult& result, const std::string& what) {
  if (const std::string problem = EveryNodeEmptyProblem(result, kWhyEmpty); !problem.empty()) return Refuse(c, problem);
  const std::string counts = NodeCountText(result);
  ReplaceDocumentGrid(c.doc, result);
  c.view.UpdateAllViews();
  c.ui.Message(fmt::format("Grid math completed: {} ({}).", what, counts));
  return CommandStatus::Done;
}

}  // namespace

CommandStatus GridMathWithConstant(CommandContext& c) {
  GridMathDialog dialog;
  if (!c.ui.RunDialog(dialog)) return CommandStatus::Canceled;
  const int choice = dialog.operation;
  std::vector<std::uint8_t> mask;
  const GridValues grid = EstimateOf(*c.doc.grid, mask);
  GridResult result;
  std::string problem;
  if (!ApplyGridMath(grid, kOperations[choice], dialog.value, result, problem))
    return Refuse(c, problem + " The grid is unchanged.");
  return Finish(c, result, fmt::format("{} {:g} at every node", kPhrases[choice], dialog.value));
}

CommandStatus GridMathWithGrid(CommandContext& c) {
  const auto path = c.ui.OpenFileName("", kSecondGridFiles);
  if (!path) return CommandStatus::Canceled;
  GridMathDialog dialog;
  dialog.withConstant = false;
  if (!c.ui.RunDialog(dialog)) return CommandStatus::Canceled;
  const int choice = dialog.operation;
  const GridModel& model = *c.doc.grid;
  std::string problem;
  GridResult second;
  if (!ReadSecondGrid(*path, model.Layout(), second, problem)) return Refuse(c, problem + " The grid is unchanged.");
  std::vector<std::uint8_t> mask;
  const GridValues grid = EstimateOf(model, mask);
  const GridValues other{model.Layout(), second.values.data(), second.empty.data()};
  GridResult result;
  if (!ApplyGridMath(grid, kOperations[choice], other, result, problem))
    return Refuse(c, problem + " The grid is unchanged.");
  return Finish(c, result, fmt::format("{} the second grid {}", kPhrases[choice], *path));
}

std::optional<std::string> RefuseKeyWithPath(const BatchLine& line, const char* key, const char* meaning) {
  if (line.argument.empty() || !line.Key(key)) return std::nullopt;
  return fmt::format("{}= is {}; with a second grid ({}) it has no meaning: give one or the other", key, meaning,
                     line.argument);
}

}  // namespace gridora
