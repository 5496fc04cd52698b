#pragma once
// The per-user settings store. Every key of the program lives in one section,
// "General"; the store keeps integers as integers and floats as "%f" text.
#include <map>
#include <string>

namespace gridora {

class Profile {
 public:
  virtual ~Profile() = default;
  virtual int ReadInt(const std::string& section, const std::string& key, int defaultValue) = 0;
  virtual std::string ReadText(const std::string& section, const std::string& key, const std::string& defaultValue) = 0;
  // A store that cannot be written (read-only file, full disk) reports false and the
  // program carries on: settings are a convenience, never a reason to fail a command.
  virtual bool WriteInt(const std::string& section, const std::string& key, int value) = 0;
  virtual bool WriteText(const std::string& section, const std::string& key, const std::string& value) = 0;
};

inline constexpr const char* kProfileSection = "General";

// Section "General" helpers. A float is written as "%f" text; reading a text that does
// not convert to a finite float leaves the caller's value unchanged.
bool ReadProfileFloat(Profile& profile, const std::string& key, float& value);
bool WriteProfileFloat(Profile& profile, const std::string& key, float value);
void ReadProfileText(Profile& profile, const std::string& key, std::string& text);
int ReadProfileInt(Profile& profile, const std::string& key, int defaultValue);
bool WriteProfileInt(Profile& profile, const std::string& key, int value);

// Keeps everything in memory: tests, and the fallback when no store can be opened.
class MemoryProfile : public Profile {
 public:
  int ReadInt(const std::string& section, const std::string& key, int defaultValue) override;
  std::string ReadText(const std::string& section, const std::string& key, const std::string& defaultValue) override;
  bool WriteInt(const std::string& section, const std::string& key, int value) override;
  bool WriteText(const std::string& section, const std::string& key, const std::string& value) override;

  bool Has(const std::string& section, const std::string& key) const;
  std::string Raw(const std::string& section, const std::string& key) const;

 protected:
  static std::string Id(const std::string& section, const std::string& key);
  // section (lower case) -> key -> text
  std::map<std::string, std::map<std::string, std::string>> values_;
  std::map<std::string, std::string> sectionNames_;  // lower case -> as first written
};

}  // namespace gridora
