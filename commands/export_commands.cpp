#include "commands/command_ids.h"
#include "commands/command_modules.h"
#include "commands/command_table.h"

namespace gridora {

void RegisterExportCommands(CommandTable& /*table*/) {}

}  // namespace gridora
