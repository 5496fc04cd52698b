#pragma once
// Save dialogs add the type's extension to a name typed without one, so that a
// document saved as "survey" becomes "survey.snp" and the Open dialog's filter shows it.
#include <string>

#include "platform/user_interface.h"

namespace gridora {

// ".snp" for the pattern "*.snp"; empty for a pattern that names no single extension
// ("*.*", "*").
std::string DefaultExtension(const FileFilter& filter);

// `path` with the filter's default extension added when its file name has none.
std::string WithDefaultExtension(const std::string& path, const FileFilter& filter);

}  // namespace gridora
