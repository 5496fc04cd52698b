#include "commands/menu_layout.h"

#include <algorithm>
#include <stdexcept>

#include "commands/command_table.h"

namespace gridora {
namespace {

// A menu's title without its Alt-key mark: "&Data" and "Data" name one menu.
std::string WithoutMnemonic(std::string title) {
  title.erase(std::remove(title.begin(), title.end(), '&'), title.end());
  return title;
}

// The items of the menu or submenu at `path` ("Interpolation/Kriging"); a menu of the
// bar is added when first named, with the title it is first named by.
std::vector<MenuItem>& ItemsAt(std::vector<Menu>& bar, const std::string& path) {
  const std::size_t slash = path.find('/');
  const std::string title = path.substr(0, slash);
  auto menu = std::find_if(bar.begin(), bar.end(),
                           [&](const Menu& m) { return WithoutMnemonic(m.title) == WithoutMnemonic(title); });
  if (menu == bar.end()) menu = bar.insert(bar.end(), Menu{title, {}});
  std::vector<MenuItem>* items = &menu->items;
  std::size_t start = slash;
  while (start != std::string::npos) {
    const std::size_t next = path.find('/', start + 1);
    const std::string name = path.substr(start + 1, next == std::string::npos ? next : next - start - 1);
    auto sub = std::find_if(items->begin(), items->end(),
                            [&](const MenuItem& item) { return item.kind == MenuItem::Submenu && item.text == name; });
    if (sub == items->end()) throw std::logic_error("menu item in the undeclared submenu " + path);
    items = &sub->children;
    start = next;
  }
  return *items;
}

}  // namespace

std::vector<Menu> MenuBar(const CommandTable& table) {
  std::vector<Menu> bar;
  for (const MenuDeclaration& declared : table.MenuItems()) {
    std::vector<MenuItem>& items = ItemsAt(bar, declared.place.menu);
    if (declared.place.separatorBefore) items.push_back({MenuItem::Separator, 0, {}, {}});
    static constexpr MenuItem::Kind kKinds[] = {MenuItem::Command, MenuItem::Submenu, MenuItem::RecentFiles};
    items.push_back({kKinds[declared.kind], declared.id, declared.place.label, {}});
  }
  return bar;
}

std::vector<ToolbarButton> Toolbar(const CommandTable& table) {
  std::vector<const CommandEntry*> placed;
  for (int id : table.Ids()) {
    const CommandEntry* entry = table.Find(id);
    if (entry->toolbar.position != 0) placed.push_back(entry);
  }
  std::sort(placed.begin(), placed.end(),
            [](const CommandEntry* a, const CommandEntry* b) { return a->toolbar.position < b->toolbar.position; });
  std::vector<ToolbarButton> buttons;
  for (const CommandEntry* entry : placed) {
    if (entry->toolbar.separatorBefore) buttons.push_back({});
    buttons.push_back({entry->id, entry->toolbar.icon, entry->toolbar.tip});
  }
  return buttons;
}

}  // namespace gridora
