#include "gridcommands/grid_commands.h"

#include <string>

#include "commands/batch_keys.h"
#include "commands/batch_line.h"
#include "commands/command_ids.h"
#include "commands/command_table.h"
#include "dialogs/grid_dialogs.h"
#include "gridcommands/document_grid.h"
#include "gridcommands/grid_command_handlers.h"

namespace gridora {

void RegisterGridCommands(CommandTable& table) {
  using O = CommandOwner;
  table.Add({.id = ID_GRID_MATH_CONSTANT,
             .owner = O::Document,
             .run = GridMathWithConstant,
             .update = WhenGridHasValues(),
             .menu = {kGridMenu, "Grid math with a constant..."}});
  table.Add({.id = ID_GRID_MATH_GRID,
             .owner = O::Document,
             .run = GridMathWithGrid,
             .update = WhenGridHasValues(),
             .menu = {kGridMenu, "Grid math with a second grid..."}});
  // One script command for both: the second grid is the line's argument, if any.
  table.AddBatch(
      {.name = "grid-math",
       .keys = Keys(GridMathDialog{}, "cancel"),
       .forArgument =
           [](const std::string& argument) { return argument.empty() ? ID_GRID_MATH_CONSTANT : ID_GRID_MATH_GRID; },
       .takesArgument = true,
       .refuseLine =
           [](const CommandContext&, const BatchLine& line) {
             return RefuseKeyWithPath(line, "value", "the constant of grid math without a second grid");
           }});

  table.Add({.id = ID_VOLUME_LEVEL,
             .owner = O::Document,
             .run = VolumeToLevel,
             .update = WhenGridHasValues(),
             .menu = {kGridMenu, "Volume to a level...", kSeparatorBefore}});
  table.Add({.id = ID_VOLUME_SURFACE,
             .owner = O::Document,
             .run = VolumeToSurface,
             .update = WhenGridHasValues(),
             .menu = {kGridMenu, "Volume to a lower surface..."}});
  table.AddBatch(
      {.name = "volume",
       .keys = Keys(VolumeDialog{}, "cancel"),
       .forArgument =
           [](const std::string& argument) { return argument.empty() ? ID_VOLUME_LEVEL : ID_VOLUME_SURFACE; },
       .takesArgument = true,
       .refuseLine =
           [](const CommandContext&, const BatchLine& line) {
             return RefuseKeyWithPath(line, "level", "the level of a volume without a lower surface");
           }});

  table.Add({.id = ID_GRID_FILTER,
             .owner = O::Document,
             .run = FilterDocumentGrid,
             .update = WhenGridHasValues(),
             .menu = {kGridMenu, "Filter...", kSeparatorBefore},
             .batch = {.name = "filter", .keys = Keys(GridFilterDialog{}, "cancel")}});
  table.Add({.id = ID_GRID_RESIDUALS,
             .owner = O::Document,
             .run = GridResiduals,
             .update = WhenGridAndPoints(),
             .menu = {kGridMenu, "Residuals at the points", kSeparatorBefore},
             .batch = {.name = "residuals"}});
}

}  // namespace gridora
