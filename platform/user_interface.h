#pragma once
// What the core asks of the person in front of it: message boxes, yes/no questions,
// file dialogs, modal parameter dialogs and progress. The window answers with widgets;
// the batch mode and the tests answer from a script.
#include <memory>
#include <optional>
#include <string>

#include "platform/dialog_data.h"
#include "platform/feedback.h"

namespace gridora {

struct FileFilter {
  std::string description;  // e.g. "Gridora Files (*.snp)"
  std::string pattern;      // e.g. "*.snp"
};

class UserInterface {
 public:
  virtual ~UserInterface() = default;
  virtual void Message(const std::string& text) = 0;
  // Yes returns true.
  virtual bool Question(const std::string& text) = 0;
  virtual std::optional<std::string> OpenFileName(const std::string& initialName, const FileFilter& filter) = 0;
  // A name typed without an extension comes back with the filter's
  // (WithDefaultExtension), as the platform's save dialogs add a default suffix.
  virtual std::optional<std::string> SaveFileName(const std::string& initialName, const FileFilter& filter) = 0;
  // Shows the dialog modally; true on OK (members hold the converted values).
  virtual bool RunDialog(DialogData& dialog) = 0;
  // Progress for a long computation; the object lives until the computation ends.
  virtual std::unique_ptr<Feedback> BeginProgress(const std::string& title) = 0;
};

}  // namespace gridora
