#pragma once
// One job of the command line or the Python module, run as batch lines against a
// document of its own: the same commands, dialogs and checks as a script, with nobody
// watching. The job works in a private scratch folder (removed at the end), which is
// the data folder of its kriging files and the current folder while a line runs, so
// the diagnostic files of the commands never land beside the user's data. The profile
// is a fresh one in memory: the user's settings never change a job's result, and a
// job never changes them.
//
// A line that cannot run gives one line of text: why, with the message the command
// showed. Paths in lines must be absolute (the current folder is the scratch folder
// while a line runs).
#include <filesystem>
#include <functional>
#include <memory>
#include <sstream>
#include <string>

#include "platform/profile.h"
#include "view/document.h"

namespace gridora {

class Feedback;
class ScriptedUserInterface;
class BatchViewHost;

// Makes the progress of one computation (null: none shown).
using ProgressMaker = std::function<std::unique_ptr<Feedback>(const std::string& title)>;

class BatchSession {
 public:
  explicit BatchSession(ProgressMaker progress = {});
  ~BatchSession();
  BatchSession(const BatchSession&) = delete;
  BatchSession& operator=(const BatchSession&) = delete;

  // Runs one batch line. False: `problem` is one line saying why.
  bool Run(const std::string& line, std::string& problem);

  Document& doc() { return doc_; }
  Profile& profile() { return profile_; }
  const std::filesystem::path& Scratch() const { return scratch_; }
  // Every message the commands showed so far, one a line.
  std::string Messages() const { return messages_.str(); }

 private:
  std::filesystem::path scratch_;
  MemoryProfile profile_;
  Document doc_{profile_};
  std::ostringstream messages_;
  std::unique_ptr<ScriptedUserInterface> ui_;
  std::unique_ptr<BatchViewHost> view_;
};

// A value or argument written so that the batch line parser gives it back as it is:
// in double quotes (with "" for a quote) when it holds a space, a quote or '=' or is
// empty.
std::string BatchQuoted(const std::string& text);

// An absolute form of a path the user gave, relative to the current folder.
std::string AbsolutePath(const std::string& path);

}  // namespace gridora
