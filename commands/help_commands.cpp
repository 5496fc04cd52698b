// The Help menu.
#include "commands/command_ids.h"
#include "commands/command_modules.h"
#include "commands/command_table.h"
#include "platform/view_host.h"

namespace gridora {

void RegisterHelpCommands(CommandTable& table) {
  using O = CommandOwner;
  table.Add({ID_APP_ABOUT, O::Application, [](CommandContext& c) {
               c.view.ShowAbout();
               return CommandStatus::Done;
             }});
}

}  // namespace gridora
