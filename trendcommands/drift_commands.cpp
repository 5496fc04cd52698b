#include "trendcommands/drift_commands.h"

#include <fmt/format.h>

#include <memory>
#include <string>
#include <vector>

#include "commands/command_ids.h"
#include "commands/command_table.h"
#include "document/grid_model.h"
#include "exchange/raster_import.h"
#include "platform/user_interface.h"
#include "platform/view_host.h"
#include "trend/external_drift.h"
#include "view/document.h"

namespace gridora {
namespace {

constexpr const char* kInterpolation = "Interpolation";
const FileFilter kDriftRasterFilter{"Raster grids (*.tif *.tiff *.asc *.grd *.nc)", "*.tif *.tiff *.asc *.grd *.nc"};

CommandStatus Refuse(CommandContext& c, const std::string& why) {
  c.ui.Message(why + " The drift is unchanged.");
  return CommandStatus::Failed;
}

CommandStatus AddDriftRaster(CommandContext& c) {
  const auto path = c.ui.OpenFileName("", kDriftRasterFilter);
  if (!path) return CommandStatus::Canceled;
  if (c.doc.driftRasters.size() >= kMostDriftRasters)
    return Refuse(c, fmt::format("The drift takes at most {} rasters.", kMostDriftRasters));
  GridModel grid;
  std::string problem;
  if (!ReadRasterGrid(grid, *path, problem)) return Refuse(c, problem);
  auto raster = std::make_shared<const DriftRaster>(DriftRasterOf(grid, *path));

  // Every point needs the raster's value: refused now rather than at the variogram.
  if (c.doc.primaryData && c.doc.primaryData->count > 0) {
    const RandomData& data = *c.doc.primaryData;
    const std::size_t n = static_cast<std::size_t>(data.count);
    std::vector<double> x(n), y(n);
    for (std::size_t i = 0; i < n; ++i) {
      x[i] = data.points[i].x;
      y[i] = data.points[i].y;
    }
    const std::size_t outside = PointsWithoutDrift({raster}, n, x.data(), y.data());
    if (outside > 0)
      return Refuse(c, fmt::format("{} of the {} points lie outside the drift raster {} (beyond its outer pixel "
                                   "centres or beside a no-data pixel): kriging with external drift needs its value "
                                   "at every point.",
                                   outside, n, *path));
  }
  c.doc.driftRasters.push_back(std::move(raster));
  const DriftRaster& added = *c.doc.driftRasters.back();
  c.ui.Message(fmt::format(
      "{} ({} x {} pixels) added as drift raster No.{}: the next Variogram kriges with external drift (ordinary "
      "kriging, the variogram of the residuals of the drift).",
      *path, added.layout.nx, added.layout.ny, c.doc.driftRasters.size()));
  return CommandStatus::Done;
}

CommandStatus ClearDrift(CommandContext& c) {
  c.doc.driftRasters.clear();
  return CommandStatus::Done;
}

}  // namespace

void RegisterDriftCommands(CommandTable& table) {
  using O = CommandOwner;
  table.Add({.id = ID_ADD_DRIFT,
             .owner = O::Document,
             .run = AddDriftRaster,
             .menu = {kInterpolation, "Add drift raster...", kSeparatorBefore},
             .batch = {.name = "add-drift", .takesArgument = true}});
  table.Add({.id = ID_CLEAR_DRIFT,
             .owner = O::Document,
             .run = ClearDrift,
             .menu = {kInterpolation, "Clear drift"},
             .batch = {.name = "clear-drift"}});
}

}  // namespace gridora
