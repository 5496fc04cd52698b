#pragma once
// Each menu's commands are registered from the file named after the menu, in the
// menu's order; the toolbar's own buttons and the keys from files of their own.
namespace gridora {

class CommandTable;

void RegisterFileCommands(CommandTable& table);           // file_commands.cpp: File
void RegisterExitCommand(CommandTable& table);            // file_commands.cpp: File > Exit, after every room
void RegisterViewCommands(CommandTable& table);           // view_commands.cpp: View
void RegisterEditCommands(CommandTable& table);           // edit_commands.cpp: Edit
void RegisterDataCommands(CommandTable& table);           // data_commands.cpp: Data
void RegisterInterpolationCommands(CommandTable& table);  // interpolation_commands.cpp: Interpolation
void RegisterKrigingCommands(CommandTable& table);        // kriging_commands.cpp: Interpolation > Kriging
void RegisterHelpCommands(CommandTable& table);           // help_commands.cpp: Help
void RegisterToolbarCommands(CommandTable& table);        // toolbar_commands.cpp: buttons without a menu item
void RegisterKeyCommands(CommandTable& table);            // key_commands.cpp: keys without a menu item

}  // namespace gridora
