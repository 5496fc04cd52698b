#include "commands/command_ids.h"
#include "commands/command_modules.h"
#include "commands/command_table.h"

namespace gridora {

void RegisterKrigingCommands(CommandTable& /*table*/) {}

}  // namespace gridora
