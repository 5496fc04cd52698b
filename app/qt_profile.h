#pragma once
// The per-user profile on QSettings: INI format, user scope, organization
// "Quarvex Applications", application "Gridora". Section "General" is the top level of
// the settings object (QSettings writes it as [General]); other sections are groups.
#include <QSettings>

#include "platform/profile.h"

namespace gridora {

class QtProfile : public Profile {
 public:
  QtProfile();

  int ReadInt(const std::string& section, const std::string& key, int defaultValue) override;
  std::string ReadText(const std::string& section, const std::string& key, const std::string& defaultValue) override;
  bool WriteInt(const std::string& section, const std::string& key, int value) override;
  bool WriteText(const std::string& section, const std::string& key, const std::string& value) override;

  QString FileName() const { return settings_.fileName(); }

 private:
  static QString Key(const std::string& section, const std::string& key);
  bool Sync();

  QSettings settings_;
};

}  // namespace gridora
