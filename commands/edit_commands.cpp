// The Edit menu, and the standard Copy of the toolbar and Ctrl+C. Of them only the
// menu's Copy, which copies the drawing, has a handler: the others stay disabled.
#include "commands/command_ids.h"
#include "commands/command_modules.h"
#include "commands/command_table.h"
#include "platform/view_host.h"

namespace gridora {

void RegisterEditCommands(CommandTable& table) {
  constexpr const char* kEdit = "&Edit";
  table.Add({.id = ID_EDIT_UNDO,
             .menu = {kEdit, "&Undo\tCtrl+Z"},
             .shortcuts = {"Ctrl+Z", "Alt+Backspace"},
             .prompt = "Undo the last action\nUndo"});
  table.Add({.id = ID_EDIT_CUT,
             .menu = {kEdit, "Cu&t\tCtrl+X", kSeparatorBefore},
             .toolbar = {4, "cut", "", kSeparatorBefore},
             .shortcuts = {"Ctrl+X", "Shift+Del"},
             .prompt = "Cut the selection and put it on the Clipboard\nCut"});
  table.Add(
      {.id = ID_EDIT_COPY,
       .owner = CommandOwner::View,
       .run = [](CommandContext& c) { return c.view.CopyDrawing() ? CommandStatus::Done : CommandStatus::Failed; },
       .menu = {kEdit, "&Copy\tCtrl+C"},
       .batch = {.name = "copy", .needsPaintedView = true, .takesArgument = true}});
  table.Add({.id = ID_EDIT_COPY_STANDARD,
             .toolbar = {5, "copy"},
             .shortcuts = {"Ctrl+C", "Ctrl+Ins"},
             .prompt = "Copy the selection and put it on the Clipboard\nCopy"});
  table.Add({.id = ID_EDIT_PASTE,
             .menu = {kEdit, "&Paste\tCtrl+V"},
             .toolbar = {6, "paste"},
             .shortcuts = {"Ctrl+V", "Shift+Ins"},
             .prompt = "Insert Clipboard contents\nPaste"});
}

}  // namespace gridora
