#pragma once
// The "Import table" dialog: it reads the first lines of the table it is shown for, so
// its data side sits with the commands, above the table reader.
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "document/random_data.h"
#include "formats/delimited_table.h"
#include "platform/dialog_data.h"

namespace gridora {

// "Import table": the first rows of the table, the x, y and z columns (name or
// number), the label column (none when empty), the delimiter, the lines before the
// header and where the points go. The table is read when OK is pressed: a table that
// gives no points refuses OK with the reader's message, so the dialog stays open with
// the user's choices; the points read are kept for the command (`Read`).
class ImportTableDialog : public DialogData {
 public:
  static constexpr int kPreviewButton = 3201;

  std::string path;
  static constexpr int kPreviewLines = 7;
  // What was found, the header and the first rows, a line each as the dialog shows them.
  std::array<std::string, kPreviewLines> preview;
  std::string x, y, z;
  std::string label;
  int delimiter = 0;  // auto, comma, semicolon, tab, space
  int skip = 0;
  int import = 0;          // new, append, secondary
  bool askImport = false;  // points are loaded: ask where the new ones go

  std::string Title() const override { return "Import table"; }
  int ResourceId() const override { return 303; }
  std::vector<DialogField> Fields() override;
  std::vector<DialogButton> Buttons() override;
  void OnButton(int controlId) override;
  void OnInitDialog() override;
  // Columns that the table does not have refuse the choice.
  std::optional<std::string> Validate() const override;

  // Reads the header and the first rows again with the current delimiter and skip.
  void RefreshPreview();

  // The choices as the table reader takes them.
  TableImport Choices() const;
  // The points the accepted choices gave, and what was skipped; null before OK.
  std::unique_ptr<RandomData> TakeRead() { return std::move(read_); }
  const TableImportReport& Report() const { return report_; }

 private:
  mutable std::unique_ptr<RandomData> read_;
  mutable TableImportReport report_;
};

}  // namespace gridora
