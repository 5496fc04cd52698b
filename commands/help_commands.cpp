// The Help menu.
#include "commands/command_ids.h"
#include "commands/command_modules.h"
#include "commands/command_table.h"
#include "platform/view_host.h"

namespace gridora {

void RegisterHelpCommands(CommandTable& table) {
  table.Add({.id = ID_APP_ABOUT,
             .owner = CommandOwner::Application,
             .run =
                 [](CommandContext& c) {
                   c.view.ShowAbout();
                   return CommandStatus::Done;
                 },
             .menu = {"&Help", "&About Gridora..."},
             .toolbar = {8, "about"},
             .prompt = "Display program information, version number and copyright\nAbout"});
}

}  // namespace gridora
