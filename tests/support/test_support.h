#pragma once
// Fixtures shared by the core tests: a user interface that answers from the test, a
// view host that counts repaints, and a document with its command table.
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "commands/command_table.h"
#include "menus/command_catalogue.h"
#include "platform/profile.h"
#include "platform/user_interface.h"
#include "platform/view_host.h"
#include "view/document.h"

namespace gridora::test {

class FakeUserInterface : public UserInterface {
 public:
  void Message(const std::string& text) override { messages.push_back(text); }
  bool Question(const std::string& text) override {
    questions.push_back(text);
    if (answers.empty()) return true;
    bool answer = answers.front();
    answers.pop_front();
    return answer;
  }
  std::optional<std::string> OpenFileName(const std::string&, const FileFilter& filter) override {
    filters.push_back(filter);
    return NextFile();
  }
  std::optional<std::string> SaveFileName(const std::string&, const FileFilter& filter) override {
    filters.push_back(filter);
    return NextFile();
  }
  // The dialog handler sees the dialog as the command filled it; returning false is
  // Cancel. Without a handler every dialog is accepted as proposed. Values the dialog
  // refuses as a whole record its message and keep it open for the next handler; with
  // none left the user gives up (Cancel).
  bool RunDialog(DialogData& dialog) override {
    dialog.OnInitDialog();
    dialogTitles.push_back(dialog.Title());
    for (;;) {
      if (!dialogHandlers.empty()) {
        auto handler = std::move(dialogHandlers.front());
        dialogHandlers.pop_front();
        if (!handler(dialog)) return false;
      }
      auto problem = dialog.Validate();
      if (!problem) return true;
      messages.push_back(*problem);
      if (dialogHandlers.empty()) return false;
    }
  }
  std::unique_ptr<Feedback> BeginProgress(const std::string&) override;

  std::optional<std::string> NextFile() {
    if (files.empty()) return std::nullopt;
    std::string file = files.front();
    files.pop_front();
    return file;
  }

  std::vector<std::string> messages;
  std::vector<std::string> questions;
  std::vector<std::string> dialogTitles;
  std::vector<FileFilter> filters;
  std::deque<bool> answers;
  std::deque<std::string> files;
  std::deque<std::function<bool(DialogData&)>> dialogHandlers;
  bool cancelProgress = false;
};

class FakeViewHost : public ViewHost {
 public:
  void Invalidate() override { ++invalidations; }
  void UpdateAllViews() override { ++updates; }
  bool CopyDrawing() override { return ++copies, true; }
  bool Print() override { return true; }
  bool PrintPreview() override { return true; }
  bool PrintSetup() override { return true; }
  void ShowAbout() override {}
  void Exit() override {}
  void AddRecentFile(const std::string& path) override { recentFiles.push_back(path); }
  int Repaints() const { return invalidations + updates; }

  int invalidations = 0;
  int updates = 0;
  int copies = 0;
  std::vector<std::string> recentFiles;
};

// A document over a memory profile, with the full command table.
struct DocumentFixture {
  MemoryProfile profile;
  std::unique_ptr<Document> doc = std::make_unique<Document>(profile);
  FakeUserInterface ui;
  FakeViewHost view;
  CommandTable table = BuildCommandTable();
  CommandContext context{*doc, ui, view, profile};

  CommandStatus Run(int id) { return table.Execute(id, context); }
  CommandState State(int id) { return table.State(id, context); }
};

// A fresh empty folder under the system's temporary folder, removed on destruction.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  const std::filesystem::path& Path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

std::string ReadFileBytes(const std::filesystem::path& path);
void WriteFileBytes(const std::filesystem::path& path, const std::string& bytes);

// A document file without its last part when that is the exact values' part ("KDBL",
// byte count, doubles): the file as the single-precision layout alone has it.
std::string WithoutExactPart(const std::string& snp);

// Sets a dialog field by its batch key, as the user would type it.
bool SetField(DialogData& dialog, const std::string& key, const std::string& text);

}  // namespace gridora::test
