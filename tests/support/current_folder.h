#pragma once
// Runs a test inside a folder: code that writes "in the current directory" then writes
// there, and the previous current directory comes back at the end of the scope.
#include <filesystem>
#include <string>

#include "support/test_support.h"

namespace gridora::test {

class CurrentFolder {
 public:
  explicit CurrentFolder(const std::filesystem::path& folder) : previous_(std::filesystem::current_path()) {
    std::filesystem::current_path(folder);
  }
  ~CurrentFolder() {
    std::error_code error;
    std::filesystem::current_path(previous_, error);
  }
  CurrentFolder(const CurrentFolder&) = delete;
  CurrentFolder& operator=(const CurrentFolder&) = delete;

 private:
  std::filesystem::path previous_;
};

// A fresh temporary folder that is the current directory while this object lives.
class InTempFolder {
 public:
  InTempFolder() : inFolder_(folder_.Path()) {}
  const TempFolder& folder() const { return folder_; }
  std::string Read(const std::string& name) const { return ReadFileBytes(folder_ / name); }

 private:
  TempFolder folder_;
  CurrentFolder inFolder_;
};

}  // namespace gridora::test
