// Grid > Residuals: the grid's bilinear value at each point, the residual (observed
// minus grid), their mean and root mean square; written to residuals.csv in the data
// folder. Points outside the grid's nodes, beside empty nodes or not numbers are
// skipped and counted.
#include <fmt/format.h>

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "gridcommands/document_grid.h"
#include "gridcommands/grid_command_handlers.h"
#include "gridops/grid_sampling.h"
#include "platform/count_text.h"
#include "platform/replacing_file.h"
#include "platform/user_interface.h"
#include "view/document.h"

namespace gridora {
namespace {

std::string Points(std::size_t count) { return GroupedCount(count) + (count == 1 ? " point" : " points"); }

}  // namespace

CommandStatus GridResiduals(CommandContext& c) {
  const RandomData& data = *c.doc.primaryData;
  std::vector<std::uint8_t> mask;
  const GridValues grid = EstimateOf(*c.doc.grid, mask);
  ResidualReport report;
  std::string problem;
  if (!ComputeResiduals(grid, std::span<const DataPoint>(data.points.get(), static_cast<std::size_t>(data.count)),
                        report, problem)) {
    c.ui.Message(problem);
    return CommandStatus::Failed;
  }
  const std::filesystem::path path = std::filesystem::path(c.doc.dataFolder) / "residuals.csv";
  // A fixed name in the data folder: a link or a FIFO planted there is refused, not followed.
  ReplacingFile file(path, ReplacingFile::Name::Fixed);
  if (!(file.Open() && file.Write(ResidualsCsv(report)) && file.Commit())) {
    c.ui.Message(fmt::format("Cannot write {}: {}.", path.string(), file.Error()));
    return CommandStatus::Failed;
  }
  std::string text = fmt::format("Residuals (observed - grid) at {}: mean = {:.10g}, RMS = {:.10g}.",
                                 Points(report.points.size()), report.mean, report.rms);
  text += fmt::format("\n{} outside the grid skipped.", Points(report.outside));
  if (report.atEmptyNodes > 0) text += fmt::format("\n{} beside empty nodes skipped.", Points(report.atEmptyNodes));
  if (report.notFinite > 0)
    text += fmt::format("\n{} with a coordinate or value that is not a number skipped.", Points(report.notFinite));
  text += "\nSaved in " + path.string();
  c.ui.Message(text);
  return CommandStatus::Done;
}

}  // namespace gridora
