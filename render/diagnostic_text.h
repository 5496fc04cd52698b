#pragma once
// A diagnostic text file the drawing writes in the current directory ("DrawMap.txt",
// "Legend.txt", "ShowRandomData.txt"): overwritten on every drawing, CR LF line ends.
// A file that cannot be opened is skipped without a word.
//
// The file is rewritten in place and cut to its new length afterwards: truncating it
// to nothing first would make the file system flush it on close, which costs
// milliseconds on every paint.
#include <fmt/printf.h>

#include <cstdio>
#include <string>

namespace gridora {

class DiagnosticText {
 public:
  explicit DiagnosticText(const char* name);
  ~DiagnosticText();
  DiagnosticText(const DiagnosticText&) = delete;
  DiagnosticText& operator=(const DiagnosticText&) = delete;

  bool IsOpen() const { return file_ != nullptr; }

  // printf-style; each "\n" is written as CR LF.
  template <typename... Args>
  void Printf(const char* format, const Args&... args) {
    if (!file_) return;
    Write(fmt::sprintf(format, args...));
  }

 private:
  void Write(const std::string& text);

  std::string name_;
  std::FILE* file_ = nullptr;
};

}  // namespace gridora
