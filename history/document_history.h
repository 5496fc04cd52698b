#pragma once
// Undo and redo of a document: the state before each command that changed it, kept as
// snapshots (history/document_snapshot.h) whose large blocks are shared between steps.
// Memory is bounded by a number of steps and by the bytes of the distinct blocks held;
// the oldest steps go first. A document whose grid or points alone exceed the bytes is
// not followed (no steps; the caller treats every finished command as a change).
#include <cstddef>
#include <deque>
#include <optional>

#include "history/document_snapshot.h"

namespace gridora {

class Document;

class DocumentHistory {
 public:
  static constexpr std::size_t kDefaultSteps = 50;
  static constexpr std::size_t kDefaultBytes = std::size_t{512} << 20;

  enum class Change { None, Kept, Unknown };

  explicit DocumentHistory(std::size_t maximumSteps = kDefaultSteps, std::size_t maximumBytes = kDefaultBytes)
      : maximumSteps_(maximumSteps), maximumBytes_(maximumBytes) {}

  // The state before a command runs.
  void Before(Document& doc);
  // After it: Kept when the command changed the state (a step to undo, the redo steps
  // dropped), None when it did not, Unknown when the document is too large to follow.
  Change After(Document& doc);

  bool CanUndo() const { return !undo_.empty(); }
  bool CanRedo() const { return !redo_.empty(); }
  // False when there is nothing to undo (redo). Throws std::bad_alloc, with the document
  // and the steps as they were.
  bool Undo(Document& doc);
  bool Redo(Document& doc);
  // A new or opened document: nothing to undo or redo.
  void Clear();
  // The document as it stands is the one saved (opened, new); undo and redo back to this
  // step leave it unmodified. ForgetSaved: a change outside the steps (the kriging state)
  // means no step is the saved document any more.
  void MarkSaved();
  void ForgetSaved() { savedValid_ = false; }
  bool AtSavedState() const { return savedValid_ && undo_.size() == savedDepth_; }

  std::size_t UndoSteps() const { return undo_.size(); }
  std::size_t RedoSteps() const { return redo_.size(); }
  // Bytes of the distinct large blocks held by every step and the current state.
  std::size_t Bytes() const;

 private:
  bool TooLarge(const Document& doc) const;
  void Trim();

  std::size_t maximumSteps_;
  std::size_t maximumBytes_;
  std::optional<DocumentSnapshot> before_;
  // The state after the last command, for the next one to share its blocks with.
  std::optional<DocumentSnapshot> current_;
  bool untracked_ = false;
  std::deque<DocumentSnapshot> undo_;
  std::deque<DocumentSnapshot> redo_;
  // The saved document is the state after undo_.size() == savedDepth_ steps.
  std::size_t savedDepth_ = 0;
  bool savedValid_ = true;
};

}  // namespace gridora
