#include "exchange/staged_output.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fmt/printf.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <system_error>

#include "platform/replacing_file.h"

namespace gridora {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t kRandomPartLength = 6;  // mkdtemp's XXXXXX

fs::path FolderOf(const fs::path& file) { return file.has_parent_path() ? file.parent_path() : fs::path("."); }

bool AllDigits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c) != 0; });
}

// The staging folders of earlier versions: ".NAME.STAMP-ATTEMPT.partial".
bool IsOldStagingName(const std::string& entry, const std::vector<std::string>& targetNames) {
  constexpr std::string_view kSuffix = ".partial";
  for (const std::string& name : targetNames) {
    const std::string prefix = "." + name + ".";
    if (entry.size() <= prefix.size() + kSuffix.size() || entry.compare(0, prefix.size(), prefix) != 0 ||
        entry.compare(entry.size() - kSuffix.size(), kSuffix.size(), kSuffix) != 0)
      continue;
    const std::string_view middle(entry.data() + prefix.size(), entry.size() - prefix.size() - kSuffix.size());
    const std::size_t dash = middle.rfind('-');
    if (dash != std::string_view::npos && AllDigits(middle.substr(0, dash)) && AllDigits(middle.substr(dash + 1)))
      return true;
  }
  return false;
}

// Removes the staging folders that exports killed before they finished left in
// `folder`: ours (same owner), folders (not links), and not locked by an export still
// running.
void RemoveStaleStages(const fs::path& folder, const std::vector<std::string>& targetNames) {
  const std::string prefix = StagedOutput::kFolderPrefix;
  std::error_code error;
  fs::directory_iterator entries(folder, error);
  if (error) return;
  for (const auto& entry : entries) {
    const std::string name = entry.path().filename().string();
    const bool ours =
        (name.size() == prefix.size() + kRandomPartLength && name.compare(0, prefix.size(), prefix) == 0) ||
        IsOldStagingName(name, targetNames);
    if (!ours) continue;
    const int descriptor = ::open(entry.path().c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (descriptor < 0) continue;
    struct stat status {};
    if (::fstat(descriptor, &status) == 0 && S_ISDIR(status.st_mode) && status.st_uid == ::geteuid() &&
        ::flock(descriptor, LOCK_EX | LOCK_NB) == 0) {
      std::error_code ignored;
      fs::remove_all(entry.path(), ignored);
    }
    ::close(descriptor);
  }
}

void SyncFolder(const fs::path& folder) {
  const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (descriptor < 0) return;
  ::fsync(descriptor);
  ::close(descriptor);
}

}  // namespace

StagedOutput::StagedOutput(std::vector<fs::path> targets) : targets_(std::move(targets)) {}

StagedOutput::~StagedOutput() {
  for (Stage& stage : stages_) {
    std::error_code ignored;
    if (!stage.staging.empty()) fs::remove_all(stage.staging, ignored);
    if (stage.lock >= 0) ::close(stage.lock);
  }
}

fs::path StagedOutput::Staged(std::size_t index) const {
  return stages_[stageOf_[index]].staging / replaced_[index].filename();
}

bool StagedOutput::Open(std::string& problem) {
  if (!stages_.empty()) {
    problem = "Cannot write: the export was opened twice.";
    return false;
  }
  for (const fs::path& target : targets_) {
    const fs::path replaced = ReplacedFile(target);
    if (const std::string refusal = ReplacementRefusal(replaced); !refusal.empty()) {
      problem = fmt::sprintf("Cannot write %s: %s.", target.string(), refusal);
      return false;
    }
    const fs::path folder = FolderOf(replaced);
    const auto same = std::find_if(stages_.begin(), stages_.end(), [&](const Stage& s) { return s.folder == folder; });
    stageOf_.push_back(static_cast<std::size_t>(same - stages_.begin()));
    if (same == stages_.end()) stages_.push_back({folder, {}, -1});
    replaced_.push_back(replaced);
  }
  for (std::size_t s = 0; s < stages_.size(); ++s) {
    Stage& stage = stages_[s];
    std::vector<std::string> names;
    for (std::size_t i = 0; i < targets_.size(); ++i)
      if (stageOf_[i] == s) names.push_back(replaced_[i].filename().string());
    RemoveStaleStages(stage.folder, names);
    std::string pattern = (stage.folder / (std::string(kFolderPrefix) + "XXXXXX")).string();
    if (!::mkdtemp(pattern.data())) {
      const std::size_t first =
          static_cast<std::size_t>(std::find(stageOf_.begin(), stageOf_.end(), s) - stageOf_.begin());
      problem = fmt::sprintf("Cannot write %s: %s.", targets_[first].string(), std::strerror(errno));
      return false;
    }
    stage.staging = pattern;
    // Held until the folder is removed: a later export sees it is still in use.
    stage.lock = ::open(stage.staging.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (stage.lock >= 0) ::flock(stage.lock, LOCK_EX | LOCK_NB);
  }
  return true;
}

bool StagedOutput::Commit(std::string& problem) {
  struct Move {
    fs::path from, to;
  };
  std::vector<Move> moves;
  // The name a file is known by in messages: the target as given, else the side file.
  auto shown = [&](const fs::path& to) {
    for (std::size_t i = 0; i < replaced_.size(); ++i)
      if (replaced_[i] == to) return targets_[i].string();
    return to.string();
  };
  for (const Stage& stage : stages_) {
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(stage.staging, error)) {
      const fs::path to = ReplacedFile(stage.folder / entry.path().filename());
      if (const std::string refusal = ReplacementRefusal(to); !refusal.empty()) {
        problem = fmt::sprintf("Cannot write %s: %s.", shown(to), refusal);
        return false;
      }
      moves.push_back({entry.path(), to});
    }
    if (error) {
      problem = fmt::sprintf("Cannot write %s: %s.", targets_.front().string(), error.message());
      return false;
    }
  }
  // A replaced file keeps its permissions; a new one has those GDAL gave it.
  for (const Move& move : moves) {
    struct stat existing {};
    if (::stat(move.to.c_str(), &existing) == 0 && S_ISREG(existing.st_mode))
      ::chmod(move.from.c_str(), existing.st_mode & 07777);
  }
  for (const Move& move : moves) {
    if (std::rename(move.from.c_str(), move.to.c_str()) != 0) {
      problem = fmt::sprintf("Cannot write %s: %s.", shown(move.to), std::strerror(errno));
      return false;
    }
  }
  for (const Move& move : moves) SyncFolder(FolderOf(move.to));
  return true;
}

}  // namespace gridora
