#include "pointcommands/point_commands.h"

#include <fmt/format.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "commands/batch_keys.h"
#include "commands/command_ids.h"
#include "commands/command_table.h"
#include "document/random_data.h"
#include "platform/user_interface.h"
#include "platform/view_host.h"
#include "pointcommands/delete_points_dialog.h"
#include "pointcommands/point_indices.h"
#include "view/document.h"

namespace gridora {
namespace {

// Deletes the primary points at `indices` (0-based, ascending, each once) with their
// labels. The set is built aside and swapped in, so the undo history sees one change.
CommandStatus DeleteAt(CommandContext& c, const std::vector<int>& indices) {
  RandomData& data = *c.doc.primaryData;
  std::vector<int> kept;
  kept.reserve(static_cast<std::size_t>(data.count));
  std::size_t next = 0;
  for (int i = 0; i < data.count; ++i) {
    if (next < indices.size() && indices[next] == i) {
      ++next;
      continue;
    }
    kept.push_back(i);
  }
  auto remaining = CopyRandomData(data);
  KeepPoints(*remaining, kept);
  const int deleted = data.count - remaining->count;
  std::swap(data, *remaining);
  c.ui.Message(fmt::format("{} point(s) deleted, {} left", deleted, data.count));
  c.doc.mapBitmapDirty = 1;
  c.view.UpdateAllViews();
  return CommandStatus::Done;
}

CommandStatus DeletePoints(CommandContext& c) {
  DeletePointsDialog dialog;
  dialog.pointCount = c.doc.primaryData->count;
  if (!c.ui.RunDialog(dialog)) return CommandStatus::Canceled;
  std::vector<int> indices;
  std::string problem;
  if (!ParsePointIndices(dialog.indices, dialog.pointCount, indices, problem)) {
    c.ui.Message(problem);
    return CommandStatus::Failed;
  }
  return DeleteAt(c, indices);
}

CommandStatus PointsTable(CommandContext& c) {
  const RandomData& data = *c.doc.primaryData;
  RowTable table;
  table.title = "Points table";
  table.columns = {"No.", "Label", "X", "Y", "Z"};
  table.rowCount = data.count;
  table.text = [&data](int row, int column) -> std::string {
    const DataPoint& p = data.points[static_cast<std::size_t>(row)];
    switch (column) {
      case 0: return fmt::format("{}", row + 1);
      case 1: return data.LabelOf(row);
      case 2: return fmt::format("{}", p.x);
      case 3: return fmt::format("{}", p.y);
      default: return fmt::format("{}", p.z);
    }
  };
  table.number = [&data](int row, int column) -> std::optional<double> {
    const DataPoint& p = data.points[static_cast<std::size_t>(row)];
    switch (column) {
      case 0: return row;
      case 2: return p.x;
      case 3: return p.y;
      case 4: return p.z;
      default: return std::nullopt;
    }
  };
  const std::optional<std::vector<int>> chosen = c.ui.ChooseRowsToDelete(table);
  if (!chosen || chosen->empty()) return CommandStatus::Canceled;
  std::vector<int> indices;
  for (int row : *chosen)
    if (row >= 0 && row < data.count) indices.push_back(row);
  std::sort(indices.begin(), indices.end());
  indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
  return DeleteAt(c, indices);
}

void HasPoints(const CommandContext& c, CommandState& s) { s.enabled = c.doc.primaryData->count >= 1; }

}  // namespace

void RegisterPointCommands(CommandTable& table) {
  table.Add({.id = ID_POINTS_TABLE,
             .owner = CommandOwner::Document,
             .run = PointsTable,
             .update = HasPoints,
             .menu = {"Data", "Points table...", kSeparatorBefore}});
  table.Add({.id = ID_DELETE_POINTS,
             .owner = CommandOwner::Document,
             .run = DeletePoints,
             .update = HasPoints,
             .batch = {.name = "delete-points", .keys = Keys(DeletePointsDialog{}, "cancel")}});
  table.Add({.id = ID_POINT_LABELS,
             .owner = CommandOwner::View,
             .run =
                 [](CommandContext& c) {
                   c.doc.showPointLabels = c.doc.showPointLabels == 0 ? 1 : 0;
                   c.doc.mapBitmapDirty = 1;
                   c.view.Invalidate();
                   return CommandStatus::Done;
                 },
             .update =
                 [](const CommandContext& c, CommandState& s) {
                   s.checked = c.doc.showPointLabels == 1;
                   s.enabled = s.checked || c.doc.primaryData->HasLabels();
                 },
             .checkable = true,
             .menu = {"&View", "Point labels", kSeparatorBefore},
             .batch = {.name = "point-labels"}});
}

}  // namespace gridora
