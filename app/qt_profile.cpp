#include "qt_profile.h"

#include <QString>

namespace gridora {

QtProfile::QtProfile() : settings_(QSettings::IniFormat, QSettings::UserScope, "Quarvex Applications", "Gridora") {}

QString QtProfile::Key(const std::string& section, const std::string& key) {
  const QString name = QString::fromStdString(key);
  if (QString::fromStdString(section).compare("General", Qt::CaseInsensitive) == 0) return name;
  return QString::fromStdString(section) + "/" + name;
}

int QtProfile::ReadInt(const std::string& section, const std::string& key, int defaultValue) {
  const QVariant value = settings_.value(Key(section, key));
  if (!value.isValid()) return defaultValue;
  bool ok = false;
  const int number = value.toString().trimmed().toInt(&ok);
  return ok ? number : defaultValue;
}

std::string QtProfile::ReadText(const std::string& section, const std::string& key, const std::string& defaultValue) {
  const QVariant value = settings_.value(Key(section, key));
  if (!value.isValid()) return defaultValue;
  return value.toString().toStdString();
}

bool QtProfile::WriteInt(const std::string& section, const std::string& key, int value) {
  settings_.setValue(Key(section, key), value);
  return Sync();
}

bool QtProfile::WriteText(const std::string& section, const std::string& key, const std::string& value) {
  settings_.setValue(Key(section, key), QString::fromStdString(value));
  return Sync();
}

bool QtProfile::Sync() {
  settings_.sync();
  return settings_.status() == QSettings::NoError;
}

}  // namespace gridora
