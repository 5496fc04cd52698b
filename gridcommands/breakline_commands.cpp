#include "gridcommands/breakline_commands.h"

#include <fmt/printf.h>

#include <string>
#include <vector>

#include "commands/command_ids.h"
#include "commands/command_table.h"
#include "exchange/polyline_import.h"
#include "formats/polyline_text.h"
#include "platform/count_text.h"
#include "platform/user_interface.h"
#include "platform/view_host.h"
#include "view/document.h"

namespace gridora {
namespace {

const FileFilter kLineFilter{"Lines (*.gpkg *.geojson *.json *.shp *.dxf *.txt *.xy)",
                             "*.gpkg *.geojson *.json *.shp *.dxf *.txt *.xy"};

std::string Counted(std::size_t count, const char* one, const char* many) {
  return GroupedCount(count) + " " + (count == 1 ? one : many);
}

CommandStatus ReadBreaklines(CommandContext& c) {
  const auto path = c.ui.OpenFileName("", kLineFilter);
  if (!path) return CommandStatus::Canceled;
  std::vector<Polyline> lines;
  std::string problem;
  const bool read =
      IsGisLineFile(*path) ? ReadGisLines(*path, lines, problem) : ReadPolylineText(*path, lines, problem);
  if (!read) {
    c.ui.Message(problem + " The faults are unchanged.");
    return CommandStatus::Failed;
  }
  std::size_t vertices = 0;
  for (const Polyline& line : lines) vertices += line.vertices.size();
  c.doc.breaklines = std::move(lines);
  c.ui.Message(fmt::sprintf("%s (%s) read as faults: minimum curvature leaves out every term across them.",
                            Counted(c.doc.breaklines.size(), "line", "lines"),
                            Counted(vertices, "vertex", "vertices")));
  c.doc.mapBitmapDirty = 1;
  c.view.UpdateAllViews();
  return CommandStatus::Done;
}

CommandStatus ClearBreaklines(CommandContext& c) {
  c.doc.breaklines.clear();
  c.doc.mapBitmapDirty = 1;
  c.view.UpdateAllViews();
  return CommandStatus::Done;
}

}  // namespace

void RegisterBreaklineCommands(CommandTable& table) {
  using O = CommandOwner;
  constexpr const char* kInterpolation = "Interpolation";
  table.Add({.id = ID_BREAKLINES,
             .owner = O::Document,
             .run = ReadBreaklines,
             .menu = {kInterpolation, "Faults (breaklines)...", kSeparatorBefore},
             .batch = {.name = "breaklines", .takesArgument = true}});
  table.Add({.id = ID_CLEAR_BREAKLINES,
             .owner = O::Document,
             .run = ClearBreaklines,
             .menu = {kInterpolation, "Clear faults"},
             .batch = {.name = "clear-breaklines"}});
}

}  // namespace gridora
