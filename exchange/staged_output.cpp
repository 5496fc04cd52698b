#include "exchange/staged_output.h"

#include <fmt/format.h>
#include <fmt/printf.h>

#include <chrono>
#include <system_error>

namespace gridora {

namespace fs = std::filesystem;

StagedOutput::StagedOutput(std::vector<fs::path> targets) : targets_(std::move(targets)) {}

StagedOutput::~StagedOutput() {
  std::error_code ignored;
  if (!folder_.empty()) fs::remove_all(folder_, ignored);
}

bool StagedOutput::Open(std::string& problem) {
  const fs::path& first = targets_.front();
  const fs::path parent = first.has_parent_path() ? first.parent_path() : fs::path(".");
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  for (int attempt = 0; attempt < 100; ++attempt) {
    fs::path candidate = parent / fmt::format(".{}.{}-{}.partial", first.filename().string(), stamp, attempt);
    std::error_code error;
    if (fs::create_directory(candidate, error)) {
      folder_ = std::move(candidate);
      return true;
    }
    if (error) {
      problem = fmt::sprintf("Cannot write %s: %s.", first.string(), error.message());
      return false;
    }
  }
  problem = fmt::sprintf("Cannot write %s: no temporary folder could be made beside it.", first.string());
  return false;
}

bool StagedOutput::Commit(std::string& problem) {
  const fs::path parent = targets_.front().has_parent_path() ? targets_.front().parent_path() : fs::path(".");
  std::error_code error;
  std::vector<fs::path> written;
  for (const auto& entry : fs::directory_iterator(folder_, error)) written.push_back(entry.path());
  if (error) {
    problem = fmt::sprintf("Cannot write %s: %s.", targets_.front().string(), error.message());
    return false;
  }
  for (const fs::path& staged : written) {
    const fs::path target = parent / staged.filename();
    fs::rename(staged, target, error);
    if (error) {
      problem = fmt::sprintf("Cannot write %s: %s.", target.string(), error.message());
      return false;
    }
  }
  return true;
}

}  // namespace gridora
