#pragma once
// The diagnostic text files the program leaves behind under fixed names: the drawing
// logs and the point echo in the current folder, the variogram, kriging and matrix
// files in the data folder, the interpolation log. Every "\n" given to Write becomes
// CR LF; a UTF-16 file is little-endian and starts with the mark FF FE. The text is
// ASCII (numbers and fixed words); the UTF-16 form widens it byte by byte.
//
// Because the names are fixed and the folders may be shared (or unpacked from an
// archive next to the data), a name is never followed when it is a symbolic link and
// never written when it is not a regular file: a planted link would otherwise turn
// the log into an overwrite of its target, and a FIFO would hang the program. Such a
// file, like one that cannot be created, is skipped with one trace line: the object
// stays closed and every write is a no-op, so a computation never stops for its log.
//
// The file is rewritten in place and cut to its new length on Close: truncating it to
// nothing first would make the file system flush it on close, which costs milliseconds
// on every paint.
#include <fmt/printf.h>
#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/feedback.h"

namespace gridora {

// Why a file found under a fixed name must not be written: "it is a symbolic link",
// "it is not a regular file" or "it has more than one name"; null when it may be.
// `status` comes from lstat or from fstat of a descriptor opened without following.
const char* FixedNameRefusal(const struct stat& status);

// Opens `path` for writing without following a link at its last component, without
// blocking on a FIFO, and only when it is (or is created as) a regular file with no
// other name. Returns the descriptor (blocking, close-on-exec), or -1 with a trace
// line saying why the file is skipped.
int OpenDiagnosticDescriptor(const std::filesystem::path& path);

// The user's "Write diagnostic files" (Preferences, on by default): while off, every
// DiagnosticFile stays closed without a trace line, so the logs and matrix files are not
// written; results under fixed names are not DiagnosticFiles and are written as ever.
void SetDiagnosticFilesEnabled(bool enabled);
bool DiagnosticFilesEnabled();

// Progress for writing a large diagnostic file (the kriging matrix dumps run to hundreds
// of megabytes), made by the window: such a file is then written aside, with progress
// and a Cancel, and renamed into place when whole (platform/replacing_file.h with a
// fixed name), so a cancelled write leaves the file that was there, or none. Without a
// maker (the batch mode, the tests) the files are written in place as ever.
using DiagnosticProgressMaker = std::function<std::unique_ptr<Feedback>(const std::string& title)>;
void SetDiagnosticProgressMaker(DiagnosticProgressMaker maker);
// A progress for writing `title`, or null when there is no maker.
std::unique_ptr<Feedback> BeginDiagnosticProgress(const std::string& title);

class DiagnosticFile {
 public:
  enum class Encoding { SingleByte, Utf16LittleEndian };

  explicit DiagnosticFile(const std::filesystem::path& path, Encoding encoding = Encoding::SingleByte);
  ~DiagnosticFile();
  DiagnosticFile(const DiagnosticFile&) = delete;
  DiagnosticFile& operator=(const DiagnosticFile&) = delete;

  bool IsOpen() const { return descriptor_ >= 0; }
  // A write has failed; later writes still go to the buffer but Close reports it.
  bool Failed() const { return failed_; }
  // Text: line ends become CR LF (and the whole is widened for UTF-16).
  void Write(std::string_view text);
  template <typename... Args>
  void Printf(const char* format, const Args&... args) {
    if (IsOpen()) Write(fmt::sprintf(format, args...));
  }
  // Bytes exactly as given, for callers that lay out their own lines.
  void WriteBytes(std::string_view bytes);
  // Writes what is buffered, cuts the file to what was written and closes it; false
  // when something could not be written (or the file was never open).
  bool Close();

 private:
  void Flush();

  int descriptor_ = -1;
  Encoding encoding_;
  bool failed_ = false;
  std::string buffer_;
};

}  // namespace gridora
