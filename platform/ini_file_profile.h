#pragma once
// A profile kept in an INI file of its own (the batch mode's --profile FILE). The file
// is read once and rewritten after every change through a ReplacingFile, so a crash
// never leaves it half written and a profile that is a link keeps its link. The layout matches what the window's
// settings store writes: section "General" is "[General]", keys as "key=value".
#include <filesystem>
#include <vector>

#include "platform/profile.h"

namespace gridora {

class IniFileProfile : public MemoryProfile {
 public:
  explicit IniFileProfile(std::filesystem::path path);

  bool WriteInt(const std::string& section, const std::string& key, int value) override;
  bool WriteText(const std::string& section, const std::string& key, const std::string& value) override;

  const std::filesystem::path& Path() const { return path_; }

 private:
  void Load();
  bool Store();

  std::filesystem::path path_;
};

}  // namespace gridora
