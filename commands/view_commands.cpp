#include "commands/view_commands.h"

#include <algorithm>
#include <cmath>

#include "commands/batch_line.h"
#include "commands/command_ids.h"
#include "commands/command_modules.h"
#include "commands/command_table.h"
#include "dialogs/dialogs.h"
#include "platform/number_text.h"
#include "platform/user_interface.h"
#include "platform/view_host.h"
#include "view/document.h"

namespace gridora {
namespace {

const double kRootTwo = std::sqrt(2.0);

float Times(float scale, double factor) { return static_cast<float>(static_cast<double>(scale) * factor); }
float Divided(float scale, double factor) { return static_cast<float>(static_cast<double>(scale) / factor); }

CommandStatus Zoom(CommandContext& c, bool alongX, bool enlarge) {
  GridModel& grid = *c.doc.grid;
  float& scale = alongX ? grid.scaleX : grid.scaleY;
  scale = enlarge ? Times(scale, kRootTwo) : Divided(scale, kRootTwo);
  c.doc.SaveScaleSettings();
  c.view.UpdateAllViews();
  return CommandStatus::Done;
}

bool GridAtLeast(const CommandContext& c, int minimum) { return c.doc.grid->NX > minimum && c.doc.grid->NY > minimum; }

// trunc((end - start) / interval + 1.5): difference and quotient in single precision.
// An interval of zero (or values that make no number) would overflow the conversion;
// the count is held to what the frame can draw.
int TickCount(float start, float end, float interval) {
  constexpr double kMostTicks = 10000.0;
  const float quotient = (end - start) / interval;
  const double count = static_cast<double>(quotient) + 1.5;
  if (std::isnan(count)) return 0;
  return static_cast<int>(std::clamp(count, -kMostTicks, kMostTicks));
}

CommandStatus AxisSetup(CommandContext& c) {
  GridModel& grid = *c.doc.grid;
  AxisDialog dialog;
  dialog.xStart = grid.xStart;
  dialog.xEnd = grid.xEnd;
  dialog.xInterval = grid.xInterval;
  dialog.yStart = grid.yStart;
  dialog.yEnd = grid.yEnd;
  dialog.yInterval = grid.yInterval;
  dialog.xTitle = grid.xTitle;
  dialog.yTitle = grid.yTitle;
  if (!c.ui.RunDialog(dialog)) return CommandStatus::Canceled;
  grid.xStart = dialog.xStart;
  grid.xEnd = dialog.xEnd;
  grid.xInterval = dialog.xInterval;
  grid.yStart = dialog.yStart;
  grid.yEnd = dialog.yEnd;
  grid.yInterval = dialog.yInterval;
  grid.xTitle = dialog.xTitle;
  grid.yTitle = dialog.yTitle;
  grid.xTickCount = TickCount(grid.xStart, grid.xEnd, grid.xInterval);
  grid.yTickCount = TickCount(grid.yStart, grid.yEnd, grid.yInterval);
  grid.axisFixed = 1;
  c.doc.mapBitmapDirty = 1;
  c.view.Invalidate();
  return CommandStatus::Done;
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

CommandStatus DeleteAll(CommandContext& c) {
  if (!c.ui.Question("Are you sure to delete all current data?")) return CommandStatus::Canceled;
  c.doc.DeleteAllData();
  c.view.Invalidate();
  return CommandStatus::Done;
}

CommandStatus SelectVariable(CommandContext& c, int selection) {
  c.doc.variableSelection = selection;
  c.view.Invalidate();
  return CommandStatus::Done;
}

CommandStatus RenderView(CommandContext& c, const BatchLine& line) {
  int width = 1024, height = 768;
  for (auto [key, size] : {std::pair{"width", &width}, std::pair{"height", &height}}) {
    const std::string* text = line.Key(key);
    if (text && (!ParseInt(*text, *size) || *size <= 0 || *size > 20000)) {
      c.ui.Message(std::string("render: ") + key + " must be a number of pixels from 1 to 20000");
      return CommandStatus::Failed;
    }
  }
  if (line.argument.empty()) {
    c.ui.Message("render needs the path of a .png, .svg or .pdf file");
    return CommandStatus::Failed;
  }
  return c.view.RenderToFile(line.argument, width, height) ? CommandStatus::Done : CommandStatus::Failed;
}

void Add(CommandTable& table, int id, CommandOwner owner, CommandHandler run, UpdateRule update = {},
         bool checkable = false) {
  table.Add({id, owner, std::move(run), std::move(update), checkable});
}

}  // namespace

bool OnViewKeyDown(CommandContext& c, ViewKey key) {
  if (key == ViewKey::Other) return false;
  GridModel& grid = *c.doc.grid;
  const bool up = key == ViewKey::Up;
  grid.scaleX = up ? Times(grid.scaleX, kRootTwo) : Divided(grid.scaleX, kRootTwo);
  grid.scaleY = up ? Times(grid.scaleY, kRootTwo) : Divided(grid.scaleY, kRootTwo);
  c.doc.SaveScaleSettings();
  c.view.Invalidate();
  return true;
}

void RegisterViewCommands(CommandTable& table) {
  using O = CommandOwner;
  Add(table, ID_ZOOM_X_OUT, O::Document, [](CommandContext& c) { return Zoom(c, true, false); });
  Add(table, ID_ZOOM_X_IN, O::Document, [](CommandContext& c) { return Zoom(c, true, true); });
  Add(table, ID_ZOOM_Y_IN, O::Document, [](CommandContext& c) { return Zoom(c, false, true); });
  Add(table, ID_ZOOM_Y_OUT, O::Document, [](CommandContext& c) { return Zoom(c, false, false); });

  Add(table, ID_AXIS_SETUP, O::View, AxisSetup,
      [](const CommandContext& c, CommandState& s) { s.enabled = GridAtLeast(c, 1); });
  Add(table, ID_DATA_PROPERTY, O::Document, Property,
      [](const CommandContext& c, CommandState& s) { s.enabled = GridAtLeast(c, 1); });
  Add(table, ID_DELETE_ALL, O::View, DeleteAll);
  Add(table, ID_CONTOUR, O::View, [](CommandContext& c) {
    c.view.Invalidate();
    return CommandStatus::Done;
  });
  Add(table, ID_EDIT_COPY, O::View,
      [](CommandContext& c) { return c.view.CopyDrawing() ? CommandStatus::Done : CommandStatus::Failed; });

  Add(
      table, ID_PRIMARY_VARIABLE, O::View, [](CommandContext& c) { return SelectVariable(c, 0); },
      [](const CommandContext& c, CommandState& s) {
        s.checked = c.doc.variableSelection == 0;
        s.enabled = c.doc.variableSelection != 0;
      },
      true);
  Add(
      table, ID_SECONDARY_VARIABLE, O::View, [](CommandContext& c) { return SelectVariable(c, 1); },
      [](const CommandContext& c, CommandState& s) {
        s.checked = c.doc.variableSelection == 1;
        s.enabled = c.doc.variableSelection != 1 && c.doc.secondaryData && c.doc.secondaryData->count >= 1;
      },
      true);

  table.AddBatch({"zoom-x-out", ID_ZOOM_X_OUT, {}});
  table.AddBatch({"zoom-x-in", ID_ZOOM_X_IN, {}});
  table.AddBatch({"zoom-y-in", ID_ZOOM_Y_IN, {}});
  table.AddBatch({"zoom-y-out", ID_ZOOM_Y_OUT, {}});
  table.AddBatch({"axis-setup",
                  ID_AXIS_SETUP,
                  {"xstart", "xend", "xint", "ystart", "yend", "yint", "xtitle", "ytitle", "cancel"}});
  table.AddBatch({"property", ID_DATA_PROPERTY, {"dx", "dy", "xstart", "ystart", "cancel"}});
  table.AddBatch({"delete-all", ID_DELETE_ALL, {"answer"}});
  table.AddBatch({"contour", ID_CONTOUR, {}});
  table.AddBatch({"primary", ID_PRIMARY_VARIABLE, {}});
  table.AddBatch({"secondary", ID_SECONDARY_VARIABLE, {}});
  table.AddBatch({"cross", ID_CROSS_VARIANCE, {}});
  table.AddBatch({"copy", ID_EDIT_COPY, {}, {}, {}, true}).takesArgument = true;
  table.AddBatch({"key-up", 0, {}, {}, [](CommandContext& c, const BatchLine&) {
                    OnViewKeyDown(c, ViewKey::Up);
                    return CommandStatus::Done;
                  }});
  table.AddBatch({"key-down", 0, {}, {}, [](CommandContext& c, const BatchLine&) {
                    OnViewKeyDown(c, ViewKey::Down);
                    return CommandStatus::Done;
                  }});
  table.AddBatch({"render", 0, {"width", "height"}, {}, RenderView}).takesArgument = true;
}

}  // namespace gridora
