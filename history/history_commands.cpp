#include "history/history_commands.h"

#include <memory>
#include <new>

#include "commands/command_ids.h"
#include "commands/command_table.h"
#include "history/document_history.h"
#include "platform/user_interface.h"
#include "platform/view_host.h"
#include "view/document.h"

namespace gridora {
namespace {

DocumentHistory& HistoryOf(Document& doc) {
  if (!doc.history) doc.history = std::make_shared<DocumentHistory>();
  return *doc.history;
}

// Commands that change the kriging state in place (its variograms and model), which
// the snapshots do not hold: they mark the document modified without an undo step.
bool ChangesKrigingState(int id) { return id == ID_VARIOGRAM || id == ID_SET_VARIOGRAM || id == ID_CROSS_VARIANCE; }

class HistoryObserver : public CommandObserver {
 public:
  void Before(int id, CommandContext& c) override {
    if (depth_++ > 0 || id == ID_EDIT_UNDO || id == ID_EDIT_REDO) return;
    krigingState_ = c.doc.krigingState.get();
    try {
      HistoryOf(c.doc).Before(c.doc);
    } catch (const std::bad_alloc&) {
      HistoryOf(c.doc).Clear();
    }
  }

  void After(int id, CommandContext& c, CommandStatus status) override {
    if (--depth_ > 0 || id == ID_EDIT_UNDO || id == ID_EDIT_REDO) return;
    Document& doc = c.doc;
    DocumentHistory& history = HistoryOf(doc);
    DocumentHistory::Change change = DocumentHistory::Change::Unknown;
    try {
      change = history.After(doc);
    } catch (const std::bad_alloc&) {
      history.Clear();
    }
    const bool done = status == CommandStatus::Done;
    if (done && (id == ID_FILE_NEW || id == ID_FILE_OPEN)) {
      ForgetHistory(doc);
      return;
    }
    if (done && (id == ID_FILE_SAVE || id == ID_FILE_SAVE_AS)) {
      history.MarkSaved();
      doc.modified = false;
      return;
    }
    // Too large to follow: any command that finished may have changed it.
    const bool unknown = change == DocumentHistory::Change::Unknown && done;
    const bool krigingChanged = (done && ChangesKrigingState(id)) || doc.krigingState.get() != krigingState_;
    if (krigingChanged) history.ForgetSaved();
    if (change == DocumentHistory::Change::Kept || unknown || krigingChanged) doc.modified = true;
  }

 private:
  int depth_ = 0;
  const void* krigingState_ = nullptr;
};

CommandStatus Step(CommandContext& c, bool undo) {
  DocumentHistory& history = HistoryOf(c.doc);
  try {
    if (!(undo ? history.Undo(c.doc) : history.Redo(c.doc))) return CommandStatus::Failed;
  } catch (const std::bad_alloc&) {
    c.ui.Message("Not enough memory to complete this command. The data are unchanged.");
    return CommandStatus::Failed;
  }
  // Back at the state last saved: nothing unsaved.
  c.doc.modified = !history.AtSavedState();
  c.view.UpdateAllViews();
  return CommandStatus::Done;
}

}  // namespace

void ForgetHistory(Document& doc) {
  if (doc.history) {
    doc.history->Clear();
    doc.history->MarkSaved();
  }
  doc.modified = false;
}

void RegisterHistoryCommands(CommandTable& table) {
  table.SetHandler(
      ID_EDIT_UNDO, [](CommandContext& c) { return Step(c, true); },
      [](const CommandContext& c, CommandState& s) { s.enabled = c.doc.history && c.doc.history->CanUndo(); });
  table.AddBatch({.name = "undo", .commandId = ID_EDIT_UNDO});
  table.Add({.id = ID_EDIT_REDO,
             .owner = CommandOwner::Document,
             .run = [](CommandContext& c) { return Step(c, false); },
             .update = [](const CommandContext& c,
                          CommandState& s) { s.enabled = c.doc.history && c.doc.history->CanRedo(); },
             .menu = {"&Edit", "&Redo\tCtrl+Shift+Z"},
             .shortcuts = {"Ctrl+Shift+Z", "Ctrl+Y"},
             .batch = {.name = "redo"}});
  table.SetObserver(std::make_shared<HistoryObserver>());
}

}  // namespace gridora
