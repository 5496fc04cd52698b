// The View menu: the bars, the axes, the contour levels and colours, the data markers,
// the variable shown and the map options. Whatever changes the pixel map marks its cache
// dirty; every one redraws the view.
#include <algorithm>
#include <cmath>

#include "commands/batch_keys.h"
#include "commands/command_ids.h"
#include "commands/command_modules.h"
#include "commands/command_rules.h"
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

float Log10(float v) { return static_cast<float>(std::log10(static_cast<double>(v))); }

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

// The standard error's levels, while it is shown: proposed from its own levels or its
// range, kept apart from the estimate's (and from the document's dialog values).
CommandStatus ErrorContourSetup(CommandContext& c) {
  Document& doc = c.doc;
  GridModel& g = *doc.grid;
  ContourSetupDialog dialog;
  if (g.errorUserLevels == 1 && g.errorLevels.count > 1) {
    const auto& levels = g.errorLevels.levels;
    const int last = g.errorLevels.count - 1;
    dialog.minimum = levels[0];
    dialog.interval = levels[1] - levels[0];
    dialog.maximum = static_cast<float>(static_cast<double>(levels[static_cast<std::size_t>(last)]) + 0.000001);
  } else {
    float low = 0.0f, high = 0.0f;
    LayerRange(g, 1, low, high);
    if (doc.logScale == 1) {
      low = Log10(low);
      high = Log10(high);
    }
    dialog.minimum = low;
    dialog.interval = (high - low) / 34.0f;
    dialog.maximum = dialog.minimum + 35.0f * dialog.interval;
  }
  if (!c.ui.RunDialog(dialog)) return CommandStatus::Canceled;
  if (dialog.Validate()) return CommandStatus::Failed;
  StoreLevels(g.errorLevels, dialog.minimum, dialog.maximum, dialog.interval);
  g.errorUserLevels = 1;
  return Redraw(c, true);
}

CommandStatus ContourSetup(CommandContext& c) {
  if (c.doc.layerIndex == 1) return ErrorContourSetup(c);
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

// The "Float data" dialog of the maximum distance (its value under the batch key "value").
FloatDialog MaxDistanceDialog() {
  FloatDialog dialog;
  dialog.prompt = "Setup maximum distance to be shown";
  dialog.rule = [](float v) { return CheckPositiveLength("The maximum distance", v); };
  return dialog;
}

CommandStatus MaxDistance(CommandContext& c) {
  GridModel& g = *c.doc.grid;
  FloatDialog dialog = MaxDistanceDialog();
  dialog.value = g.maxDistance;
  if (!c.ui.RunDialog(dialog)) return CommandStatus::Canceled;
  g.maxDistance = dialog.value;
  return Redraw(c, true);
}

void Toggle(int& flag) { flag = flag == 1 ? 0 : 1; }

constexpr const char* kHullDistanceKey = "HullDistance";

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

// Shows or hides the toolbar or the status bar; checked while it is shown.
CommandHandler ToggleBar(int id) {
  return [id](CommandContext& c) {
    c.view.ToggleBar(id);
    return CommandStatus::Done;
  };
}
UpdateRule BarShown(int id) {
  return [id](const CommandContext& c, CommandState& s) { s.checked = c.view.BarVisible(id); };
}

// Turns a 0/1 flag of the document over and redraws.
CommandHandler ToggleFlag(int Document::*flag, bool pixelMapChanged) {
  return [flag, pixelMapChanged](CommandContext& c) {
    Toggle(c.doc.*flag);
    return Redraw(c, pixelMapChanged);
  };
}
CommandHandler ToggleFlag(int GridModel::*flag, bool pixelMapChanged) {
  return [flag, pixelMapChanged](CommandContext& c) {
    Toggle((*c.doc.grid).*flag);
    return Redraw(c, pixelMapChanged);
  };
}

}  // namespace

void RegisterViewCommands(CommandTable& table) {
  using O = CommandOwner;
  constexpr const char* kView = "&View";
  table.Add({.id = ID_VIEW_TOOLBAR,
             .owner = O::Frame,
             .run = ToggleBar(ID_VIEW_TOOLBAR),
             .update = BarShown(ID_VIEW_TOOLBAR),
             .checkable = true,
             .menu = {kView, "&Toolbar"},
             .prompt = "Show or hide the toolbar\nToggle ToolBar"});
  table.Add({.id = ID_VIEW_STATUS_BAR,
             .owner = O::Frame,
             .run = ToggleBar(ID_VIEW_STATUS_BAR),
             .update = BarShown(ID_VIEW_STATUS_BAR),
             .checkable = true,
             .menu = {kView, "&Status Bar"},
             .prompt = "Show or hide the status bar\nToggle StatusBar"});

  table.Add({.id = ID_AXIS_SETUP,
             .owner = O::View,
             .run = AxisSetup,
             .update = WhenGridLargerThan(1),
             .menu = {kView, "Axis setup", kSeparatorBefore},
             .shortcuts = {"Ctrl+A"},
             .batch = {.name = "axis-setup", .keys = Keys(AxisDialog{}, "cancel")}});
  table.Add({.id = ID_CONTOUR_SETUP,
             .owner = O::View,
             .run = ContourSetup,
             .update = WhenGridLargerThan(1),
             .menu = {kView, "Contour setup"},
             .batch = {.name = "contour-setup", .keys = Keys(ContourSetupDialog{}, "cancel")}});
  table.Add({.id = ID_DEFAULT_CONTOUR,
             .owner = O::View,
             .run =
                 [](CommandContext& c) {
                   (c.doc.layerIndex == 1 ? c.doc.grid->errorUserLevels : c.doc.grid->userLevels) = 0;
                   return Redraw(c, true);
                 },
             .update = WhenGridLargerThan(0),
             .menu = {kView, "Default contour"},
             .batch = {.name = "default-contour"}});
  table.Add({.id = ID_COLOR_TARGET,
             .owner = O::View,
             .run = ToggleFlag(&GridModel::reverseColors, true),
             .update = [](const CommandContext& c, CommandState& s) { s.checked = c.doc.grid->reverseColors == 1; },
             .checkable = true,
             .menu = {kView, "Color target"},
             .batch = {.name = "color-target"}});
  table.Add({.id = ID_LOG,
             .owner = O::View,
             .run = ToggleFlag(&Document::logScale, true),
             .update =
                 [](const CommandContext& c, CommandState& s) {
                   s.checked = c.doc.logScale == 1;
                   float low = 0.0f, high = 0.0f;
                   LayerRange(*c.doc.grid, c.doc.layerIndex, low, high);
                   s.enabled = GridLargerThan(c, 1) && low > 0.0f && high > 0.0f;
                 },
             .checkable = true,
             .menu = {kView, "Log"},
             .batch = {.name = "log"}});

  table.Add({.id = ID_CONTOUR,
             .owner = O::View,
             .run =
                 [](CommandContext& c) {
                   c.view.Invalidate();
                   return CommandStatus::Done;
                 },
             .menu = {kView, "Contour", kSeparatorBefore},
             .batch = {.name = "contour"}});

  table.Add({.id = ID_SHOW_RANDOM_DATA,
             .owner = O::View,
             .run = ToggleFlag(&GridModel::showRandomData, false),
             .update =
                 [](const CommandContext& c, CommandState& s) {
                   s.checked = c.doc.grid->showRandomData == 1;
                   s.enabled = c.doc.primaryData->count >= 1;
                 },
             .checkable = true,
             .menu = {kView, "Show random data", kSeparatorBefore},
             .batch = {.name = "show-random-data"}});

  table.Add({.id = ID_HIDE_FAR_NODES,
             .owner = O::View,
             .run = ToggleFlag(&GridModel::hideFarNodes, true),
             .update = [](const CommandContext& c, CommandState& s) { s.checked = c.doc.grid->hideFarNodes == 1; },
             .checkable = true,
             .menu = {kView, "Hide grids away from points", kSeparatorBefore},
             .batch = {.name = "hide-far"}});
  table.Add({.id = ID_MAX_DISTANCE,
             .owner = O::View,
             .run = MaxDistance,
             .menu = {kView, "Set up maximum distance to be shown"},
             .batch = {.name = "max-distance", .keys = Keys(MaxDistanceDialog(), "cancel")}});

  table.Add({.id = ID_PRIMARY_VARIABLE,
             .owner = O::View,
             .run = [](CommandContext& c) { return SelectVariable(c, 0); },
             .update =
                 [](const CommandContext& c, CommandState& s) {
                   s.checked = c.doc.variableSelection == 0;
                   s.enabled = c.doc.variableSelection != 0;
                 },
             .checkable = true,
             .menu = {kView, "Primary variable", kSeparatorBefore},
             .toolbar = {16, "primary_variable", "Primary variable"},
             .batch = {.name = "primary"}});
  table.Add({.id = ID_SECONDARY_VARIABLE,
             .owner = O::View,
             .run = [](CommandContext& c) { return SelectVariable(c, 1); },
             .update =
                 [](const CommandContext& c, CommandState& s) {
                   s.checked = c.doc.variableSelection == 1;
                   s.enabled = c.doc.variableSelection != 1 && c.doc.secondaryData && c.doc.secondaryData->count >= 1;
                 },
             .checkable = true,
             .menu = {kView, "Secondary variable"},
             .toolbar = {17, "secondary_variable", "Secondary variable"},
             .batch = {.name = "secondary"}});
  table.Add({.id = ID_CROSS_VARIANCE,
             .owner = O::View,
             .run = [](CommandContext& c) { return SelectVariable(c, 2); },
             .update =
                 [](const CommandContext& c, CommandState& s) {
                   const KrigingState* state = c.doc.krigingState.get();
                   s.checked = c.doc.variableSelection == 2;
                   s.enabled = c.doc.variableSelection != 2 && c.doc.chartMode == ChartMode::Variogram && state &&
                               state->cross && state->cross->classCount >= 1;
                 },
             .checkable = true,
             .menu = {kView, "Cross variance"},
             .toolbar = {18, "cross_variance", "Cross variance"},
             .batch = {.name = "cross"}});

  table.Add({.id = ID_BLANK_HULL,
             .owner = O::View,
             .run = BlankHull,
             .update =
                 [](const CommandContext& c, CommandState& s) {
                   s.checked = c.doc.grid->blankOutsideHull == 1;
                   s.enabled = s.checked || c.doc.primaryData->count >= 1;
                 },
             .checkable = true,
             .menu = {kView, "Blank outside the data hull", kSeparatorBefore},
             .batch = {.name = "blank-hull", .keys = Keys(BlankHullDialog{}, "cancel")}});
  table.Add({.id = ID_CONTOUR_LABELS,
             .owner = O::View,
             .run = ContourLabels,
             .update =
                 [](const CommandContext& c, CommandState& s) {
                   s.checked = c.doc.grid->contourLabels == 1;
                   s.enabled = GridShown(c);
                 },
             .checkable = true,
             .menu = {kView, "Contour labels"},
             .batch = {.name = "contour-labels"}});
}

}  // namespace gridora
