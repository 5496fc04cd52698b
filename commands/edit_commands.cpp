// The Edit menu: of its items only Copy (the drawing to the clipboard) has a handler.
#include "commands/command_ids.h"
#include "commands/command_modules.h"
#include "commands/command_table.h"
#include "platform/view_host.h"

namespace gridora {

void RegisterEditCommands(CommandTable& table) {
  table.Add({ID_EDIT_COPY, CommandOwner::View,
             [](CommandContext& c) { return c.view.CopyDrawing() ? CommandStatus::Done : CommandStatus::Failed; }});
  table.AddBatch({"copy", ID_EDIT_COPY, {}, {}, {}, true}).takesArgument = true;
}

}  // namespace gridora
