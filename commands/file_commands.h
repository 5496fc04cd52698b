#pragma once
// Opening and saving documents.
#include <string>

#include "commands/command_table.h"

namespace gridora {

// Opens a file as File > Open does: the command line, dropped files and the recent
// files come through here.
CommandStatus OpenDocumentFile(CommandContext& context, const std::string& path);

}  // namespace gridora
