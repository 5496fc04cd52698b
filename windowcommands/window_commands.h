#pragma once
// Commands of the window's own: View > Fit to window and File > Preferences.
namespace gridora {

class CommandTable;

void RegisterWindowCommands(CommandTable& table);

}  // namespace gridora
