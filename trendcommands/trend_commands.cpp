// Interpolation > "Trend surface" and "Add trend to grid": regression kriging and
// detrended gridding for every method. The trend is fitted to the primary points, their
// values become the residuals, and the document keeps the trend until it is added back
// to a grid of the residuals.
#include "trendcommands/trend_commands.h"

#include <fmt/format.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <vector>

#include "commands/batch_keys.h"
#include "commands/command_ids.h"
#include "commands/command_table.h"
#include "commands/gridding_run.h"
#include "platform/profile.h"
#include "platform/replacing_file.h"
#include "platform/user_interface.h"
#include "platform/view_host.h"
#include "trend/trend_surface.h"
#include "trendcommands/trend_dialog.h"
#include "view/document.h"

namespace gridora {
namespace {

constexpr const char* kInterpolation = "Interpolation";

bool HasPoints(const CommandContext& c) { return c.doc.primaryData && c.doc.primaryData->count > 0; }
bool HasGrid(const CommandContext& c) { return c.doc.grid && c.doc.grid->HasValues(); }

CommandStatus FitTrend(CommandContext& c) {
  TrendDialog dialog;
  dialog.degree = std::clamp(ReadProfileInt(c.profile, "TrendDegree", 1), 1, 3) - 1;
  if (!c.ui.RunDialog(dialog)) return CommandStatus::Canceled;
  WriteProfileInt(c.profile, "TrendDegree", dialog.degree + 1);

  const RandomData& data = *c.doc.primaryData;
  const std::size_t n = static_cast<std::size_t>(data.count);
  std::vector<double> x(n), y(n), z(n);
  for (std::size_t i = 0; i < n; ++i) {
    x[i] = data.points[i].x;
    y[i] = data.points[i].y;
    z[i] = data.points[i].z;
  }
  const TrendFit fit = FitTrendSurface(data.count, x.data(), y.data(), z.data(), dialog.degree + 1);
  if (!fit.surface) {
    c.ui.Message(fit.problem + " Nothing was changed.");
    return CommandStatus::Failed;
  }
  const TrendSurface& surface = *fit.surface;

  // The file first: a refused write leaves the points and the trend as they were.
  const std::filesystem::path path = std::filesystem::path(c.doc.dataFolder) / "trend.csv";
  ReplacingFile file(path, ReplacingFile::Name::Fixed);
  if (!(file.Open() && file.Write(TrendCsvText(surface)) && file.Commit())) {
    c.ui.Message(fmt::format("Cannot write {}: {}. Nothing was changed.", path.string(), file.Error()));
    return CommandStatus::Failed;
  }

  auto residuals = CreateRandomData();
  residuals->count = data.count;
  residuals->labels = data.labels;  // each residual stays with its point's name
  residuals->StartRanges();
  double squares = 0.0;
  for (std::size_t i = 0; i < n; ++i) {
    const double r = z[i] - surface.At(x[i], y[i]);
    residuals->points[i] = {x[i], y[i], r};
    residuals->ExtendRanges(residuals->points[i]);
    squares += r * r;
  }
  std::swap(*c.doc.primaryData, *residuals);
  c.doc.trend = std::make_shared<const TrendSurface>(surface);
  c.ui.Message(fmt::format(
      "Trend of degree {} fitted to {} points by least squares; the points now hold their residuals (root mean "
      "square {:g}). Coefficients written to trend.csv.",
      surface.degree, data.count, std::sqrt(squares / static_cast<double>(n))));
  c.doc.mapBitmapDirty = 1;
  c.view.UpdateAllViews();
  return CommandStatus::Done;
}

CommandStatus AddTrend(CommandContext& c) {
  GridModel& grid = *c.doc.grid;
  const TrendSurface& surface = *c.doc.trend;
  const bool withEmpty = grid.emptyNodes.size() == grid.NodeCount();
  for (int i = 0; i < grid.NX; ++i) {
    float* column = grid.Column(0, i);
    const double x = grid.x0 + i * grid.DX;
    for (int j = 0; j < grid.NY; ++j) {
      if (withEmpty && grid.emptyNodes[static_cast<std::size_t>(i) * grid.NY + j]) continue;
      column[j] = static_cast<float>(column[j] + surface.At(x, grid.y0 + j * grid.DY));
    }
  }
  grid.ComputeLayerRange(0);
  c.ui.Message(
      fmt::format("The trend of degree {} was added to the grid's {} x {} nodes.", surface.degree, grid.NX, grid.NY));
  ShowNewGrid(c);
  return CommandStatus::Done;
}

}  // namespace

void RegisterTrendCommands(CommandTable& table) {
  using O = CommandOwner;
  table.Add({.id = ID_TREND,
             .owner = O::Document,
             .run = FitTrend,
             .update = [](const CommandContext& c, CommandState& s) { s.enabled = HasPoints(c); },
             .menu = {kInterpolation, "Trend surface...", kSeparatorBefore},
             .batch = {.name = "trend", .keys = Keys(TrendDialog{}, "cancel")}});
  table.Add(
      {.id = ID_ADD_TREND,
       .owner = O::Document,
       .run = AddTrend,
       .update = [](const CommandContext& c, CommandState& s) { s.enabled = HasGrid(c) && c.doc.trend != nullptr; },
       .menu = {kInterpolation, "Add trend to grid"},
       .batch = {.name = "add-trend"}});
}

}  // namespace gridora
