#pragma once
// Preferences: what the program does beyond the data, kept in the profile.
#include <string>
#include <vector>

#include "platform/dialog_data.h"

namespace gridora {

class PreferencesDialog : public DialogData {
 public:
  int diagnosticFiles = 0;  // 0 write them (the analyses' text files), 1 do not

  std::string Title() const override { return "Preferences"; }
  int ResourceId() const override { return 401; }
  std::vector<DialogField> Fields() override;
};

}  // namespace gridora
