#pragma once
// The menus and the toolbar of the main window, as the command declarations place them
// (MenuPlace, ToolbarPlace in commands/command_table.h).
#include <string>
#include <vector>

namespace gridora {

class CommandTable;

struct MenuItem {
  enum Kind { Command, Separator, Submenu, RecentFiles };
  Kind kind = Command;
  int id = 0;
  std::string text;                // exactly as shown, with its "\t" accelerator text
  std::vector<MenuItem> children;  // Submenu
};

struct Menu {
  std::string title;
  std::vector<MenuItem> items;
};

// Toolbar buttons in order; 0 is a separator.
struct ToolbarButton {
  int id = 0;
  std::string icon;  // image file under resources/icons/, without ".svg"
  std::string tip;   // tool tip and status-bar prompt of a command without a standard prompt
};

// The menu bar: the menus in the order of their first item, each item where it was
// registered. An item in a submenu that was not declared is a programming error
// (std::logic_error naming it).
std::vector<Menu> MenuBar(const CommandTable& table);
// The buttons by their positions, with a separator where one asks for it.
std::vector<ToolbarButton> Toolbar(const CommandTable& table);

}  // namespace gridora
