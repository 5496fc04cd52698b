#pragma once
// One parsed line of a batch script, as the commands see it: NAME [ARGUMENT]
// [KEY=VALUE ...]. The batch runner parses it; the commands that take an argument or
// keys read them here.
#include <map>
#include <string>

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

}  // namespace gridora
