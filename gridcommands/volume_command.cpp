// Grid > Volume: the volume between the grid and a level or a lower surface (a second
// grid resampled onto this grid's nodes), above and below, with the areas; shown and
// written to volume.csv in the data folder.
#include <fmt/format.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "dialogs/grid_dialogs.h"
#include "gridcommands/document_grid.h"
#include "gridcommands/grid_command_handlers.h"
#include "gridcommands/second_grid.h"
#include "gridops/volume.h"
#include "platform/replacing_file.h"
#include "platform/user_interface.h"
#include "view/document.h"

namespace gridora {
namespace {

// In the order of the dialog's choices.
constexpr VolumeMethod kMethods[] = {VolumeMethod::kTrapezoid, VolumeMethod::kSimpson, VolumeMethod::kSimpson38};
constexpr const char* kMethodTexts[] = {"trapezoid rule", "Simpson's rule", "Simpson's 3/8 rule"};

const FileFilter kSurfaceFiles{"Grids (*.snp *.tif *.tiff *.asc *.grd *.nc)", kSecondGridFilter};

CommandStatus Refuse(CommandContext& c, const std::string& problem) {
  c.ui.Message(problem);
  return CommandStatus::Failed;
}

// Writes volume.csv and shows the figures.
CommandStatus Report(CommandContext& c, int choice, const VolumeResult& volume, const std::string& between) {
  const std::filesystem::path path = std::filesystem::path(c.doc.dataFolder) / "volume.csv";
  // A fixed name in the data folder: a link or a FIFO planted there is refused, not followed.
  ReplacingFile file(path, ReplacingFile::Name::Fixed);
  if (!(file.Open() && file.Write(VolumeCsv(kMethods[choice], volume)) && file.Commit()))
    return Refuse(c, fmt::format("Cannot write {}: {}.", path.string(), file.Error()));
  c.ui.Message(
      fmt::format("Volume between the grid and {} ({}):\n"
                  "above: {:.10g}\nbelow: {:.10g}\nnet (above - below): {:.10g}\n"
                  "area above: {:.10g}\narea below: {:.10g}\n"
                  "Saved in {}",
                  between, kMethodTexts[choice], volume.positive, volume.negative, volume.net, volume.areaPositive,
                  volume.areaNegative, path.string()));
  return CommandStatus::Done;
}

}  // namespace

CommandStatus VolumeToLevel(CommandContext& c) {
  VolumeDialog dialog;
  if (!c.ui.RunDialog(dialog)) return CommandStatus::Canceled;
  std::vector<std::uint8_t> mask;
  const GridValues grid = EstimateOf(*c.doc.grid, mask);
  VolumeResult volume;
  std::string problem;
  if (!ComputeVolume(grid, dialog.level, kMethods[dialog.method], volume, problem)) return Refuse(c, problem);
  return Report(c, dialog.method, volume, fmt::format("the level {:g}", dialog.level));
}

CommandStatus VolumeToSurface(CommandContext& c) {
  const auto path = c.ui.OpenFileName("", kSurfaceFiles);
  if (!path) return CommandStatus::Canceled;
  VolumeDialog dialog;
  dialog.withLevel = false;
  if (!c.ui.RunDialog(dialog)) return CommandStatus::Canceled;
  const GridModel& model = *c.doc.grid;
  std::string problem;
  GridResult lower;
  if (!ReadSecondGrid(*path, model.Layout(), lower, problem)) return Refuse(c, problem);
  std::vector<std::uint8_t> mask;
  const GridValues grid = EstimateOf(model, mask);
  const GridValues surface{model.Layout(), lower.values.data(), lower.empty.data()};
  VolumeResult volume;
  if (!ComputeVolume(grid, surface, kMethods[dialog.method], volume, problem)) return Refuse(c, problem);
  return Report(c, dialog.method, volume, "the lower surface " + *path);
}

}  // namespace gridora
