#pragma once
// Reads a batch script line by line, telling a script that cannot be read (a folder, a
// read error, a line too long to hold) from one that has ended, so that the runner
// never takes a broken script for a finished one.
#include <cstddef>
#include <cstdio>
#include <string>

namespace gridora {

class BatchScriptReader {
 public:
  // A longer line is refused rather than read: no command needs more than a few
  // hundred characters, and an endless line must not take all the memory.
  static constexpr std::size_t kMaximumLineBytes = std::size_t{1} << 20;

  enum class Next { Line, End, Error };

  BatchScriptReader() = default;
  ~BatchScriptReader();
  BatchScriptReader(const BatchScriptReader&) = delete;
  BatchScriptReader& operator=(const BatchScriptReader&) = delete;

  // False when the script cannot be opened or is a folder; `problem` says why.
  bool Open(const std::string& path, std::string& problem);

  // The next line without its line end (LF or CR LF) and, on the first line, without
  // a UTF-8 byte-order mark. Error: `problem` says why; nothing more can be read.
  Next ReadLine(std::string& line, std::string& problem);

 private:
  std::FILE* file_ = nullptr;
  int lineNumber_ = 0;
};

}  // namespace gridora
