#pragma once
// What the fuzz targets share: a user interface that answers nothing, and the input
// written to a file of this process for the readers that take a path.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/user_interface.h"

namespace gridora::fuzz {

class QuietUserInterface : public UserInterface {
 public:
  void Message(const std::string&) override {}
  bool Question(const std::string&) override { return true; }
  std::optional<std::string> OpenFileName(const std::string&, const FileFilter&) override { return {}; }
  std::optional<std::string> SaveFileName(const std::string&, const FileFilter&) override { return {}; }
  bool RunDialog(DialogData&) override { return true; }
  std::unique_ptr<Feedback> BeginProgress(const std::string&) override { return nullptr; }
};

// Writes the bytes to this process's scratch file and returns its path.
const std::string& ScratchFile(const std::uint8_t* data, std::size_t size);

}  // namespace gridora::fuzz
