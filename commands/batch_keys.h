#pragma once
// The keys a batch command accepts, each written once: the batch keys of the dialogs
// the command shows (DialogField::batchKey, in field order), then the keys that are no
// dialog field, e.g. Keys(AxisDialog{}, "cancel"). A dialog whose keys its caller sets
// (the "Float data" dialogs) is passed as the command makes it.
#include <string>
#include <vector>

#include "platform/dialog_data.h"

namespace gridora {

void AppendBatchKeys(std::vector<std::string>& keys, DialogData& dialog);
void AppendBatchKeys(std::vector<std::string>& keys, const char* key);

template <typename... Parts>
std::vector<std::string> Keys(Parts&&... parts) {
  std::vector<std::string> keys;
  (AppendBatchKeys(keys, parts), ...);
  return keys;
}

}  // namespace gridora
