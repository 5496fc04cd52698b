#include "platform/profile.h"

#include <fmt/printf.h>

#include <algorithm>
#include <cctype>
#include <cmath>

#include "platform/number_text.h"

namespace gridora {

bool ReadProfileFloat(Profile& profile, const std::string& key, float& value) {
  const std::string defaultText = fmt::sprintf("%f", static_cast<double>(value));
  const std::string text = profile.ReadText(kProfileSection, key, defaultText);
  // Every float setting feeds a size, a spacing or a position: a stored "nan" or "inf"
  // (or a number beyond single precision) counts as not set.
  float parsed = value;
  if (!ParseFloat(text, parsed) || !std::isfinite(parsed)) return false;
  value = parsed;
  return true;
}

bool WriteProfileFloat(Profile& profile, const std::string& key, float value) {
  return profile.WriteText(kProfileSection, key, fmt::sprintf("%f", static_cast<double>(value)));
}

void ReadProfileText(Profile& profile, const std::string& key, std::string& text) {
  text = profile.ReadText(kProfileSection, key, text);
}

int ReadProfileInt(Profile& profile, const std::string& key, int defaultValue) {
  return profile.ReadInt(kProfileSection, key, defaultValue);
}

bool WriteProfileInt(Profile& profile, const std::string& key, int value) {
  return profile.WriteInt(kProfileSection, key, value);
}

namespace {
std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}
}  // namespace

std::string MemoryProfile::Id(const std::string& section, const std::string& key) { return Lower(section) + "/" + key; }

int MemoryProfile::ReadInt(const std::string& section, const std::string& key, int defaultValue) {
  auto s = values_.find(Lower(section));
  if (s == values_.end()) return defaultValue;
  auto k = s->second.find(key);
  if (k == s->second.end()) return defaultValue;
  int value = defaultValue;
  return ParseInt(k->second, value) ? value : defaultValue;
}

std::string MemoryProfile::ReadText(const std::string& section, const std::string& key,
                                    const std::string& defaultValue) {
  auto s = values_.find(Lower(section));
  if (s == values_.end()) return defaultValue;
  auto k = s->second.find(key);
  return k == s->second.end() ? defaultValue : k->second;
}

bool MemoryProfile::WriteInt(const std::string& section, const std::string& key, int value) {
  return MemoryProfile::WriteText(section, key, std::to_string(value));
}

bool MemoryProfile::WriteText(const std::string& section, const std::string& key, const std::string& value) {
  const std::string lower = Lower(section);
  sectionNames_.try_emplace(lower, section);
  values_[lower][key] = value;
  return true;
}

bool MemoryProfile::Has(const std::string& section, const std::string& key) const {
  auto s = values_.find(Lower(section));
  return s != values_.end() && s->second.count(key) > 0;
}

std::string MemoryProfile::Raw(const std::string& section, const std::string& key) const {
  auto s = values_.find(Lower(section));
  if (s == values_.end()) return {};
  auto k = s->second.find(key);
  return k == s->second.end() ? std::string() : k->second;
}

}  // namespace gridora
