// The declarations of the commands: the menus and the toolbar built from them, the
// batch keys taken from the dialogs, and the batch vocabulary they give.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "commands/batch_keys.h"
#include "commands/command_ids.h"
#include "commands/command_table.h"
#include "commands/menu_layout.h"
#include "dialogs/dialogs.h"
#include "menus/command_catalogue.h"

namespace gridora {
namespace {

CommandStatus Done(CommandContext&) { return CommandStatus::Done; }

// "-" for a separator, "text>" and the children indented for a submenu, "[recent]".
std::vector<std::string> Outline(const std::vector<MenuItem>& items, const std::string& indent = "") {
  std::vector<std::string> lines;
  for (const MenuItem& item : items) {
    switch (item.kind) {
      case MenuItem::Separator: lines.push_back(indent + "-"); break;
      case MenuItem::RecentFiles: lines.push_back(indent + "[" + item.text + "]"); break;
      case MenuItem::Command: lines.push_back(indent + item.text); break;
      case MenuItem::Submenu: {
        lines.push_back(indent + item.text + ">");
        for (const std::string& line : Outline(item.children, indent + "  ")) lines.push_back(line);
        break;
      }
    }
  }
  return lines;
}

TEST(MenuLayout, MenusFollowTheRegistrationWithSeparatorsAndSubmenus) {
  CommandTable table;
  table.Add({.id = 1, .run = Done, .menu = {"&File", "&New"}});
  table.Add({.id = 2, .run = Done, .menu = {"&View", "Axis"}});
  table.AddSubmenu({"&File", "More", kSeparatorBefore});
  table.Add({.id = 3, .run = Done, .menu = {"Tools", "Measure"}});
  table.Add({.id = 4, .run = Done, .menu = {"&File/More", "Deep", kSeparatorBefore}});
  table.AddRecentFiles({"&File", "Recent File", kSeparatorBefore});
  table.Add({.id = 5, .run = Done, .menu = {"&File", "E&xit"}});
  table.Add({.id = 6, .run = Done});  // no menu item

  const std::vector<Menu> bar = MenuBar(table);
  ASSERT_EQ(bar.size(), 3u);
  EXPECT_EQ(bar[0].title, "&File");
  EXPECT_EQ(bar[1].title, "&View");
  EXPECT_EQ(bar[2].title, "Tools");
  EXPECT_EQ(Outline(bar[0].items),
            (std::vector<std::string>{"&New", "-", "More>", "  -", "  Deep", "-", "[Recent File]", "E&xit"}));
  EXPECT_EQ(bar[0].items[0].id, 1);
  EXPECT_EQ(bar[0].items[2].children[1].id, 4);
}

TEST(MenuLayout, AnItemInAnUndeclaredSubmenuIsRefused) {
  CommandTable table;
  table.Add({.id = 1, .run = Done, .menu = {"Interpolation/Kriging", "Variogram"}});
  EXPECT_THROW(MenuBar(table), std::logic_error);
}

TEST(MenuLayout, ToolbarButtonsByPositionWithTheirSeparators) {
  CommandTable table;
  table.Add({.id = 10, .toolbar = {3, "cut", "", kSeparatorBefore}});
  table.Add({.id = 11, .run = Done, .toolbar = {1, "delete_all", "Delete all data"}});
  table.Add({.id = 12, .run = Done, .menu = {"&File", "Open"}, .toolbar = {2, "open"}});
  const std::vector<ToolbarButton> buttons = Toolbar(table);
  std::vector<int> ids;
  for (const ToolbarButton& button : buttons) ids.push_back(button.id);
  EXPECT_EQ(ids, (std::vector<int>{11, 12, 0, 10}));
  EXPECT_EQ(buttons[0].icon, "delete_all");
  EXPECT_EQ(buttons[0].tip, "Delete all data");
  // Two buttons at one place would leave the order to chance.
  EXPECT_THROW(table.Add({.id = 13, .toolbar = {2, "save"}}), std::logic_error);
}

TEST(BatchKeys, DialogKeysInFieldOrderThenTheOthersOnce) {
  // The fields without a key (read-only node counts) give none.
  EXPECT_EQ(Keys(GridSizeDialog{}, "cancel"), (std::vector<std::string>{"dx", "dy", "xstart", "ystart", "cancel"}));
  EXPECT_EQ(Keys(GridOriginDialog{}, GridSpacingDialog{}, "cancel"),
            (std::vector<std::string>{"xmin", "ymin", "xmax", "ymax", "dx", "dy", "cancel"}));
  FloatDialog asked;
  asked.valueKey = "lag";
  EXPECT_EQ(Keys(asked, "lag", "answer"), (std::vector<std::string>{"lag", "answer"}));
  EXPECT_EQ(Keys("width", "height"), (std::vector<std::string>{"width", "height"}));
}

// The words a script may use: a key taken from a dialog that changes changes the
// scripts that run, so every command's keys are listed here.
TEST(BatchKeys, EveryBatchCommandAcceptsItsKeys) {
  struct Expected {
    const char* name;
    std::set<std::string> keys;
    bool takesArgument;
  };
  const Expected expected[] = {
      {"new", {}, false},
      {"open", {"colskip", "rowskip", "collabel", "rowlabel", "transpose", "cancel"}, true},
      {"save", {}, true},
      {"open-random", {"import", "cancel"}, true},
      {"save-xml", {"answer"}, true},
      {"save-csv", {}, true},
      {"open-pwri", {}, true},
      {"print", {}, true},
      {"export-grid", {"format", "crs", "layer", "cancel"}, true},
      {"export-contours", {"crs", "cancel"}, true},
      {"open-raster", {}, true},
      {"render", {"width", "height"}, true},
      {"axis-setup", {"xstart", "xend", "xint", "ystart", "yend", "yint", "xtitle", "ytitle", "cancel"}, false},
      {"contour-setup", {"min", "max", "int", "cancel"}, false},
      {"default-contour", {}, false},
      {"color-target", {}, false},
      {"log", {}, false},
      {"contour", {}, false},
      {"show-random-data", {}, false},
      {"hide-far", {}, false},
      {"max-distance", {"value", "cancel"}, false},
      {"primary", {}, false},
      {"secondary", {}, false},
      {"cross", {}, false},
      {"blank-hull", {"distance", "cancel"}, false},
      {"contour-labels", {}, false},
      {"copy", {}, true},
      {"property", {"dx", "dy", "xstart", "ystart", "cancel"}, false},
      {"statistics", {"min", "max", "cancel"}, false},
      {"average-x", {"xmin", "xint", "cancel"}, false},
      {"import-table", {"x", "y", "z", "label", "delimiter", "skip", "import", "cancel"}, true},
      {"merge-duplicates", {"tolerance", "method", "cancel"}, false},
      {"block-reduce", {"cell", "method", "cancel"}, false},
      {"min-curvature", {"xmin", "ymin", "xmax", "ymax", "dx", "dy", "cancel"}, false},
      {"kriging-options",
       {"model", "nugget", "smoothness", "fit", "maxlag", "fit-nugget", "type", "angle", "ratio", "neighbours",
        "maxdist", "drift", "transform", "indicator", "block", "block-points", "cancel"},
       false},
      {"cross-validation", {"folds", "seed"}, false},
      {"standard-error", {}, false},
      {"surface-options", {"tension", "fit", "solver", "cancel"}, false},
      {"variogram", {"lag", "lag2", "lag12", "answer", "cancel"}, false},
      {"prediction", {"xmin", "ymin", "xmax", "ymax", "dx", "dy", "cancel"}, false},
      {"set-variogram", {"range", "sill", "cancel"}, false},
      {"delete-all", {"answer"}, false},
      {"zoom-x-out", {}, false},
      {"zoom-x-in", {}, false},
      {"zoom-y-in", {}, false},
      {"zoom-y-out", {}, false},
      {"color-mode", {}, false},
      {"key-up", {}, false},
      {"key-down", {}, false},
      {"grid-math", {"op", "value", "cancel"}, true},
      {"volume", {"level", "method", "cancel"}, true},
      {"filter", {"type", "width", "cancel"}, false},
      {"residuals", {}, false},
      {"idw",
       {"power", "radius", "max-points", "min-points", "xmin", "ymin", "xmax", "ymax", "dx", "dy", "cancel"},
       false},
      {"nearest", {"radius", "xmin", "ymin", "xmax", "ymax", "dx", "dy", "cancel"}, false},
      {"linear", {"xmin", "ymin", "xmax", "ymax", "dx", "dy", "cancel"}, false},
      {"breaklines", {}, true},
      {"clear-breaklines", {}, false},
      {"undo", {}, false},
      {"redo", {}, false},
      {"preferences", {"diagnostic-files"}, false},
      {"trend", {"degree", "cancel"}, false},
      {"add-trend", {}, false},
      {"directional-variogram", {"angles", "tolerance", "lag", "cutoff", "cancel"}, false},
      {"variogram-map", {"lag", "cells", "cancel"}, false},
      {"simulate", {"xmin", "ymin", "xmax", "ymax", "dx", "dy", "realisations", "seed", "cancel"}, true},
      {"add-drift", {}, true},
      {"clear-drift", {}, false},
      {"map-style", {"ramp", "reverse", "legend-title", "legend-units", "cancel"}, false},
      {"export-layout", {"title", "cancel"}, true},
      {"delete-points", {"indices", "cancel"}, false},
      {"point-labels", {}, false},
  };
  const CommandTable table = BuildCommandTable();
  EXPECT_EQ(table.BatchCommands().size(), std::size(expected));
  for (const Expected& command : expected) {
    SCOPED_TRACE(command.name);
    const BatchCommand* found = table.FindBatch(command.name);
    ASSERT_TRUE(found);
    EXPECT_EQ(std::set<std::string>(found->keys.begin(), found->keys.end()), command.keys);
    EXPECT_EQ(found->keys.size(), command.keys.size());  // each once
    EXPECT_EQ(found->takesArgument, command.takesArgument);
    // A batch command runs a declared command, or is one of its own.
    if (!found->direct && !found->forArgument) {
      EXPECT_TRUE(table.Find(found->commandId));
    }
  }
}

}  // namespace
}  // namespace gridora
