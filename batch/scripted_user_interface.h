#pragma once
// A user interface that answers from the current batch line: message boxes print their
// text, questions take "answer", file dialogs take the argument, dialogs take their
// fields from keys. A dialog field that refuses its value prints the dialog's message
// and throws BatchStop, which ends the script with status 2.
#include <iosfwd>
#include <stdexcept>
#include <string>

#include "batch/batch_script.h"
#include "platform/user_interface.h"

namespace gridora {

class BatchStop : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class ScriptedUserInterface : public UserInterface {
 public:
  explicit ScriptedUserInterface(std::ostream& out);

  // The line whose keys and argument answer the next dialogs.
  void SetLine(const BatchLine* line) { line_ = line; }

  void Message(const std::string& text) override;
  bool Question(const std::string& text) override;
  std::optional<std::string> OpenFileName(const std::string& initialName, const FileFilter& filter) override;
  std::optional<std::string> SaveFileName(const std::string& initialName, const FileFilter& filter) override;
  bool RunDialog(DialogData& dialog) override;
  std::unique_ptr<Feedback> BeginProgress(const std::string& title) override;

 private:
  std::optional<std::string> FileArgument();

  std::ostream& out_;
  const BatchLine* line_ = nullptr;
};

}  // namespace gridora
