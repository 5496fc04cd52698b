#include "stylecommands/style_commands.h"

#include "commands/batch_keys.h"
#include "commands/command_ids.h"
#include "commands/command_rules.h"
#include "commands/command_table.h"
#include "platform/user_interface.h"
#include "platform/view_host.h"
#include "render/drawing_parameter.h"
#include "stylecommands/map_style_dialog.h"
#include "view/document.h"
#include "view/print_layout.h"

namespace gridora {
namespace {

CommandStatus MapStyleCommand(CommandContext& c) {
  MapStyleDialog dialog;
  dialog.Load(c.doc.mapParameter->style);
  if (!c.ui.RunDialog(dialog)) return CommandStatus::Canceled;
  MapStyle style = c.doc.mapParameter->style;
  dialog.Store(style);
  if (style == c.doc.mapParameter->style) return CommandStatus::Done;
  c.doc.mapParameter->style = style;
  // The pixel map and the traced bands hold the old colours.
  c.doc.tracedBands.reset();
  return Redraw(c, true);
}

CommandStatus ExportLayoutCommand(CommandContext& c) {
  LayoutDialog dialog;
  const std::string proposed = LayoutTitle(c.doc);
  dialog.title = proposed;
  if (!c.ui.RunDialog(dialog)) return CommandStatus::Canceled;
  const auto path = c.ui.SaveFileName("*.pdf", {"PDF page or PNG image (*.pdf *.png)", "*.pdf"});
  if (!path) return CommandStatus::Canceled;
  // A title typed is kept for the next export and for File > Print; the proposed one
  // (the document's name) keeps following the document.
  if (dialog.title != proposed) c.doc.mapParameter->style.layoutTitle = dialog.title;
  return c.view.ExportLayout(*path, dialog.title.empty() ? LayoutTitle(c.doc) : dialog.title) ? CommandStatus::Done
                                                                                              : CommandStatus::Failed;
}

}  // namespace

void RegisterStyleCommands(CommandTable& table) {
  table.Add({.id = ID_MAP_STYLE,
             .owner = CommandOwner::View,
             .run = MapStyleCommand,
             .menu = {"&View", "Map st&yle..."},
             .prompt = "Choose the colour ramp and the legend's title and units\nMap style",
             .batch = {.name = "map-style", .keys = Keys(MapStyleDialog{}, "cancel")}});
  table.Add({.id = ID_EXPORT_LAYOUT,
             .owner = CommandOwner::View,
             .run = ExportLayoutCommand,
             .menu = {"&File", "Export la&yout..."},
             .prompt = "Write the map page with title, legend, north arrow and scale bar to a PDF or PNG file\n"
                       "Export layout",
             .batch = {.name = "export-layout", .keys = Keys(LayoutDialog{}, "cancel"), .takesArgument = true}});
}

void RegisterGuideCommand(CommandTable& table) {
  table.Add({.id = ID_USER_GUIDE,
             .owner = CommandOwner::Application,
             .run =
                 [](CommandContext& c) {
                   c.view.ShowUserGuide();
                   return CommandStatus::Done;
                 },
             .menu = {"&Help", "&User guide"},
             .shortcuts = {"F1"},
             .prompt = "Open the user guide\nUser guide"});
}

}  // namespace gridora
