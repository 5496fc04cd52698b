#pragma once
// GDAL writes a file, and often side files beside it (.prj, .aux.xml), by itself. They
// are written into a fresh folder beside the target and moved into place only once
// every one of them is complete, so a failed export (full disk, a driver that gives up
// half way) never costs the files that were there before.
#include <filesystem>
#include <string>
#include <vector>

namespace gridora {

class StagedOutput {
 public:
  // `targets` lie in one folder.
  explicit StagedOutput(std::vector<std::filesystem::path> targets);
  ~StagedOutput();  // removes the staging folder and whatever is left in it
  StagedOutput(const StagedOutput&) = delete;
  StagedOutput& operator=(const StagedOutput&) = delete;

  // Creates the staging folder. False: `problem` says why.
  bool Open(std::string& problem);
  // Where target `index` is written while staged.
  std::filesystem::path Staged(std::size_t index) const { return folder_ / targets_[index].filename(); }
  // Moves every staged file (side files included) into the targets' folder.
  bool Commit(std::string& problem);

 private:
  std::vector<std::filesystem::path> targets_;
  std::filesystem::path folder_;
};

}  // namespace gridora
