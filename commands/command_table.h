#pragma once
// The command table: every command of the program, declared once with all that belongs
// to it (id, owner, handler, update rule, check mark, menu item, toolbar button,
// shortcuts, batch name and keys). Commands are routed view -> document -> frame ->
// application; the first owner that has the id handles it. A command without a handler
// is shown disabled. The window builds its menus, toolbar and shortcuts from the
// declarations (commands/menu_layout.h); the batch mode finds the commands by their
// batch names. Each menu's commands are registered from the file named after the menu
// (commands/command_modules.h).
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
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

struct BatchLine;

// A batch script command: its name, the command it runs and the keys it accepts (see
// Keys in commands/batch_keys.h: the dialogs' own keys, then the others).
// Most run one menu command; `forArgument` picks the command from the argument (the
// colour mode buttons), `direct` runs what is not a menu command (keys, render).
struct BatchCommand {
  std::string name;   // empty: the command has no batch name
  int commandId = 0;  // set from the declaration that holds it
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

// Where a command's item sits in the menus. A menu's items follow one another in the
// order they are registered; the menu bar shows the menus in the order of their first
// item.
struct MenuPlace {
  std::string menu;   // "&File", or "Interpolation/Kriging" for a submenu; empty: no item
  std::string label;  // as shown, with its "\t" accelerator text
  bool separatorBefore = false;
};
inline constexpr bool kSeparatorBefore = true;

// A command's toolbar button; the toolbar shows the buttons by position.
struct ToolbarPlace {
  int position = 0;  // 0: no button
  std::string icon;  // image file under resources/icons/, without ".svg"
  std::string tip;   // tool tip and status-bar prompt of a command without a `prompt`
  bool separatorBefore = false;
};

struct CommandEntry {
  int id = 0;
  CommandOwner owner = CommandOwner::View;
  CommandHandler run;      // empty: shown, never enabled
  UpdateRule update;       // empty: always enabled, never checked
  bool checkable = false;  // a toggle or one of a group: the menu item carries a check mark
  MenuPlace menu;
  ToolbarPlace toolbar;
  std::vector<std::string> shortcuts;  // in Qt's portable text: "Ctrl+N", "Shift+Del", "F6"
  std::string prompt;                  // "status-bar prompt\ntool tip" of the framework's standard commands
  BatchCommand batch;
};

// A menu item in registration order: a command's, a submenu or the recent-file list.
struct MenuDeclaration {
  enum Kind { Command, Submenu, RecentFiles };
  Kind kind = Command;
  int id = 0;  // Command
  MenuPlace place;
};

// Watches every command the table runs: told before it runs and after, with how it
// ended (the undo history and the document's modified mark hang here, so a command
// added anywhere is covered without declaring anything). A command that throws is
// reported as Failed before the exception goes on.
class CommandObserver {
 public:
  virtual ~CommandObserver() = default;
  // id 0: a script command that runs no menu command (BatchCommand::direct).
  virtual void Before(int id, CommandContext& context) = 0;
  virtual void After(int id, CommandContext& context, CommandStatus status) = 0;
};

class CommandTable {
 public:
  // Each id is registered once: a second registration is a programming error and
  // throws std::logic_error naming the id (so does a toolbar position taken twice).
  void Add(CommandEntry entry);
  // A batch command that runs no single menu command (`direct`, `forArgument`).
  void AddBatch(BatchCommand command);
  // A submenu at this point of `place.menu`, titled `place.label`; its items name it
  // in their path ("Interpolation/Kriging").
  void AddSubmenu(MenuPlace place);
  // The recent-file list at this point; `place.label` is shown while it is empty.
  void AddRecentFiles(MenuPlace place);

  // The handler that routing picks, or nullptr.
  const CommandEntry* Route(int id) const;
  // The declaration of the id, with or without a handler; nullptr for an unknown id.
  const CommandEntry* Find(int id) const;
  CommandState State(int id, const CommandContext& context) const;
  // Whether the id's entry is checkable (false for an unknown id).
  bool IsCheckable(int id) const;
  // Runs the command when routing finds it and its update rule enables it; a disabled
  // command returns Failed without running.
  bool IsEnabled(int id, const CommandContext& context) const { return State(id, context).enabled; }
  CommandStatus Execute(int id, CommandContext& context) const;
  // Runs `run` as command `id` between the observer's two calls (Execute does so for
  // every handler; the batch mode for its direct commands).
  CommandStatus RunObserved(int id, CommandContext& context, const std::function<CommandStatus()>& run) const;
  void SetObserver(std::shared_ptr<CommandObserver> observer) { observer_ = std::move(observer); }
  // Gives a command declared without a handler (a standard item shown disabled until a
  // room of commands brings what it does) its handler and update rule.
  void SetHandler(int id, CommandHandler run, UpdateRule update);

  const BatchCommand* FindBatch(const std::string& name) const;
  const std::vector<BatchCommand>& BatchCommands() const { return batch_; }
  // The ids in registration order, and the menu items.
  const std::vector<int>& Ids() const { return ids_; }
  const std::vector<MenuDeclaration>& MenuItems() const { return menuItems_; }

 private:
  std::map<int, CommandEntry> byOwner_[4];
  std::vector<int> ids_;
  std::vector<BatchCommand> batch_;
  std::vector<MenuDeclaration> menuItems_;
  std::set<int> toolbarPositions_;
  std::shared_ptr<CommandObserver> observer_;
};

}  // namespace gridora
