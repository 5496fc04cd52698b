#include "interpolation/diagnostic_file.h"

#include <algorithm>

namespace gridora {
namespace {

// Large enough that a log of a million nodes is a few hundred writes.
constexpr std::size_t kFlushSize = 1 << 16;

}  // namespace

DiagnosticFile::DiagnosticFile(const std::filesystem::path& path, Encoding encoding) : encoding_(encoding) {
  file_ = std::fopen(path.c_str(), "wb");
  if (file_ && encoding_ == Encoding::Utf16LittleEndian) buffer_.append("\xFF\xFE", 2);
}

DiagnosticFile::~DiagnosticFile() { Close(); }

void DiagnosticFile::Write(std::string_view text) {
  if (!file_) return;
  if (encoding_ == Encoding::SingleByte) {
    for (std::size_t start = 0; start < text.size();) {
      const std::size_t end = std::min(text.find('\n', start), text.size());
      buffer_.append(text.substr(start, end - start));
      if (end == text.size()) break;
      buffer_.append("\r\n", 2);
      start = end + 1;
    }
  } else {
    for (char c : text) {
      if (c == '\n') {
        buffer_.append("\r\0\n\0", 4);
      } else {
        buffer_.push_back(c);
        buffer_.push_back('\0');
      }
    }
  }
  if (buffer_.size() >= kFlushSize) {
    if (std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) failed_ = true;
    buffer_.clear();
  }
}

bool DiagnosticFile::Close() {
  if (!file_) return false;
  if (!buffer_.empty() && std::fwrite(buffer_.data(), 1, buffer_.size(), file_) != buffer_.size()) failed_ = true;
  buffer_.clear();
  if (std::fclose(file_) != 0) failed_ = true;
  file_ = nullptr;
  return !failed_;
}

}  // namespace gridora
