#include "commands/command_ids.h"
#include "commands/command_modules.h"
#include "commands/command_table.h"
#include "platform/view_host.h"

namespace gridora {
namespace {

CommandStatus Result(bool ok) { return ok ? CommandStatus::Done : CommandStatus::Failed; }

}  // namespace

void RegisterFrameCommands(CommandTable& table) {
  using O = CommandOwner;
  // File > New keeps every datum: only the document's name changes.
  table.Add({ID_FILE_NEW, O::Application, [](CommandContext& c) {
               c.view.SetTitle("");
               return CommandStatus::Done;
             }});
  table.Add({ID_FILE_PRINT, O::View, [](CommandContext& c) { return Result(c.view.Print()); }});
  table.Add({ID_FILE_PRINT_DIRECT, O::View, [](CommandContext& c) { return Result(c.view.Print()); }});
  table.Add({ID_FILE_PRINT_PREVIEW, O::View, [](CommandContext& c) { return Result(c.view.PrintPreview()); }});
  table.Add({ID_FILE_PRINT_SETUP, O::Application, [](CommandContext& c) { return Result(c.view.PrintSetup()); }});
  table.Add({ID_APP_ABOUT, O::Application, [](CommandContext& c) {
               c.view.ShowAbout();
               return CommandStatus::Done;
             }});
  table.Add({ID_APP_EXIT, O::Application, [](CommandContext& c) {
               c.view.Exit();
               return CommandStatus::Done;
             }});
  for (int id : {ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR}) {
    table.Add({id, O::Frame,
               [id](CommandContext& c) {
                 c.view.ToggleBar(id);
                 return CommandStatus::Done;
               },
               [id](const CommandContext& c, CommandState& s) { s.checked = c.view.BarVisible(id); }, true});
  }

  table.AddBatch({"new", ID_FILE_NEW, {}});
  table.AddBatch({"print", ID_FILE_PRINT, {}}).takesArgument = true;
}

}  // namespace gridora
