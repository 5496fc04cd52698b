// Points in from delimited tables, and the clean-ups before gridding: merging points
// at one position and the block reduction of very large point sets.
#include <fmt/printf.h>

#include <algorithm>
#include <filesystem>
#include <memory>

#include "commands/command_ids.h"
#include "commands/command_modules.h"
#include "commands/command_table.h"
#include "commands/file_commands.h"
#include "commands/table_import_dialog.h"
#include "dialogs/exchange_dialogs.h"
#include "document/point_reduction.h"
#include "formats/delimited_table.h"
#include "platform/profile.h"
#include "platform/user_interface.h"
#include "platform/view_host.h"
#include "view/document.h"

namespace gridora {
namespace {

const FileFilter kTableFilter{"Tables (*.csv *.txt *.tsv *.dat)", "*.csv *.txt *.tsv *.dat"};

enum ImportChoice { kNewFile = 0, kAppend = 1, kSecondary = 2 };

const TableDelimiter kDelimiters[] = {TableDelimiter::Auto, TableDelimiter::Comma, TableDelimiter::Semicolon,
                                      TableDelimiter::Tab, TableDelimiter::Space};

// A copy of a point set, for changes built aside.
std::unique_ptr<RandomData> CopyOf(const RandomData& data) {
  auto copy = CreateRandomData();
  std::copy(data.points.get(), data.points.get() + data.count, copy->points.get());
  copy->count = data.count;
  return copy;
}

void PointsChanged(CommandContext& c) {
  c.doc.mapBitmapDirty = 1;
  c.view.UpdateAllViews();
}

CommandStatus ImportTable(CommandContext& c) {
  const auto path = c.ui.OpenFileName("", kTableFilter);
  if (!path) return CommandStatus::Canceled;
  ImportTableDialog dialog;
  dialog.path = *path;
  ReadProfileText(c.profile, "TableX", dialog.x);
  ReadProfileText(c.profile, "TableY", dialog.y);
  ReadProfileText(c.profile, "TableZ", dialog.z);
  dialog.delimiter = std::clamp(ReadProfileInt(c.profile, "TableDelimiter", 0), 0, 4);
  dialog.skip = std::max(ReadProfileInt(c.profile, "TableSkip", 0), 0);
  dialog.askImport = c.doc.primaryData->count > 0;
  if (!c.ui.RunDialog(dialog)) return CommandStatus::Canceled;
  c.profile.WriteText(kProfileSection, "TableX", dialog.x);
  c.profile.WriteText(kProfileSection, "TableY", dialog.y);
  c.profile.WriteText(kProfileSection, "TableZ", dialog.z);
  WriteProfileInt(c.profile, "TableDelimiter", dialog.delimiter);
  WriteProfileInt(c.profile, "TableSkip", dialog.skip);

  TableImport import;
  import.delimiter = kDelimiters[std::clamp(dialog.delimiter, 0, 4)];
  import.skip = dialog.skip;
  import.x = dialog.x;
  import.y = dialog.y;
  import.z = dialog.z;
  // Read into a new set: the document changes only when the table gave points.
  auto read = CreateRandomData();
  TableImportReport report;
  std::string problem;
  if (!ReadTablePoints(*read, *path, import, report, problem)) {
    c.ui.Message(problem);
    return CommandStatus::Failed;
  }
  const int choice = dialog.askImport ? dialog.import : kNewFile;
  if (choice == kAppend) {
    RandomData& present = *c.doc.primaryData;
    const int room = RandomData::kCapacity - present.count;
    auto joined = CopyOf(present);
    const int taken = std::min(room, read->count);
    std::copy(read->points.get(), read->points.get() + taken, joined->points.get() + joined->count);
    joined->count += taken;
    report.rowsBeyondCapacity += read->count - taken;
    joined->StartRanges();
    for (int i = 0; i < joined->count; ++i) joined->ExtendRanges(joined->points[i]);
    read = std::move(joined);
  }
  const bool secondary = choice == kSecondary;
  std::string message = PointSummary(secondary, *read);
  const std::string skipped = report.SkippedText();
  if (!skipped.empty()) message += "\n" + skipped;
  c.ui.Message(message);

  if (secondary)
    c.doc.secondaryData = std::move(read);
  else
    std::swap(*c.doc.primaryData, *read);
  c.doc.dataFolder = std::filesystem::path(*path).parent_path().string();
  PointsChanged(c);
  return CommandStatus::Done;
}

CommandStatus MergeDuplicates(CommandContext& c) {
  MergeDuplicatesDialog dialog;
  ReadProfileFloat(c.profile, "MergeTolerance", dialog.tolerance);
  dialog.method = std::clamp(ReadProfileInt(c.profile, "MergeMethod", 0), 0, 2);
  if (!c.ui.RunDialog(dialog)) return CommandStatus::Canceled;
  WriteProfileFloat(c.profile, "MergeTolerance", dialog.tolerance);
  WriteProfileInt(c.profile, "MergeMethod", dialog.method);
  static const MergeMethod kMethods[] = {MergeMethod::Mean, MergeMethod::Median, MergeMethod::First};
  auto merged = CopyOf(*c.doc.primaryData);
  const MergeResult result = MergeDuplicatePoints(*merged, dialog.tolerance, kMethods[std::clamp(dialog.method, 0, 2)]);
  c.ui.Message(MergeSummary(result));
  if (result.positions == 0) return CommandStatus::Done;
  std::swap(*c.doc.primaryData, *merged);
  PointsChanged(c);
  return CommandStatus::Done;
}

CommandStatus BlockReduce(CommandContext& c) {
  RandomData& data = *c.doc.primaryData;
  BlockReduceDialog dialog;
  if (!ReadProfileFloat(c.profile, "BlockCell", dialog.cell) || !(dialog.cell > 0.0f)) {
    // A first proposal: about a thousand cells over the data's extent.
    const double extent = std::max(static_cast<double>(data.xMaximum) - data.xMinimum,
                                   static_cast<double>(data.yMaximum) - data.yMinimum);
    dialog.cell = extent > 0.0 ? static_cast<float>(extent / 32.0) : 1.0f;
  }
  dialog.method = std::clamp(ReadProfileInt(c.profile, "BlockMethod", 0), 0, 1);
  if (!c.ui.RunDialog(dialog)) return CommandStatus::Canceled;
  // A cell too small to count across the points is refused before it is kept.
  if (const std::string refusal = BlockCellRefusal(data, dialog.cell); !refusal.empty()) {
    c.ui.Message(refusal);
    return CommandStatus::Failed;
  }
  WriteProfileFloat(c.profile, "BlockCell", dialog.cell);
  WriteProfileInt(c.profile, "BlockMethod", dialog.method);
  auto reduced = CopyOf(data);
  const int before = reduced->count;
  const int after =
      BlockReducePoints(*reduced, dialog.cell, dialog.method == 1 ? MergeMethod::Median : MergeMethod::Mean);
  c.ui.Message(
      fmt::sprintf("%d points reduced to %d, one per cell of %g", before, after, static_cast<double>(dialog.cell)));
  std::swap(data, *reduced);
  PointsChanged(c);
  return CommandStatus::Done;
}

}  // namespace

void RegisterPointTableCommands(CommandTable& table) {
  using O = CommandOwner;
  const auto withPoints = [](const CommandContext& c, CommandState& s) { s.enabled = c.doc.primaryData->count >= 2; };
  table.Add({ID_IMPORT_TABLE, O::Document, ImportTable});
  table.Add({ID_MERGE_DUPLICATES, O::Document, MergeDuplicates, withPoints});
  table.Add({ID_BLOCK_REDUCE, O::Document, BlockReduce, withPoints});

  table.AddBatch({"import-table", ID_IMPORT_TABLE, {"x", "y", "z", "delimiter", "skip", "import", "cancel"}})
      .takesArgument = true;
  table.AddBatch({"merge-duplicates", ID_MERGE_DUPLICATES, {"tolerance", "method", "cancel"}});
  table.AddBatch({"block-reduce", ID_BLOCK_REDUCE, {"cell", "method", "cancel"}});
}

}  // namespace gridora
