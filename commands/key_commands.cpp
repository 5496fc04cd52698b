// The keys that no menu item names: the arrow keys, which zoom the map, and F6 and
// Shift+F6, the panes of the old frame, which have no handler.
#include "commands/key_commands.h"

#include <cmath>

#include "commands/batch_line.h"
#include "commands/command_ids.h"
#include "commands/command_modules.h"
#include "commands/command_table.h"
#include "platform/view_host.h"
#include "view/document.h"

namespace gridora {

float ZoomedScale(float scale, bool enlarge) {
  static const double kRootTwo = std::sqrt(2.0);
  const double wide = static_cast<double>(scale);
  return static_cast<float>(enlarge ? wide * kRootTwo : wide / kRootTwo);
}

bool OnViewKeyDown(CommandContext& c, ViewKey key) {
  if (key == ViewKey::Other) return false;
  GridModel& grid = *c.doc.grid;
  const bool up = key == ViewKey::Up;
  grid.scaleX = ZoomedScale(grid.scaleX, up);
  grid.scaleY = ZoomedScale(grid.scaleY, up);
  c.doc.SaveScaleSettings();
  c.view.Invalidate();
  return true;
}

void RegisterKeyCommands(CommandTable& table) {
  table.Add({.id = ID_NEXT_PANE, .owner = CommandOwner::Frame, .shortcuts = {"F6"}});
  table.Add({.id = ID_PREV_PANE, .owner = CommandOwner::Frame, .shortcuts = {"Shift+F6"}});
  table.AddBatch({.name = "key-up", .direct = [](CommandContext& c, const BatchLine&) {
                    OnViewKeyDown(c, ViewKey::Up);
                    return CommandStatus::Done;
                  }});
  table.AddBatch({.name = "key-down", .direct = [](CommandContext& c, const BatchLine&) {
                    OnViewKeyDown(c, ViewKey::Down);
                    return CommandStatus::Done;
                  }});
}

}  // namespace gridora
