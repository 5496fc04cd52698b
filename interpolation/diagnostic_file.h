#pragma once
// The diagnostic text files the numerical routines leave behind (matrices, logs). Every
// "\n" written becomes CR LF; a UTF-16 file is little-endian and starts with the mark
// FF FE. A file that cannot be created leaves the object closed and every write a no-op,
// so a computation never stops for its log. The text is ASCII (numbers and fixed
// words); the UTF-16 form widens it byte by byte.
#include <fmt/printf.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

namespace gridora {

class DiagnosticFile {
 public:
  enum class Encoding { SingleByte, Utf16LittleEndian };

  DiagnosticFile(const std::filesystem::path& path, Encoding encoding = Encoding::SingleByte);
  ~DiagnosticFile();
  DiagnosticFile(const DiagnosticFile&) = delete;
  DiagnosticFile& operator=(const DiagnosticFile&) = delete;

  bool IsOpen() const { return file_ != nullptr; }
  void Write(std::string_view text);
  template <typename... Args>
  void Printf(const char* format, const Args&... args) {
    if (file_) Write(fmt::sprintf(format, args...));
  }
  // Flushes and closes; false when something could not be written.
  bool Close();

 private:
  std::FILE* file_ = nullptr;
  Encoding encoding_;
  bool failed_ = false;
  std::string buffer_;
};

}  // namespace gridora
