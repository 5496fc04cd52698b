#include "menus/command_catalogue.h"

#include "commands/command_modules.h"
#include "gridcommands/breakline_commands.h"
#include "gridcommands/grid_commands.h"
#include "gridcommands/gridder_commands.h"
#include "history/history_commands.h"
#include "stylecommands/style_commands.h"
#include "pointcommands/point_commands.h"
#include "trendcommands/drift_commands.h"
#include "trendcommands/trend_commands.h"
#include "variocommands/variography_commands.h"
#include "windowcommands/window_commands.h"

namespace gridora {

CommandTable BuildCommandTable() {
  CommandTable table;
  // In the order of the menu bar: a menu takes its place with its first item.
  RegisterFileCommands(table);
  RegisterViewCommands(table);
  RegisterEditCommands(table);
  RegisterDataCommands(table);
  RegisterInterpolationCommands(table);
  RegisterKrigingCommands(table);
  RegisterHelpCommands(table);
  RegisterGridderCommands(table);
  RegisterBreaklineCommands(table);
  RegisterTrendCommands(table);
  RegisterVariographyCommands(table);  // Interpolation: after its items
  RegisterDriftCommands(table);        // Interpolation: after the variography items
  // Menus added after the first releases' come after theirs.
  RegisterGridCommands(table);
  RegisterHistoryCommands(table);
  RegisterWindowCommands(table);
  RegisterStyleCommands(table);
  RegisterGuideCommand(table);
  RegisterPointCommands(table);
  // Last of the rooms: Exit closes the File menu.
  RegisterExitCommand(table);
  RegisterToolbarCommands(table);
  RegisterKeyCommands(table);
  return table;
}

}  // namespace gridora
