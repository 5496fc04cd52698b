#pragma once
// What the core asks of the person in front of it: message boxes, yes/no questions,
// file dialogs, modal parameter dialogs and progress. The window answers with widgets;
// the batch mode and the tests answer from a script.
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/dialog_data.h"
#include "platform/feedback.h"

namespace gridora {

struct FileFilter {
  std::string description;  // e.g. "Gridora Files (*.snp)"
  std::string pattern;      // e.g. "*.snp"
};

// A table of rows the user looks at, sorts by any column and picks rows of to delete
// (Data > Points table). Cells are asked for as they are shown, so a million rows cost
// no texts up front.
struct RowTable {
  std::string title;
  std::vector<std::string> columns;
  int rowCount = 0;
  std::function<std::string(int row, int column)> text;
  // The value a numeric column sorts by; columns without one sort by their text.
  std::function<std::optional<double>(int row, int column)> number;
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
  // Shows the table modally; the 0-based rows the user chose to delete, or nothing when
  // the table was closed without deleting. Without a window nothing is chosen.
  virtual std::optional<std::vector<int>> ChooseRowsToDelete(const RowTable& /*table*/) { return std::nullopt; }
};

}  // namespace gridora
