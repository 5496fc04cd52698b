#include "windowcommands/preferences_dialog.h"

#include "platform/dialog_fields.h"

namespace gridora {

std::vector<DialogField> PreferencesDialog::Fields() {
  return {RadioField(4011, "Write diagnostic files", &diagnosticFiles, "diagnostic-files",
                     {"Yes (logs and matrix files of the analyses)", "No"}, {"yes", "no"})};
}

}  // namespace gridora
