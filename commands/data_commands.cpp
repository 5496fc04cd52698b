// The Data menu: the grid's property, the statistics and X-direction averages written
// beside the data, points in from delimited tables, and the clean-ups before gridding:
// merging points at one position and the block reduction of very large point sets.
#include <fmt/printf.h>

#include <algorithm>
#include <filesystem>
#include <memory>

#include "commands/batch_keys.h"
#include "commands/command_ids.h"
#include "commands/command_modules.h"
#include "commands/command_rules.h"
#include "commands/command_table.h"
#include "commands/file_commands.h"
#include "commands/table_import_dialog.h"
#include "dialogs/dialogs.h"
#include "dialogs/exchange_dialogs.h"
#include "dialogs/value_rules.h"
#include "document/point_reduction.h"
#include "formats/average_x.h"
#include "formats/data_statistics.h"
#include "formats/delimited_table.h"
#include "platform/profile.h"
#include "platform/user_interface.h"
#include "platform/view_host.h"
#include "view/document.h"

namespace gridora {
namespace {

// A value asked through the "Float data" dialog: its prompt and batch key.
struct AskedValue {
  const char* prompt;
  const char* batchKey;
};

constexpr AskedValue kStatisticsMinimum{"Minimum value", "min"};
constexpr AskedValue kStatisticsMaximum{"Maximum value", "max"};
constexpr AskedValue kAverageStart{"X min.", "xmin"};
constexpr AskedValue kAverageInterval{"X int.", "xint"};

FloatDialog AskDialog(AskedValue asked) {
  FloatDialog dialog;
  dialog.prompt = asked.prompt;
  dialog.valueKey = asked.batchKey;
  return dialog;
}

// One value through the "Float data" dialog, which refuses what `rule` refuses; false on
// Cancel.
bool AskFloat(CommandContext& c, AskedValue asked, FloatRule rule, float& value) {
  FloatDialog dialog = AskDialog(asked);
  dialog.value = value;
  dialog.rule = std::move(rule);
  if (!c.ui.RunDialog(dialog)) return false;
  value = dialog.value;
  return true;
}

CommandStatus Property(CommandContext& c) {
  GridModel& grid = *c.doc.grid;
  GridSizeDialog dialog;
  dialog.nx = grid.NX;
  dialog.ny = grid.NY;
  dialog.dx = grid.DX;
  dialog.dy = grid.DY;
  dialog.xStart = grid.x0;
  dialog.yStart = grid.y0;
  if (!c.ui.RunDialog(dialog)) return CommandStatus::Canceled;
  grid.DX = dialog.dx;
  grid.DY = dialog.dy;
  grid.x0 = dialog.xStart;
  grid.y0 = dialog.yStart;
  c.doc.mapBitmapDirty = 1;
  c.view.UpdateAllViews();
  return CommandStatus::Done;
}

CommandStatus Statistics(CommandContext& c) {
  float fmin = 0.0f, fmax = 100.0f;
  ReadProfileFloat(c.profile, "statistics_fmin", fmin);
  ReadProfileFloat(c.profile, "statistics_fmax", fmax);
  if (!AskFloat(
          c, kStatisticsMinimum, [](float v) { return CheckFinite("The minimum value", v); }, fmin))
    return CommandStatus::Canceled;
  const FloatRule notBelowMinimum = [fmin](float v) -> std::optional<std::string> {
    if (auto problem = CheckFinite("The maximum value", v)) return problem;
    if (v >= fmin) return std::nullopt;
    return fmt::sprintf("The maximum value must not be less than the minimum value %g.", static_cast<double>(fmin));
  };
  if (!AskFloat(c, kStatisticsMaximum, notBelowMinimum, fmax)) return CommandStatus::Canceled;
  WriteProfileFloat(c.profile, "statistics_fmin", fmin);
  WriteProfileFloat(c.profile, "statistics_fmax", fmax);
  std::string path, problem;
  if (!WriteDataStatistics(*c.doc.grid, c.doc.dataFolder, fmin, fmax, path, problem)) {
    c.ui.Message(problem);
    return CommandStatus::Failed;
  }
  c.ui.Message("Data statistics was saved in " + path);
  return CommandStatus::Done;
}

CommandStatus AverageX(CommandContext& c) {
  const GridModel& grid = *c.doc.grid;
  float xStart = grid.x0;
  float xInterval = static_cast<float>(static_cast<double>(grid.DX) * 10.0);
  ReadProfileFloat(c.profile, "DATA_AVERAGE_X_START", xStart);
  ReadProfileFloat(c.profile, "DATA_AVERAGE_X_INT", xInterval);
  if (!AskFloat(
          c, kAverageStart, [](float v) { return CheckCoordinate("X min.", v); }, xStart))
    return CommandStatus::Canceled;
  // The windows run from X min. to the right edge of the last drawing.
  const FloatRule fewEnoughWindows = [xStart, xEnd = grid.xLastDrawn](float v) -> std::optional<std::string> {
    if (auto problem = CheckPositiveLength("X int.", v)) return problem;
    if (static_cast<double>(xEnd) - xStart <= static_cast<double>(v) * kMaximumAverageWindows) return std::nullopt;
    return fmt::sprintf("X int. %g would make more than %d windows from %g to %g.", static_cast<double>(v),
                        kMaximumAverageWindows, static_cast<double>(xStart), static_cast<double>(xEnd));
  };
  if (!AskFloat(c, kAverageInterval, fewEnoughWindows, xInterval)) return CommandStatus::Canceled;
  WriteProfileFloat(c.profile, "DATA_AVERAGE_X_START", xStart);
  WriteProfileFloat(c.profile, "DATA_AVERAGE_X_INT", xInterval);
  std::string problem;
  int lines = 0;
  if (!WriteAverageX(grid, c.doc.dataFolder, xStart, xInterval, lines, problem)) {
    c.ui.Message(problem);
    return CommandStatus::Failed;
  }
  c.ui.Message(fmt::sprintf("%d data was saved.", lines));
  return CommandStatus::Done;
}

const FileFilter kTableFilter{"Tables (*.csv *.txt *.tsv *.dat)", "*.csv *.txt *.tsv *.dat"};

enum ImportChoice { kNewFile = 0, kAppend = 1, kSecondary = 2 };

// A copy of a point set, for changes built aside.
std::unique_ptr<RandomData> CopyOf(const RandomData& data) { return CopyRandomData(data); }

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
  ReadProfileText(c.profile, "TableLabel", dialog.label);
  dialog.delimiter = std::clamp(ReadProfileInt(c.profile, "TableDelimiter", 0), 0, 4);
  dialog.skip = std::max(ReadProfileInt(c.profile, "TableSkip", 0), 0);
  dialog.askImport = c.doc.primaryData->count > 0;
  if (!c.ui.RunDialog(dialog)) return CommandStatus::Canceled;
  c.profile.WriteText(kProfileSection, "TableX", dialog.x);
  c.profile.WriteText(kProfileSection, "TableY", dialog.y);
  c.profile.WriteText(kProfileSection, "TableZ", dialog.z);
  c.profile.WriteText(kProfileSection, "TableLabel", dialog.label);
  WriteProfileInt(c.profile, "TableDelimiter", dialog.delimiter);
  WriteProfileInt(c.profile, "TableSkip", dialog.skip);

  // Read into a new set by the dialog's OK: the document changes only when the table
  // gave points.
  std::unique_ptr<RandomData> read = dialog.TakeRead();
  TableImportReport report = dialog.Report();
  if (!read) {
    // A dialog that was accepted without its check (a stand-in user interface).
    read = CreateRandomData();
    std::string problem;
    if (!ReadTablePoints(*read, *path, dialog.Choices(), report, problem)) {
      c.ui.Message(problem);
      return CommandStatus::Failed;
    }
  }
  const int choice = dialog.askImport ? dialog.import : kNewFile;
  if (choice == kAppend) {
    RandomData& present = *c.doc.primaryData;
    const int room = RandomData::kCapacity - present.count;
    auto joined = CopyOf(present);
    const int taken = std::min(room, read->count);
    std::copy(read->points.get(), read->points.get() + taken, joined->points.get() + joined->count);
    if (present.HasLabels() || read->HasLabels()) {
      // One label a point: points without a name get an empty one.
      joined->labels.resize(static_cast<std::size_t>(present.count));
      for (int i = 0; i < taken; ++i) joined->labels.push_back(read->LabelOf(i));
    }
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

void RegisterDataCommands(CommandTable& table) {
  using O = CommandOwner;
  constexpr const char* kData = "Data";
  const auto withPoints = [](const CommandContext& c, CommandState& s) { s.enabled = c.doc.primaryData->count >= 2; };
  table.Add({.id = ID_DATA_PROPERTY,
             .owner = O::Document,
             .run = Property,
             .update = WhenGridLargerThan(1),
             .menu = {kData, "Property", kSeparatorBefore},
             .batch = {.name = "property", .keys = Keys(GridSizeDialog{}, "cancel")}});
  table.Add({.id = ID_STATISTICS,
             .owner = O::View,
             .run = Statistics,
             .update = WhenGridLargerThan(0),
             .menu = {kData, "Statistics", kSeparatorBefore},
             .batch = {.name = "statistics",
                       .keys = Keys(AskDialog(kStatisticsMinimum), AskDialog(kStatisticsMaximum), "cancel")}});
  table.Add({.id = ID_AVERAGE_X,
             .owner = O::View,
             .run = AverageX,
             .update = WhenGridLargerThan(0),
             .menu = {kData, "Average (X-direction)", kSeparatorBefore},
             .batch = {.name = "average-x",
                       .keys = Keys(AskDialog(kAverageStart), AskDialog(kAverageInterval), "cancel"),
                       .needsPaintedView = true}});

  table.Add({.id = ID_IMPORT_TABLE,
             .owner = O::Document,
             .run = ImportTable,
             .menu = {kData, "Import table...", kSeparatorBefore},
             .batch = {.name = "import-table", .keys = Keys(ImportTableDialog{}, "cancel"), .takesArgument = true}});
  table.Add({.id = ID_MERGE_DUPLICATES,
             .owner = O::Document,
             .run = MergeDuplicates,
             .update = withPoints,
             .menu = {kData, "Merge duplicates..."},
             .batch = {.name = "merge-duplicates", .keys = Keys(MergeDuplicatesDialog{}, "cancel")}});
  table.Add({.id = ID_BLOCK_REDUCE,
             .owner = O::Document,
             .run = BlockReduce,
             .update = withPoints,
             .menu = {kData, "Block reduce..."},
             .batch = {.name = "block-reduce", .keys = Keys(BlockReduceDialog{}, "cancel")}});
}

}  // namespace gridora
