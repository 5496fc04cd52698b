#include "commands/batch_keys.h"

#include <algorithm>

namespace gridora {
namespace {

void AppendOnce(std::vector<std::string>& keys, const std::string& key) {
  if (!key.empty() && std::find(keys.begin(), keys.end(), key) == keys.end()) keys.push_back(key);
}

}  // namespace

void AppendBatchKeys(std::vector<std::string>& keys, DialogData& dialog) {
  for (const DialogField& field : dialog.Fields()) AppendOnce(keys, field.batchKey);
}

void AppendBatchKeys(std::vector<std::string>& keys, const char* key) { AppendOnce(keys, key); }

}  // namespace gridora
