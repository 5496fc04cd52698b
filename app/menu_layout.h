#pragma once
// The menus, toolbar and accelerators of the main window, in their order.
#include <QKeySequence>
#include <string>
#include <vector>

namespace gridora {

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
  std::string name;  // tool tip and status-bar prompt of a command without a standard prompt
};

struct Accelerator {
  QKeySequence keys;
  int id = 0;
};

const std::vector<Menu>& MainMenus();
const std::vector<ToolbarButton>& ToolbarButtons();
const std::vector<Accelerator>& Accelerators();

// Status-bar prompt and tool tip of the framework's standard commands ("prompt\ntip");
// empty for the program's own commands, which have none.
std::string StandardPrompt(int id);

}  // namespace gridora
