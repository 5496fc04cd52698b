#pragma once
// The command table: each command id with its owner, handler and update rule. Commands
// are routed view -> document -> frame -> application; the first owner that has the id
// handles it. A command without a handler is shown disabled. The window's menus and
// toolbar and the batch mode both run commands through this table.
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace gridora {

class Document;
class Profile;
class UserInterface;
class ViewHost;

enum class CommandOwner { View = 0, Document = 1, Frame = 2, Application = 3 };

// How a command ended. Failed: it could not do its job (a file that cannot be read,
// refused input); the window has already told the user, the batch mode stops.
enum class CommandStatus { Done, Canceled, Failed };

struct CommandState {
  bool enabled = true;
  bool checked = false;
};

struct CommandContext {
  Document& doc;
  UserInterface& ui;
  ViewHost& view;
  Profile& profile;
};

using CommandHandler = std::function<CommandStatus(CommandContext&)>;
using UpdateRule = std::function<void(const CommandContext&, CommandState&)>;

struct CommandEntry {
  int id = 0;
  CommandOwner owner = CommandOwner::View;
  CommandHandler run;
  UpdateRule update;       // empty: always enabled, never checked
  bool checkable = false;  // a toggle or one of a group: the menu item carries a check mark
};

struct BatchLine;

// A batch script command: its name, the command it runs and the keys it accepts.
// Most run one menu command; `forArgument` picks the command from the argument (the
// colour mode buttons), `direct` runs what is not a menu command (keys, render).
struct BatchCommand {
  std::string name;
  int commandId = 0;
  std::vector<std::string> keys;
  std::function<int(const std::string& argument)> forArgument;
  std::function<CommandStatus(CommandContext&, const BatchLine&)> direct;
  // The command reads what the last drawing left (xLastDrawn, the frame of the
  // drawing): the window has always repainted before the user can choose it, so the
  // batch mode paints its view first when something changed since the last painting.
  bool needsPaintedView = false;
  // The command reads the line's argument (a file name); an argument given to any other
  // command is refused. A command with `forArgument` always takes one.
  bool takesArgument = false;
  // Refuses a line before the command runs, when its keys ask for what the window
  // would not offer at this point (a message naming the problem), else nullopt.
  std::function<std::optional<std::string>(const CommandContext&, const BatchLine&)> refuseLine;
};

class CommandTable {
 public:
  // Each id is registered once: a second registration is a programming error and
  // throws std::logic_error naming the id.
  void Add(CommandEntry entry);
  // The added command, for setting its remaining fields.
  BatchCommand& AddBatch(BatchCommand command);

  // The handler that routing picks, or nullptr.
  const CommandEntry* Route(int id) const;
  CommandState State(int id, const CommandContext& context) const;
  // Whether the id's entry is checkable (false for an unknown id).
  bool IsCheckable(int id) const;
  // Runs the command when routing finds it and its update rule enables it; a disabled
  // command returns Failed without running.
  bool IsEnabled(int id, const CommandContext& context) const { return State(id, context).enabled; }
  CommandStatus Execute(int id, CommandContext& context) const;

  const BatchCommand* FindBatch(const std::string& name) const;
  const std::vector<BatchCommand>& BatchCommands() const { return batch_; }

 private:
  std::map<int, CommandEntry> byOwner_[4];
  std::vector<BatchCommand> batch_;
};

// The table with every command of the program.
CommandTable BuildCommandTable();

}  // namespace gridora
