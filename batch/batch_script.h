#pragma once
// Parsing of batch scripts: one command a line, NAME [ARGUMENT] [KEY=VALUE ...]; values
// and the argument may be double-quoted to hold spaces; blank lines and lines starting
// with '#' are skipped.
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace gridora {

struct BatchLine {
  int lineNumber = 0;
  std::string name;
  std::string argument;
  std::map<std::string, std::string> keys;

  const std::string* Key(const std::string& key) const {
    auto found = keys.find(key);
    return found == keys.end() ? nullptr : &found->second;
  }
};

// Parses one line; nullopt for blank and comment lines. A malformed line (unbalanced
// quote, empty key) sets `error`.
std::optional<BatchLine> ParseBatchLine(const std::string& text, int lineNumber, std::string& error);

}  // namespace gridora
