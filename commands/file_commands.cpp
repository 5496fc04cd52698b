#include "commands/file_commands.h"

#include "commands/command_ids.h"
#include "commands/command_modules.h"
#include "platform/user_interface.h"

namespace gridora {

CommandStatus OpenDocumentFile(CommandContext& context, const std::string& path) {
  context.ui.Message("Cannot open " + path + ": document files are not readable yet.");
  return CommandStatus::Failed;
}

void RegisterFileCommands(CommandTable& /*table*/) {}

}  // namespace gridora
