#pragma once
// GDAL writes a file, and often side files beside it (.prj, .aux.xml), by itself. They
// are written into a fresh folder beside the target and moved into place only once
// every one of them is complete, so a failed export (full disk, a driver that gives up
// half way) never costs the files that were there before.
//
// The targets are taken as the document saves take theirs (platform/replacing_file.h):
// a folder or a read-only file is refused before anything is written, a symbolic link
// keeps its link and what it names is replaced, and a replaced file keeps its mode.
// Every file to be moved is checked before the first is, so an export of two files
// (the estimate and its standard error) never replaces one and then stops.
//
// The staging folder is ".gridora-stage-XXXXXX", whatever the target's name, so a
// target whose name is at the file-name limit exports too. It is locked while in use;
// the folders that killed exports left behind are removed by the next export into the
// same folder.
#include <filesystem>
#include <string>
#include <vector>

namespace gridora {

class StagedOutput {
 public:
  explicit StagedOutput(std::vector<std::filesystem::path> targets);
  ~StagedOutput();  // removes the staging folders and whatever is left in them
  StagedOutput(const StagedOutput&) = delete;
  StagedOutput& operator=(const StagedOutput&) = delete;

  // Checks every target, clears what killed exports left and creates the staging
  // folders. False: `problem` says why, and nothing was written.
  bool Open(std::string& problem);
  // Where target `index` is written while staged.
  std::filesystem::path Staged(std::size_t index) const;
  // Checks, then moves every staged file (side files included) into its target's folder.
  bool Commit(std::string& problem);

  // The start of every staging folder's name.
  static constexpr const char* kFolderPrefix = ".gridora-stage-";

 private:
  struct Stage {
    std::filesystem::path folder;   // where the targets lie
    std::filesystem::path staging;  // the staging folder in it
    int lock = -1;                  // held while the staging folder is in use
  };

  std::vector<std::filesystem::path> targets_;   // as given, for messages
  std::vector<std::filesystem::path> replaced_;  // the files replaced (links followed)
  std::vector<std::size_t> stageOf_;             // each target's stage
  std::vector<Stage> stages_;
};

}  // namespace gridora
