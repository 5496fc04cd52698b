#pragma once
// The user interface of the window: message boxes, file dialogs, parameter dialogs and
// a progress dialog with Cancel.
#include "platform/user_interface.h"

class QWidget;

namespace gridora {

class QtUserInterface : public UserInterface {
 public:
  explicit QtUserInterface(QWidget* parent) : parent_(parent) {}

  void Message(const std::string& text) override;
  bool Question(const std::string& text) override;
  std::optional<std::string> OpenFileName(const std::string& initialName, const FileFilter& filter) override;
  std::optional<std::string> SaveFileName(const std::string& initialName, const FileFilter& filter) override;
  bool RunDialog(DialogData& dialog) override;
  std::unique_ptr<Feedback> BeginProgress(const std::string& title) override;
  std::optional<std::vector<int>> ChooseRowsToDelete(const RowTable& table) override;

 private:
  QWidget* parent_;
};

}  // namespace gridora
