#include "platform/ini_file_profile.h"

#include <fstream>
#include <sstream>

#include "platform/replacing_file.h"

namespace gridora {
namespace {

std::string Trim(const std::string& text) {
  const auto first = text.find_first_not_of(" \t\r\n");
  if (first == std::string::npos) return {};
  const auto last = text.find_last_not_of(" \t\r\n");
  return text.substr(first, last - first + 1);
}

// The window's settings store quotes values that hold separators; accept both forms.
std::string Unquote(const std::string& text) {
  if (text.size() >= 2 && text.front() == '"' && text.back() == '"') return text.substr(1, text.size() - 2);
  return text;
}

}  // namespace

IniFileProfile::IniFileProfile(std::filesystem::path path) : path_(std::move(path)) { Load(); }

void IniFileProfile::Load() {
  std::ifstream in(path_, std::ios::binary);
  if (!in) return;  // a missing or unreadable file is an empty profile
  std::string line;
  std::string section = kProfileSection;
  while (std::getline(in, line)) {
    line = Trim(line);
    if (line.empty() || line[0] == ';' || line[0] == '#') continue;
    if (line.front() == '[' && line.back() == ']') {
      section = line.substr(1, line.size() - 2);
      continue;
    }
    const auto eq = line.find('=');
    if (eq == std::string::npos) continue;  // damaged line: skip it, keep the rest
    MemoryProfile::WriteText(section, Trim(line.substr(0, eq)), Unquote(Trim(line.substr(eq + 1))));
  }
}

bool IniFileProfile::WriteInt(const std::string& section, const std::string& key, int value) {
  MemoryProfile::WriteInt(section, key, value);
  return Store();
}

bool IniFileProfile::WriteText(const std::string& section, const std::string& key, const std::string& value) {
  MemoryProfile::WriteText(section, key, value);
  return Store();
}

bool IniFileProfile::Store() {
  std::ostringstream text;
  bool first = true;
  for (const auto& [lower, keys] : values_) {
    if (!first) text << "\n";
    first = false;
    text << "[" << sectionNames_[lower] << "]\n";
    for (const auto& [key, value] : keys) text << key << "=" << value << "\n";
  }
  ReplacingFile file(path_);
  return file.Open() && file.Write(text.str()) && file.Commit();
}

}  // namespace gridora
