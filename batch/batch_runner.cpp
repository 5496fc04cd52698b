#include "batch/batch_runner.h"

#include <algorithm>
#include <ostream>

#include "batch/batch_script.h"
#include "batch/batch_script_reader.h"
#include "batch/batch_view_host.h"
#include "batch/scripted_user_interface.h"
#include "commands/command_table.h"
#include "menus/command_catalogue.h"
#include "render/null_context.h"
#include "view/document.h"
#include "view/view_paint.h"

namespace gridora {
namespace {

std::string Where(const std::string& script, int line) { return script + ":" + std::to_string(line) + ": "; }

}  // namespace

int RunBatchScript(const std::string& scriptPath, Document& doc, Profile& profile, ScriptedUserInterface& ui,
                   BatchViewHost& view, std::ostream& err) {
  BatchScriptReader in;
  std::string problem;
  if (!in.Open(scriptPath, problem)) {
    err << scriptPath << ": " << problem << "\n";
    return 2;
  }
  const CommandTable table = BuildCommandTable();
  CommandContext context{doc, ui, view, profile};

  std::string text;
  int lineNumber = 0;
  for (;;) {
    const BatchScriptReader::Next next = in.ReadLine(text, problem);
    if (next == BatchScriptReader::Next::End) break;
    ++lineNumber;
    if (next == BatchScriptReader::Next::Error) {
      err << Where(scriptPath, lineNumber) << problem << "\n";
      return 2;
    }
    problem.clear();
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
    if (!line->argument.empty() && !command->takesArgument && !command->forArgument) {
      err << Where(scriptPath, lineNumber) << line->name << " takes no argument, but '" << line->argument
          << "' was given (a key is written key=value, without quotes around the key)\n";
      return 2;
    }
    if (command->refuseLine) {
      if (auto refusal = command->refuseLine(context, *line)) {
        err << Where(scriptPath, lineNumber) << *refusal << "\n";
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
        status = table.RunObserved(0, context, [&] { return command->direct(context, *line); });
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
