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
      MakeField(1128, "Label column (name or number; empty: none)", FieldKind::Text, &label, "label"),
      RadioField(1125, "Delimiter", &delimiter, "delimiter", {"Detect", "Comma", "Semicolon", "Tab", "Spaces"},
                 {"auto", "comma", "semicolon", "tab", "space"}),
      MakeField(1126, "Rows to skip before the header", FieldKind::Int, &skip, "skip"),
      RadioField(1127, "Points", &import, "import", {"New file", "Append to present data", "Secondary variable"},
                 {"new", "append", "secondary"}),
  };
  choices[3].batchDefault = std::string();  // scripts name their label column
  choices.back().hidden = !askImport;
  fields.insert(fields.end(), choices.begin(), choices.end());
  return fields;
}

std::vector<DialogButton> ImportTableDialog::Buttons() { return {{kPreviewButton, "Preview"}}; }

void ImportTableDialog::OnButton(int controlId) {
  if (controlId == kPreviewButton) RefreshPreview();
}

void ImportTableDialog::OnInitDialog() {
  // Choices kept from another table that this one does not have are proposed afresh.
  TablePreview table;
  std::string problem;
  if (skip >= 0 && PreviewTable(path, DelimiterAt(delimiter), skip, 0, table, problem)) {
    const std::string* kept[] = {&x, &y, &z};
    const bool fits = std::all_of(std::begin(kept), std::end(kept), [&](const std::string* choice) {
      return choice->empty() || FindTableColumn(table.columns, *choice).has_value();
    });
    const bool labelFits = label.empty() || FindTableColumn(table.columns, label).has_value();
    if (!fits) x.clear(), y.clear(), z.clear(), label.clear();
    if (!labelFits) label.clear();
  }
  RefreshPreview();
}

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
  // Columns not chosen yet: one named x, y or z (any case), else the first numeric
  // columns not taken, else the first three; with them, the first text column as the
  // label.
  std::string* choices[] = {&x, &y, &z};
  const char* names[] = {"x", "y", "z"};
  const bool proposing = x.empty() && y.empty() && z.empty();
  std::vector<bool> taken(table.columns.size(), false);
  for (int k = 0; k < 3; ++k) {
    if (!choices[k]->empty()) continue;
    if (const auto named = FindTableColumn(table.columns, names[k])) {
      *choices[k] = table.columns[static_cast<std::size_t>(*named)];
      taken[static_cast<std::size_t>(*named)] = true;
    }
  }
  for (int k = 0; k < 3; ++k) {
    if (!choices[k]->empty()) continue;
    std::size_t column = 0;
    while (column < table.columns.size() && (taken[column] || !table.numeric[column])) ++column;
    if (column < table.columns.size()) {
      *choices[k] = table.columns[column];
      taken[column] = true;
    } else {
      *choices[k] = std::to_string(k + 1);
    }
  }
  if (proposing && label.empty()) {
    for (std::size_t column = 0; column < table.columns.size(); ++column)
      if (!taken[column] && !table.numeric[column]) {
        label = table.columns[column];
        break;
      }
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
  if (!label.empty() && label.find_first_not_of(" \t") != std::string::npos && !FindTableColumn(columns, label))
    return fmt::sprintf(
        "The table has no column \"%s\" for the label. Give a column name, a number from 1 to %d, or nothing.", label,
        static_cast<int>(columns.size()));
  // Read now: a table that gives no points keeps the dialog open with its message.
  auto read = CreateRandomData();
  std::string readProblem;
  if (!ReadTablePoints(*read, path, Choices(), report_, readProblem)) return readProblem;
  read_ = std::move(read);
  return std::nullopt;
}

TableImport ImportTableDialog::Choices() const {
  static const TableDelimiter kOrder[] = {TableDelimiter::Auto, TableDelimiter::Comma, TableDelimiter::Semicolon,
                                          TableDelimiter::Tab, TableDelimiter::Space};
  TableImport import;
  import.delimiter = kOrder[std::clamp(delimiter, 0, 4)];
  import.skip = skip;
  import.x = x;
  import.y = y;
  import.z = z;
  import.label = label;
  return import;
}

}  // namespace gridora
