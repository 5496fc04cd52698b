// The toolbar's buttons that no menu has: the zoom buttons, the map colour modes and
// Delete all.
#include <cmath>

#include "commands/command_ids.h"
#include "commands/command_modules.h"
#include "commands/command_table.h"
#include "platform/profile.h"
#include "platform/user_interface.h"
#include "platform/view_host.h"
#include "view/document.h"

namespace gridora {
namespace {

const double kRootTwo = std::sqrt(2.0);

float Times(float scale, double factor) { return static_cast<float>(static_cast<double>(scale) * factor); }
float Divided(float scale, double factor) { return static_cast<float>(static_cast<double>(scale) / factor); }

CommandStatus Zoom(CommandContext& c, bool alongX, bool enlarge) {
  GridModel& grid = *c.doc.grid;
  float& scale = alongX ? grid.scaleX : grid.scaleY;
  scale = enlarge ? Times(scale, kRootTwo) : Divided(scale, kRootTwo);
  c.doc.SaveScaleSettings();
  c.view.UpdateAllViews();
  return CommandStatus::Done;
}

bool GridAbove(const CommandContext& c, int minimum) { return c.doc.grid->NX > minimum && c.doc.grid->NY > minimum; }

CommandStatus Redraw(CommandContext& c, bool pixelMapChanged) {
  if (pixelMapChanged) c.doc.mapBitmapDirty = 1;
  c.view.Invalidate();
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

void Add(CommandTable& table, int id, CommandOwner owner, CommandHandler run, UpdateRule update = {},
         bool checkable = false) {
  table.Add({id, owner, std::move(run), std::move(update), checkable});
}

}  // namespace

void RegisterToolbarCommands(CommandTable& table) {
  using O = CommandOwner;
  Add(table, ID_ZOOM_X_OUT, O::Document, [](CommandContext& c) { return Zoom(c, true, false); });
  Add(table, ID_ZOOM_X_IN, O::Document, [](CommandContext& c) { return Zoom(c, true, true); });
  Add(table, ID_ZOOM_Y_IN, O::Document, [](CommandContext& c) { return Zoom(c, false, true); });
  Add(table, ID_ZOOM_Y_OUT, O::Document, [](CommandContext& c) { return Zoom(c, false, false); });
  Add(table, ID_DELETE_ALL, O::View, DeleteAll);
  const int modeIds[3] = {ID_COLOR_MODE_0, ID_COLOR_MODE_1, ID_COLOR_MODE_2};
  for (int mode = 0; mode < 3; ++mode) {
    table.Add({modeIds[mode], O::View, [mode](CommandContext& c) { return SetColorMode(c, mode); },
               [mode](const CommandContext& c, CommandState& s) {
                 s.checked = c.doc.grid->mapColorMode == mode;
                 s.enabled = GridAbove(c, 0) && c.doc.grid->mapColorMode != mode;
               },
               true});
  }

  table.AddBatch({"zoom-x-out", ID_ZOOM_X_OUT, {}});
  table.AddBatch({"zoom-x-in", ID_ZOOM_X_IN, {}});
  table.AddBatch({"zoom-y-in", ID_ZOOM_Y_IN, {}});
  table.AddBatch({"zoom-y-out", ID_ZOOM_Y_OUT, {}});
  table.AddBatch({"delete-all", ID_DELETE_ALL, {"answer"}});
  table.AddBatch({"color-mode", 0, {}, [](const std::string& argument) {
                    if (argument == "0") return static_cast<int>(ID_COLOR_MODE_0);
                    if (argument == "1") return static_cast<int>(ID_COLOR_MODE_1);
                    if (argument == "2") return static_cast<int>(ID_COLOR_MODE_2);
                    return 0;
                  }});
}

}  // namespace gridora
