#include "commands/command_rules.h"

#include "platform/view_host.h"
#include "view/document.h"

namespace gridora {

bool GridLargerThan(const CommandContext& c, int minimum) {
  return c.doc.grid->NX > minimum && c.doc.grid->NY > minimum;
}

bool GridShown(const CommandContext& c) {
  const GridModel& g = *c.doc.grid;
  return g.NX > 1 && g.NY > 1 && g.HasValues();
}

UpdateRule WhenGridLargerThan(int minimum) {
  return [minimum](const CommandContext& c, CommandState& s) { s.enabled = GridLargerThan(c, minimum); };
}

CommandStatus Redraw(CommandContext& c, bool pixelMapChanged) {
  if (pixelMapChanged) c.doc.mapBitmapDirty = 1;
  c.view.Invalidate();
  return CommandStatus::Done;
}

}  // namespace gridora
