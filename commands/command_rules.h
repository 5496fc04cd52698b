#pragma once
// What the commands of several menus share: the update rules that look at the grid, and
// the redraw after a change of the map.
#include "commands/command_table.h"

namespace gridora {

// Both node counts above `minimum`.
bool GridLargerThan(const CommandContext& context, int minimum);
// A grid of more than one node each way that holds values.
bool GridShown(const CommandContext& context);
// The rule "enabled while both node counts are above `minimum`".
UpdateRule WhenGridLargerThan(int minimum);

// Redraws the view; marks the cached pixel map dirty first when it changed.
CommandStatus Redraw(CommandContext& context, bool pixelMapChanged);

}  // namespace gridora
