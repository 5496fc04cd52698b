#pragma once
// Runs a test inside a folder: code that writes "in the current directory" then writes
// there, and the previous current directory comes back at the end of the scope.
#include <filesystem>

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

}  // namespace gridora::test
