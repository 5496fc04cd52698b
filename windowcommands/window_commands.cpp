#include "windowcommands/window_commands.h"

#include "commands/batch_keys.h"
#include "commands/command_ids.h"
#include "commands/command_table.h"
#include "platform/diagnostic_file.h"
#include "platform/profile.h"
#include "platform/user_interface.h"
#include "platform/view_host.h"
#include "view/document.h"
#include "windowcommands/preferences_dialog.h"

namespace gridora {
namespace {

CommandStatus Preferences(CommandContext& c) {
  PreferencesDialog dialog;
  dialog.diagnosticFiles = ReadProfileInt(c.profile, kDiagnosticFilesKey, 1) != 0 ? 0 : 1;
  if (!c.ui.RunDialog(dialog)) return CommandStatus::Canceled;
  const bool write = dialog.diagnosticFiles == 0;
  WriteProfileInt(c.profile, kDiagnosticFilesKey, write ? 1 : 0);
  SetDiagnosticFilesEnabled(write);
  return CommandStatus::Done;
}

}  // namespace

void RegisterWindowCommands(CommandTable& table) {
  table.Add({.id = ID_FIT_TO_WINDOW,
             .owner = CommandOwner::View,
             .run =
                 [](CommandContext& c) {
                   c.view.FitToWindow();
                   return CommandStatus::Done;
                 },
             .menu = {"&View", "Fit to window", kSeparatorBefore},
             .shortcuts = {"Ctrl+0"}});
  table.Add({.id = ID_PREFERENCES,
             .owner = CommandOwner::Application,
             .run = Preferences,
             .menu = {"&File", "Preferences...", kSeparatorBefore},
             .batch = {.name = "preferences", .keys = Keys(PreferencesDialog{})}});
}

}  // namespace gridora
