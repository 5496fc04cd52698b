#include "batch/batch_runner.h"

#include <algorithm>
#include <fstream>
#include <ostream>
#include <sstream>

#include "batch/batch_script.h"
#include "batch/batch_view_host.h"
#include "batch/scripted_user_interface.h"
#include "commands/command_table.h"
#include "render/null_context.h"
#include "view/gridora_doc.h"
#include "view/view_paint.h"

namespace gridora {
namespace {

std::string Where(const std::string& script, int line) { return script + ":" + std::to_string(line) + ": "; }

}  // namespace

int RunBatchScript(const std::string& scriptPath, CGridoraDoc& doc, Profile& profile,
                   ScriptedUserInterface& ui, BatchViewHost& view, std::ostream& err) {
  std::ifstream in(scriptPath, std::ios::binary);
  if (!in) {
    err << scriptPath << ": cannot open the batch script\n";
    return 2;
  }
  const CommandTable table = BuildCommandTable();
  CommandContext context{doc, ui, view, profile};

  std::string text;
  int lineNumber = 0;
  while (std::getline(in, text)) {
    ++lineNumber;
    if (lineNumber == 1 && text.rfind("\xEF\xBB\xBF", 0) == 0) text.erase(0, 3);
    std::string problem;
    const auto line = ParseBatchLine(text, lineNumber, problem);
    if (!problem.empty()) {
      err << Where(scriptPath, lineNumber) << problem << "\n";
      return 2;
    }
    if (!line) continue;

    const BatchCommand* command = table.FindBatch(line->name);
    if (!command) {
      err << Where(scriptPath, lineNumber) << "unknown command '" << line->name << "'\n";
      return 2;
    }
    for (const auto& [key, value] : line->keys) {
      if (std::find(command->keys.begin(), command->keys.end(), key) == command->keys.end()) {
        err << Where(scriptPath, lineNumber) << "unknown key '" << key << "' for " << line->name << "\n";
        return 2;
      }
    }

    ui.SetLine(&*line);
    view.SetLine(&*line);
    if (command->needsPaintedView && view.TakeRepaint()) {
      // The window's view at the batch view's size and screen resolution.
      NullContext dc(254.0 / 96.0);
      PaintView(dc, doc, {0, 0, view.ClientWidth(), view.ClientHeight()});
    }
    CommandStatus status = CommandStatus::Done;
    try {
      if (command->direct) {
        status = command->direct(context, *line);
      } else {
        const int id = command->forArgument ? command->forArgument(line->argument) : command->commandId;
        if (id == 0) {
          err << Where(scriptPath, lineNumber) << "bad argument '" << line->argument << "' for " << line->name << "\n";
          return 2;
        }
        if (!table.IsEnabled(id, context)) {
          err << Where(scriptPath, lineNumber) << line->name << " is disabled now\n";
          return 2;
        }
        status = table.Execute(id, context);
      }
    } catch (const BatchStop& stop) {
      err << Where(scriptPath, lineNumber) << stop.what() << "\n";
      return 2;
    }
    ui.SetLine(nullptr);
    view.SetLine(nullptr);
    if (status == CommandStatus::Failed) {
      err << Where(scriptPath, lineNumber) << line->name << " failed\n";
      return 2;
    }
  }
  return 0;
}

}  // namespace gridora
