#include "commands/table_import_dialog.h"

#include <fmt/printf.h>

#include <algorithm>

#include "formats/delimited_table.h"
#include "platform/dialog_fields.h"

namespace gridora {
namespace {

constexpr std::size_t kPreviewFieldCharacters = 16;
constexpr std::size_t kPreviewColumns = 12;

TableDelimiter DelimiterAt(int index) {
  static const TableDelimiter order[] = {TableDelimiter::Auto, TableDelimiter::Comma, TableDelimiter::Semicolon,
                                         TableDelimiter::Tab, TableDelimiter::Space};
  return index >= 0 && index < 5 ? order[index] : TableDelimiter::Auto;
}

std::string PreviewLine(const std::vector<std::string>& fields) {
  std::string line;
  for (std::size_t i = 0; i < fields.size() && i < kPreviewColumns; ++i) {
    std::string field = fields[i].substr(0, kPreviewFieldCharacters);
    for (char& c : field)
      if (static_cast<unsigned char>(c) < 32) c = ' ';
    line += (i ? " | " : "") + field;
  }
  if (fields.size() > kPreviewColumns) line += " | ...";
  return line;
}

}  // namespace

std::vector<DialogField> ImportTableDialog::Fields() {
  std::vector<DialogField> fields;
  for (int i = 0; i < kPreviewLines; ++i) {
    DialogField line = MakeField(1160 + i, "", FieldKind::Text, &preview[static_cast<std::size_t>(i)], "");
    line.readOnly = true;
    fields.push_back(line);
  }
  std::vector<DialogField> choices = {
      MakeField(1122, "X column (name or number)", FieldKind::Text, &x, "x"),
      MakeField(1123, "Y column (name or number)", FieldKind::Text, &y, "y"),
      MakeField(1124, "Z column (name or number)", FieldKind::Text, &z, "z"),
      RadioField(1125, "Delimiter", &delimiter, "delimiter", {"Detect", "Comma", "Semicolon", "Tab", "Spaces"},
                 {"auto", "comma", "semicolon", "tab", "space"}),
      MakeField(1126, "Rows to skip before the header", FieldKind::Int, &skip, "skip"),
      RadioField(1127, "Points", &import, "import", {"New file", "Append to present data", "Secondary variable"},
                 {"new", "append", "secondary"}),
  };
  choices.back().hidden = !askImport;
  fields.insert(fields.end(), choices.begin(), choices.end());
  return fields;
}

std::vector<DialogButton> ImportTableDialog::Buttons() { return {{kPreviewButton, "Preview"}}; }

void ImportTableDialog::OnButton(int controlId) {
  if (controlId == kPreviewButton) RefreshPreview();
}

void ImportTableDialog::OnInitDialog() { RefreshPreview(); }

void ImportTableDialog::RefreshPreview() {
  TablePreview table;
  std::string problem;
  preview.fill(std::string());
  if (skip < 0 || !PreviewTable(path, DelimiterAt(delimiter), std::max(skip, 0), kPreviewLines - 2, table, problem)) {
    preview[0] = skip < 0 ? std::string("The rows to skip cannot be negative.") : problem;
    return;
  }
  static const char* delimiters[] = {"comma", "comma", "semicolon", "tab", "spaces"};
  preview[0] = fmt::sprintf("Delimiter: %s, decimal mark '%c'%s", delimiters[static_cast<int>(table.delimiter)],
                            table.decimalMark, table.hasHeader ? "" : ", no header (columns by number)");
  preview[1] = PreviewLine(table.columns);
  // Columns not chosen yet: one named x, y or z (any case), else the first three.
  std::string* choices[] = {&x, &y, &z};
  const char* names[] = {"x", "y", "z"};
  for (int k = 0; k < 3; ++k) {
    if (!choices[k]->empty()) continue;
    const auto named = FindTableColumn(table.columns, names[k]);
    *choices[k] = named ? table.columns[static_cast<std::size_t>(*named)] : std::to_string(k + 1);
  }
  for (std::size_t i = 0; i < table.rows.size() && i + 2 < preview.size(); ++i)
    preview[i + 2] = PreviewLine(table.rows[i]);
}

std::optional<std::string> ImportTableDialog::Validate() const {
  if (skip < 0) return std::string("The rows to skip cannot be negative.");
  // The delimiter or the skipped rows may have changed since the preview was read.
  TablePreview table;
  std::string problem;
  if (!PreviewTable(path, DelimiterAt(delimiter), skip, 0, table, problem)) return problem;
  const std::vector<std::string>& columns = table.columns;
  const std::string* choices[] = {&x, &y, &z};
  const char* axes[] = {"X", "Y", "Z"};
  for (int k = 0; k < 3; ++k)
    if (!FindTableColumn(columns, *choices[k]))
      return fmt::sprintf("The table has no column \"%s\" for %s. Give a column name or a number from 1 to %d.",
                          *choices[k], axes[k], static_cast<int>(columns.size()));
  return std::nullopt;
}

}  // namespace gridora
