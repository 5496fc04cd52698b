// The commands that change how values are coloured: contour levels, reversed colours,
// logarithmic values, hidden far nodes, the data markers and the map colour mode.
// Whatever changes the pixel map marks its cache dirty; every one redraws the view.
#include <algorithm>
#include <cmath>

#include "commands/command_ids.h"
#include "commands/command_modules.h"
#include "commands/command_table.h"
#include "dialogs/dialogs.h"
#include "dialogs/value_rules.h"
#include "platform/profile.h"
#include "platform/user_interface.h"
#include "platform/view_host.h"
#include "view/document.h"

namespace gridora {
namespace {

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

CommandStatus SetColorMode(CommandContext& c, int mode) {
  c.doc.grid->mapColorMode = mode;
  WriteProfileInt(c.profile, "iMapColorMode", mode);
  return Redraw(c, false);
}

void Toggle(int& flag) { flag = flag == 1 ? 0 : 1; }

}  // namespace

void RegisterColorCommands(CommandTable& table) {
  using O = CommandOwner;
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
  const int modeIds[3] = {ID_COLOR_MODE_0, ID_COLOR_MODE_1, ID_COLOR_MODE_2};
  for (int mode = 0; mode < 3; ++mode) {
    table.Add({modeIds[mode], O::View, [mode](CommandContext& c) { return SetColorMode(c, mode); },
               [mode](const CommandContext& c, CommandState& s) {
                 s.checked = c.doc.grid->mapColorMode == mode;
                 s.enabled = GridAbove(c, 0) && c.doc.grid->mapColorMode != mode;
               },
               true});
  }

  table.AddBatch({"contour-setup", ID_CONTOUR_SETUP, {"min", "max", "int", "cancel"}});
  table.AddBatch({"default-contour", ID_DEFAULT_CONTOUR, {}});
  table.AddBatch({"color-target", ID_COLOR_TARGET, {}});
  table.AddBatch({"log", ID_LOG, {}});
  table.AddBatch({"hide-far", ID_HIDE_FAR_NODES, {}});
  table.AddBatch({"max-distance", ID_MAX_DISTANCE, {"value", "cancel"}});
  table.AddBatch({"show-random-data", ID_SHOW_RANDOM_DATA, {}});
  table.AddBatch({"color-mode", 0, {}, [](const std::string& argument) {
                    if (argument == "0") return static_cast<int>(ID_COLOR_MODE_0);
                    if (argument == "1") return static_cast<int>(ID_COLOR_MODE_1);
                    if (argument == "2") return static_cast<int>(ID_COLOR_MODE_2);
                    return 0;
                  }});
}

}  // namespace gridora
