#include "history/document_history.h"

#include <utility>
#include <vector>

#include "view/document.h"

namespace gridora {

bool DocumentHistory::TooLarge(const Document& doc) const {
  std::size_t bytes = 0;
  if (doc.grid)
    bytes += (doc.grid->values.size() + doc.grid->dataDistance.size()) * sizeof(float) + doc.grid->emptyNodes.size();
  for (const RandomData* data : {doc.primaryData.get(), doc.secondaryData.get()})
    if (data && data->count > 0) bytes += static_cast<std::size_t>(data->count) * sizeof(DataPoint);
  return bytes > maximumBytes_;
}

void DocumentHistory::Before(Document& doc) {
  before_.reset();
  untracked_ = TooLarge(doc);
  if (untracked_) {
    Clear();
    return;
  }
  before_ = TakeSnapshot(doc, {current_ ? &*current_ : nullptr});
}

DocumentHistory::Change DocumentHistory::After(Document& doc) {
  if (untracked_ || !before_ || TooLarge(doc)) {
    Clear();
    return Change::Unknown;
  }
  DocumentSnapshot after = TakeSnapshot(doc, {&*before_});
  if (SameState(after, *before_)) {
    current_ = std::move(after);
    before_.reset();
    return Change::None;
  }
  // The saved state among the redo steps goes with them.
  if (savedDepth_ > undo_.size()) savedValid_ = false;
  undo_.push_back(std::move(*before_));
  before_.reset();
  redo_.clear();
  current_ = std::move(after);
  Trim();
  return Change::Kept;
}

bool DocumentHistory::Undo(Document& doc) {
  if (undo_.empty()) return false;
  DocumentSnapshot now = TakeSnapshot(doc, {current_ ? &*current_ : nullptr, &undo_.back()});
  RestoreSnapshot(doc, undo_.back());
  redo_.push_back(std::move(now));
  current_ = std::move(undo_.back());
  undo_.pop_back();
  return true;
}

bool DocumentHistory::Redo(Document& doc) {
  if (redo_.empty()) return false;
  DocumentSnapshot now = TakeSnapshot(doc, {current_ ? &*current_ : nullptr, &redo_.back()});
  RestoreSnapshot(doc, redo_.back());
  undo_.push_back(std::move(now));
  current_ = std::move(redo_.back());
  redo_.pop_back();
  Trim();
  return true;
}

void DocumentHistory::Clear() {
  undo_.clear();
  redo_.clear();
  current_.reset();
  savedValid_ = false;
}

void DocumentHistory::MarkSaved() {
  savedDepth_ = undo_.size();
  savedValid_ = true;
}

std::size_t DocumentHistory::Bytes() const {
  std::vector<const DocumentSnapshot*> all;
  for (const auto& s : undo_) all.push_back(&s);
  for (const auto& s : redo_) all.push_back(&s);
  if (current_) all.push_back(&*current_);
  return SharedBytes(all);
}

void DocumentHistory::Trim() {
  while (!undo_.empty() && (undo_.size() + redo_.size() > maximumSteps_ || Bytes() > maximumBytes_)) {
    undo_.pop_front();
    if (savedDepth_ == 0) savedValid_ = false;
    if (savedDepth_ > 0) --savedDepth_;
  }
}

}  // namespace gridora
