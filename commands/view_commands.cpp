// The View menu: the bars, the axes, the contour levels and colours, the data markers,
// the variable shown and the map options. Whatever changes the pixel map marks its cache
// dirty; every one redraws the view.
#include <algorithm>
#include <cmath>

#include "commands/command_ids.h"
#include "commands/command_modules.h"
#include "commands/command_table.h"
#include "dialogs/dialogs.h"
#include "dialogs/exchange_dialogs.h"
#include "dialogs/value_rules.h"
#include "document/hidden_nodes.h"
#include "geostat/kriging_state.h"
#include "platform/profile.h"
#include "platform/user_interface.h"
#include "platform/view_host.h"
#include "view/document.h"

namespace gridora {
namespace {

bool GridAtLeast(const CommandContext& c, int minimum) { return c.doc.grid->NX > minimum && c.doc.grid->NY > minimum; }

// trunc((end - start) / interval + 1.5): difference and quotient in single precision.
// An interval of zero (or values that make no number) would overflow the conversion;
// the count is held to what the frame can draw.
int TickCount(float start, float end, float interval) {
  constexpr double kMostTicks = 10000.0;
  const float quotient = (end - start) / interval;
  const double count = static_cast<double>(quotient) + 1.5;
  if (std::isnan(count)) return 0;
  return static_cast<int>(std::clamp(count, -kMostTicks, kMostTicks));
}

CommandStatus AxisSetup(CommandContext& c) {
  GridModel& grid = *c.doc.grid;
  AxisDialog dialog;
  dialog.xStart = grid.xStart;
  dialog.xEnd = grid.xEnd;
  dialog.xInterval = grid.xInterval;
  dialog.yStart = grid.yStart;
  dialog.yEnd = grid.yEnd;
  dialog.yInterval = grid.yInterval;
  dialog.xTitle = grid.xTitle;
  dialog.yTitle = grid.yTitle;
  if (!c.ui.RunDialog(dialog)) return CommandStatus::Canceled;
  grid.xStart = dialog.xStart;
  grid.xEnd = dialog.xEnd;
  grid.xInterval = dialog.xInterval;
  grid.yStart = dialog.yStart;
  grid.yEnd = dialog.yEnd;
  grid.yInterval = dialog.yInterval;
  grid.xTitle = dialog.xTitle;
  grid.yTitle = dialog.yTitle;
  grid.xTickCount = TickCount(grid.xStart, grid.xEnd, grid.xInterval);
  grid.yTickCount = TickCount(grid.yStart, grid.yEnd, grid.yInterval);
  grid.axisFixed = 1;
  c.doc.mapBitmapDirty = 1;
  c.view.Invalidate();
  return CommandStatus::Done;
}

CommandStatus SelectVariable(CommandContext& c, int selection) {
  c.doc.variableSelection = selection;
  c.view.Invalidate();
  return CommandStatus::Done;
}

void Add(CommandTable& table, int id, CommandOwner owner, CommandHandler run, UpdateRule update = {},
         bool checkable = false) {
  table.Add({id, owner, std::move(run), std::move(update), checkable});
}

bool GridAbove(const CommandContext& c, int minimum) { return c.doc.grid->NX > minimum && c.doc.grid->NY > minimum; }

float Log10(float v) { return static_cast<float>(std::log10(static_cast<double>(v))); }

CommandStatus Redraw(CommandContext& c, bool pixelMapChanged) {
  if (pixelMapChanged) c.doc.mapBitmapDirty = 1;
  c.view.Invalidate();
  return CommandStatus::Done;
}

// Range of a layer; 0..0 when the grid holds no range for it.
void LayerRange(const GridModel& g, int layer, float& low, float& high) {
  const auto k = static_cast<std::size_t>(layer);
  const bool ranged = layer >= 0 && k < g.layerMinimum.size() && k < g.layerMaximum.size();
  low = ranged ? g.layerMinimum[k] : 0.0f;
  high = ranged ? g.layerMaximum[k] : 0.0f;
}

// Levels Minimum, Minimum + Interval, ... up to Maximum, at most 37; the last one a
// millionth lower so that Maximum itself falls below it.
void StoreLevels(ContourLevels& record, float minimum, float maximum, float interval) {
  const float steps = (maximum - minimum) / interval;
  const int count = steps >= static_cast<float>(ContourLevels::kMaximumCount - 1) ? ContourLevels::kMaximumCount
                                                                                  : static_cast<int>(steps) + 1;
  record.count = count;
  for (int i = 0; i < count; ++i)
    record.levels[static_cast<std::size_t>(i)] = static_cast<float>(i) * interval + minimum;
  float& last = record.levels[static_cast<std::size_t>(count - 1)];
  last = static_cast<float>(static_cast<double>(last) - 0.000001);
}

CommandStatus ContourSetup(CommandContext& c) {
  Document& doc = c.doc;
  GridModel& g = *doc.grid;
  float low = 0.0f, high = 0.0f;
  LayerRange(g, 0, low, high);
  if (doc.logScale == 1) {
    low = Log10(low);
    high = Log10(high);
  }
  if (g.userLevels == 0) {
    // Proposed from the data: 36 levels over the range of layer 0.
    g.contourLevels.count = 36;
    doc.contourMinimum = low;
    doc.contourInterval = (high - low) / 34.0f;
    doc.contourMaximum = doc.contourMinimum + 35.0f * doc.contourInterval;
  }

  ContourSetupDialog dialog;
  dialog.minimum = doc.contourMinimum;
  dialog.maximum = doc.contourMaximum;
  dialog.interval = doc.contourInterval;
  // The dialog itself refuses values that give no levels and stays open for correction.
  if (!c.ui.RunDialog(dialog)) return CommandStatus::Canceled;
  if (dialog.Validate()) return CommandStatus::Failed;

  doc.contourMinimum = dialog.minimum;
  doc.contourMaximum = dialog.maximum;
  doc.contourInterval = dialog.interval;
  StoreLevels(g.contourLevels, dialog.minimum, dialog.maximum, dialog.interval);
  g.userLevels = 1;
  return Redraw(c, true);
}

CommandStatus MaxDistance(CommandContext& c) {
  GridModel& g = *c.doc.grid;
  FloatDialog dialog;
  dialog.prompt = "Setup maximum distance to be shown";
  dialog.value = g.maxDistance;
  dialog.rule = [](float v) { return CheckPositiveLength("The maximum distance", v); };
  if (!c.ui.RunDialog(dialog)) return CommandStatus::Canceled;
  g.maxDistance = dialog.value;
  return Redraw(c, true);
}

void Toggle(int& flag) { flag = flag == 1 ? 0 : 1; }

constexpr const char* kHullDistanceKey = "HullDistance";

bool GridShown(const CommandContext& c) {
  const GridModel& g = *c.doc.grid;
  return g.NX > 1 && g.NY > 1 && g.HasValues();
}

CommandStatus BlankHull(CommandContext& c) {
  GridModel& g = *c.doc.grid;
  if (g.blankOutsideHull == 1) {
    g.blankOutsideHull = 0;
    g.dataHull.clear();
  } else {
    const RandomData& data = *c.doc.primaryData;
    if (data.count < 1) {
      c.ui.Message("There are no data points to take the hull from.");
      return CommandStatus::Failed;
    }
    BlankHullDialog dialog;
    ReadProfileFloat(c.profile, kHullDistanceKey, dialog.distance);
    if (!c.ui.RunDialog(dialog)) return CommandStatus::Canceled;
    WriteProfileFloat(c.profile, kHullDistanceKey, dialog.distance);
    g.dataHull = ConvexHull(data.points.get(), data.count);
    g.hullDistance = dialog.distance;
    g.blankOutsideHull = 1;
  }
  c.doc.mapBitmapDirty = 1;
  c.view.Invalidate();
  return CommandStatus::Done;
}

CommandStatus ContourLabels(CommandContext& c) {
  GridModel& g = *c.doc.grid;
  g.contourLabels = g.contourLabels == 1 ? 0 : 1;
  c.view.Invalidate();
  return CommandStatus::Done;
}

CommandStatus SelectCross(CommandContext& c) {
  c.doc.variableSelection = 2;
  c.view.Invalidate();
  return CommandStatus::Done;
}

}  // namespace

void RegisterViewCommands(CommandTable& table) {
  using O = CommandOwner;
  for (int id : {ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR}) {
    table.Add({id, O::Frame,
               [id](CommandContext& c) {
                 c.view.ToggleBar(id);
                 return CommandStatus::Done;
               },
               [id](const CommandContext& c, CommandState& s) { s.checked = c.view.BarVisible(id); }, true});
  }
  Add(table, ID_AXIS_SETUP, O::View, AxisSetup,
      [](const CommandContext& c, CommandState& s) { s.enabled = GridAtLeast(c, 1); });
  Add(table, ID_CONTOUR, O::View, [](CommandContext& c) {
    c.view.Invalidate();
    return CommandStatus::Done;
  });
  Add(
      table, ID_PRIMARY_VARIABLE, O::View, [](CommandContext& c) { return SelectVariable(c, 0); },
      [](const CommandContext& c, CommandState& s) {
        s.checked = c.doc.variableSelection == 0;
        s.enabled = c.doc.variableSelection != 0;
      },
      true);
  Add(
      table, ID_SECONDARY_VARIABLE, O::View, [](CommandContext& c) { return SelectVariable(c, 1); },
      [](const CommandContext& c, CommandState& s) {
        s.checked = c.doc.variableSelection == 1;
        s.enabled = c.doc.variableSelection != 1 && c.doc.secondaryData && c.doc.secondaryData->count >= 1;
      },
      true);
  table.Add({ID_CONTOUR_SETUP, O::View, ContourSetup,
             [](const CommandContext& c, CommandState& s) { s.enabled = GridAbove(c, 1); }});
  table.Add({ID_DEFAULT_CONTOUR, O::View,
             [](CommandContext& c) {
               c.doc.grid->userLevels = 0;
               return Redraw(c, true);
             },
             [](const CommandContext& c, CommandState& s) { s.enabled = GridAbove(c, 0); }});
  table.Add({ID_COLOR_TARGET, O::View,
             [](CommandContext& c) {
               Toggle(c.doc.grid->reverseColors);
               return Redraw(c, true);
             },
             [](const CommandContext& c, CommandState& s) { s.checked = c.doc.grid->reverseColors == 1; }, true});
  table.Add({ID_LOG, O::View,
             [](CommandContext& c) {
               Toggle(c.doc.logScale);
               return Redraw(c, true);
             },
             [](const CommandContext& c, CommandState& s) {
               s.checked = c.doc.logScale == 1;
               float low = 0.0f, high = 0.0f;
               LayerRange(*c.doc.grid, c.doc.layerIndex, low, high);
               s.enabled = GridAbove(c, 1) && low > 0.0f && high > 0.0f;
             },
             true});
  table.Add({ID_HIDE_FAR_NODES, O::View,
             [](CommandContext& c) {
               Toggle(c.doc.grid->hideFarNodes);
               return Redraw(c, true);
             },
             [](const CommandContext& c, CommandState& s) { s.checked = c.doc.grid->hideFarNodes == 1; }, true});
  table.Add({ID_MAX_DISTANCE, O::View, MaxDistance});
  table.Add({ID_SHOW_RANDOM_DATA, O::View,
             [](CommandContext& c) {
               Toggle(c.doc.grid->showRandomData);
               return Redraw(c, false);
             },
             [](const CommandContext& c, CommandState& s) {
               s.checked = c.doc.grid->showRandomData == 1;
               s.enabled = c.doc.primaryData->count >= 1;
             },
             true});
  table.Add({ID_BLANK_HULL, O::View, BlankHull, [](const CommandContext& c, CommandState& s) {
               s.checked = c.doc.grid->blankOutsideHull == 1;
               s.enabled = s.checked || c.doc.primaryData->count >= 1;
             }});
  table.Add({ID_CONTOUR_LABELS, O::View, ContourLabels, [](const CommandContext& c, CommandState& s) {
               s.checked = c.doc.grid->contourLabels == 1;
               s.enabled = GridShown(c);
             }});
  // Here rather than with the other variables: its rule needs the kriging state.
  table.Add({ID_CROSS_VARIANCE, O::View, SelectCross,
             [](const CommandContext& c, CommandState& s) {
               const KrigingState* state = c.doc.krigingState.get();
               s.checked = c.doc.variableSelection == 2;
               s.enabled = c.doc.variableSelection != 2 && c.doc.chartMode == ChartMode::Variogram && state &&
                           state->cross && state->cross->classCount >= 1;
             },
             true});
  table.AddBatch({"axis-setup",
                  ID_AXIS_SETUP,
                  {"xstart", "xend", "xint", "ystart", "yend", "yint", "xtitle", "ytitle", "cancel"}});
  table.AddBatch({"contour", ID_CONTOUR, {}});
  table.AddBatch({"primary", ID_PRIMARY_VARIABLE, {}});
  table.AddBatch({"secondary", ID_SECONDARY_VARIABLE, {}});
  table.AddBatch({"cross", ID_CROSS_VARIANCE, {}});
  table.AddBatch({"contour-setup", ID_CONTOUR_SETUP, {"min", "max", "int", "cancel"}});
  table.AddBatch({"default-contour", ID_DEFAULT_CONTOUR, {}});
  table.AddBatch({"color-target", ID_COLOR_TARGET, {}});
  table.AddBatch({"log", ID_LOG, {}});
  table.AddBatch({"hide-far", ID_HIDE_FAR_NODES, {}});
  table.AddBatch({"max-distance", ID_MAX_DISTANCE, {"value", "cancel"}});
  table.AddBatch({"show-random-data", ID_SHOW_RANDOM_DATA, {}});
  table.AddBatch({"blank-hull", ID_BLANK_HULL, {"distance", "cancel"}});
  table.AddBatch({"contour-labels", ID_CONTOUR_LABELS, {}});
}

}  // namespace gridora
