#include "platform/default_extension.h"

#include <filesystem>

namespace gridora {

std::string DefaultExtension(const FileFilter& filter) {
  const std::string& pattern = filter.pattern;
  if (pattern.size() < 3 || pattern.compare(0, 2, "*.") != 0) return {};
  const std::string extension = pattern.substr(1);
  if (extension.find_first_of("*?[;") != std::string::npos) return {};
  return extension;
}

std::string WithDefaultExtension(const std::string& path, const FileFilter& filter) {
  const std::string extension = DefaultExtension(filter);
  if (extension.empty()) return path;
  const std::filesystem::path name = std::filesystem::path(path).filename();
  if (name.empty() || name.has_extension()) return path;
  return path + extension;
}

}  // namespace gridora
