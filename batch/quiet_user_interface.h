#pragma once
// The UserInterface of code that runs commands or readers with nobody to ask
// (benchmarks, fuzz targets): messages are kept, not shown; questions get `answer`;
// file dialogs are cancelled; every dialog is accepted, after `editDialog` when set;
// progress goes nowhere.
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "batch/quiet_feedback.h"
#include "platform/user_interface.h"

namespace gridora {

class QuietUserInterface : public UserInterface {
 public:
  void Message(const std::string& text) override { lastMessage = text; }
  bool Question(const std::string&) override { return answer; }
  std::optional<std::string> OpenFileName(const std::string&, const FileFilter&) override { return std::nullopt; }
  std::optional<std::string> SaveFileName(const std::string&, const FileFilter&) override { return std::nullopt; }
  bool RunDialog(DialogData& dialog) override {
    if (editDialog) editDialog(dialog);
    return true;
  }
  std::unique_ptr<Feedback> BeginProgress(const std::string&) override { return std::make_unique<QuietFeedback>(); }

  bool answer = true;
  std::function<void(DialogData&)> editDialog;
  std::string lastMessage;
};

}  // namespace gridora
