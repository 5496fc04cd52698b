#pragma once
// The handlers of the Grid menu's commands, one file each; grid_commands.cpp declares
// them. Each builds its result beside the document and changes the grid only through
// ReplaceDocumentGrid at the end, so a refusal leaves the document as it was.
#include <optional>
#include <string>

#include "commands/command_table.h"

namespace gridora {

struct BatchLine;

CommandStatus GridMathWithConstant(CommandContext& c);
CommandStatus GridMathWithGrid(CommandContext& c);
CommandStatus VolumeToLevel(CommandContext& c);
CommandStatus VolumeToSurface(CommandContext& c);
CommandStatus FilterDocumentGrid(CommandContext& c);
CommandStatus GridResiduals(CommandContext& c);

// The batch lines the window would not ask for: a constant (value) or a level given
// together with a second grid.
std::optional<std::string> RefuseKeyWithPath(const BatchLine& line, const char* key, const char* meaning);

}  // namespace gridora
