// The toolbar's buttons that no menu has: Delete all, the zoom buttons and the map
// colour modes.
#include <string>

#include "commands/command_ids.h"
#include "commands/command_modules.h"
#include "commands/command_rules.h"
#include "commands/command_table.h"
#include "commands/key_commands.h"
#include "platform/profile.h"
#include "platform/user_interface.h"
#include "platform/view_host.h"
#include "view/document.h"

namespace gridora {
namespace {

CommandStatus Zoom(CommandContext& c, bool alongX, bool enlarge) {
  GridModel& grid = *c.doc.grid;
  float& scale = alongX ? grid.scaleX : grid.scaleY;
  scale = ZoomedScale(scale, enlarge);
  c.doc.SaveScaleSettings();
  c.view.UpdateAllViews();
  return CommandStatus::Done;
}

CommandStatus DeleteAll(CommandContext& c) {
  if (!c.ui.Question("Are you sure to delete all current data?")) return CommandStatus::Canceled;
  c.doc.DeleteAllData();
  c.view.Invalidate();
  return CommandStatus::Done;
}

CommandStatus SetColorMode(CommandContext& c, int mode) {
  c.doc.grid->mapColorMode = mode;
  WriteProfileInt(c.profile, "iMapColorMode", mode);
  return Redraw(c, false);
}

struct ZoomButton {
  int id;
  bool alongX, enlarge;
  const char* icon;
  const char* tip;
  const char* batchName;
};

struct ColorModeButton {
  int id;
  const char* icon;
  const char* tip;
};

const ColorModeButton kColorModes[] = {
    {ID_COLOR_MODE_0, "color_mode_0", "Map colors node by node"},
    {ID_COLOR_MODE_1, "color_mode_1", "Map colors in contour bands"},
    {ID_COLOR_MODE_2, "color_mode_2", "Map colors in contour bands with contour lines"},
};

}  // namespace

void RegisterToolbarCommands(CommandTable& table) {
  table.Add({.id = ID_DELETE_ALL,
             .owner = CommandOwner::View,
             .run = DeleteAll,
             .toolbar = {1, "delete_all", "Delete all data"},
             .batch = {.name = "delete-all", .keys = {"answer"}}});

  static const ZoomButton kZooms[] = {
      {ID_ZOOM_X_OUT, true, false, "zoom_x_out", "Zoom out horizontally", "zoom-x-out"},
      {ID_ZOOM_X_IN, true, true, "zoom_x_in", "Zoom in horizontally", "zoom-x-in"},
      {ID_ZOOM_Y_IN, false, true, "zoom_y_in", "Zoom in vertically", "zoom-y-in"},
      {ID_ZOOM_Y_OUT, false, false, "zoom_y_out", "Zoom out vertically", "zoom-y-out"},
  };
  int position = 9;  // after Print and About
  for (const ZoomButton& zoom : kZooms) {
    table.Add({.id = zoom.id,
               .owner = CommandOwner::Document,
               .run = [zoom](CommandContext& c) { return Zoom(c, zoom.alongX, zoom.enlarge); },
               .toolbar = {position++, zoom.icon, zoom.tip},
               .batch = {.name = zoom.batchName}});
  }

  for (int mode = 0; mode < 3; ++mode) {
    const ColorModeButton& button = kColorModes[mode];
    table.Add({.id = button.id,
               .owner = CommandOwner::View,
               .run = [mode](CommandContext& c) { return SetColorMode(c, mode); },
               .update =
                   [mode](const CommandContext& c, CommandState& s) {
                     s.checked = c.doc.grid->mapColorMode == mode;
                     s.enabled = GridLargerThan(c, 0) && c.doc.grid->mapColorMode != mode;
                   },
               .checkable = true,
               .toolbar = {position++, button.icon, button.tip}});
  }
  // A script names the mode by its number.
  table.AddBatch({.name = "color-mode", .forArgument = [](const std::string& argument) {
                    for (int mode = 0; mode < 3; ++mode)
                      if (argument == std::to_string(mode)) return kColorModes[mode].id;
                    return 0;
                  }});
}

}  // namespace gridora
