#include "cli/batch_session.h"

#include <stdlib.h>

#include <fstream>
#include <mutex>
#include <stdexcept>

#include "batch/batch_runner.h"
#include "batch/batch_view_host.h"
#include "batch/quiet_feedback.h"
#include "batch/scripted_user_interface.h"

namespace gridora {
namespace {

namespace fs = std::filesystem;

// The current folder belongs to the whole process: one line at a time moves it.
std::mutex& CurrentFolderLock() {
  static std::mutex lock;
  return lock;
}

class InFolder {
 public:
  explicit InFolder(const fs::path& folder) : previous_(fs::current_path()) { fs::current_path(folder); }
  ~InFolder() {
    std::error_code ignored;
    fs::current_path(previous_, ignored);
  }
  InFolder(const InFolder&) = delete;
  InFolder& operator=(const InFolder&) = delete;

 private:
  fs::path previous_;
};

// The scripted interface with the session's progress display.
class SessionUserInterface : public ScriptedUserInterface {
 public:
  SessionUserInterface(std::ostream& out, ProgressMaker progress)
      : ScriptedUserInterface(out), progress_(std::move(progress)) {}
  std::unique_ptr<Feedback> BeginProgress(const std::string& title) override {
    if (progress_) {
      if (auto shown = progress_(title)) return shown;
    }
    return std::make_unique<QuietFeedback>();
  }

 private:
  ProgressMaker progress_;
};

fs::path MakeScratchFolder() {
  std::error_code error;
  fs::path base = fs::temp_directory_path(error);
  if (error) base = "/tmp";
  std::string pattern = (base / "gridora-job-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a scratch folder in " + base.string());
  return pattern;
}

// The text after "SCRIPT:LINE: " in the runner's error line, without its line end.
std::string RunnerReason(const std::string& error, const std::string& script) {
  std::string reason = error;
  const std::string prefix = script + ":1: ";
  if (reason.compare(0, prefix.size(), prefix) == 0) reason.erase(0, prefix.size());
  while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r')) reason.pop_back();
  return reason;
}

std::string OneLine(std::string text) {
  for (char& c : text)
    if (c == '\n' || c == '\r') c = ' ';
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

}  // namespace

BatchSession::BatchSession(ProgressMaker progress) : scratch_(MakeScratchFolder()) {
  ui_ = std::make_unique<SessionUserInterface>(messages_, std::move(progress));
  view_ = std::make_unique<BatchViewHost>(*ui_);
  doc_.dataFolder = scratch_.string();
}

BatchSession::~BatchSession() {
  std::error_code ignored;
  fs::remove_all(scratch_, ignored);
}

bool BatchSession::Run(const std::string& line, std::string& problem) {
  if (line.find_first_of("\r\n") != std::string::npos) {
    problem = "a value holds a line break";
    return false;
  }
  const fs::path script = scratch_ / "job.txt";
  {
    std::ofstream file(script, std::ios::binary | std::ios::trunc);
    file << line << '\n';
    if (!file.flush()) {
      problem = "cannot write to the scratch folder " + scratch_.string();
      return false;
    }
  }
  const std::size_t before = messages_.str().size();
  std::ostringstream err;
  int status = 0;
  {
    const std::lock_guard<std::mutex> lock(CurrentFolderLock());
    const InFolder inScratch(scratch_);
    status = RunBatchScript(script.string(), doc_, profile_, *ui_, *view_, err);
  }
  // The readers point the data folder at the file they read; the kriging files follow
  // it, so it goes back to the scratch folder.
  doc_.dataFolder = scratch_.string();
  if (status == 0) return true;
  const std::string reason = RunnerReason(err.str(), script.string());
  const std::string shown = OneLine(messages_.str().substr(before));
  problem = shown.empty() ? reason : shown + " (" + reason + ")";
  return false;
}

std::string BatchQuoted(const std::string& text) {
  if (!text.empty() && text.find_first_of(" \t\"=#") == std::string::npos) return text;
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
}

std::string AbsolutePath(const std::string& path) {
  std::error_code error;
  const fs::path absolute = fs::absolute(path, error);
  return error ? path : absolute.string();
}

}  // namespace gridora
