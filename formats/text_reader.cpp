#include "formats/text_reader.h"

#include <fmt/printf.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>

#include "formats/unicode_text.h"
#include "platform/regular_file.h"

namespace gridora {
namespace {

constexpr std::size_t kChunkBytes = 1 << 16;

std::string SystemReason(int error) { return std::generic_category().message(error); }

bool IsContinuationByte(unsigned char c) { return (c & 0xC0) == 0x80; }

}  // namespace

TextReader::~TextReader() { Close(); }

void TextReader::Close() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
  buffer_.clear();
  pos_ = 0;
  atEnd_ = false;
  failed_ = false;
  pendingByte_ = -1;
  highSurrogate_ = 0;
}

bool TextReader::Open(const std::string& path, std::string& problem, Marks marks) {
  Close();
  // Only a regular file: a FIFO or a device (/dev/zero) would hang the read or never end.
  std::string reason;
  const int descriptor = OpenRegularFileForReading(path, reason);
  if (descriptor < 0) {
    problem = fmt::sprintf("Cannot open %s: %s.", path, reason);
    return false;
  }
  file_ = ::fdopen(descriptor, "rb");
  if (!file_) {
    problem = fmt::sprintf("Cannot open %s: %s.", path, SystemReason(errno));
    ::close(descriptor);
    return false;
  }
  encoding_ = TextEncoding::Bytes;
  if (marks == Marks::Ignore) return true;

  unsigned char mark[3] = {0, 0, 0};
  const std::size_t got = std::fread(mark, 1, 3, file_);
  std::size_t markLength = 0;
  if (got >= 2 && mark[0] == 0xFE && mark[1] == 0xFF) {
    Close();
    problem = fmt::sprintf(
        "Cannot read %s: it is UTF-16 big-endian text. Save it as UTF-8 or as UTF-16 little-endian "
        "(\"Unicode\") text and open it again.",
        path);
    return false;
  }
  if (got >= 3 && mark[0] == 0xEF && mark[1] == 0xBB && mark[2] == 0xBF) {
    encoding_ = TextEncoding::Utf8;
    markLength = 3;
  } else if (got >= 2 && mark[0] == 0xFF && mark[1] == 0xFE) {
    encoding_ = TextEncoding::Utf16LE;
    markLength = 2;
  }
  // The bytes after the mark (or all of them without one) are text.
  if (encoding_ == TextEncoding::Utf16LE)
    DecodeUtf16(mark + markLength, got - markLength);
  else
    buffer_.append(reinterpret_cast<const char*>(mark) + markLength, got - markLength);
  if (got < 3 && std::ferror(file_)) failed_ = true;
  return true;
}

void TextReader::DecodeUtf16(const unsigned char* bytes, std::size_t size) {
  std::size_t i = 0;
  auto emit = [&](char32_t unit) {
    if (highSurrogate_) {
      if (unit >= 0xDC00 && unit <= 0xDFFF) {
        AppendUtf8(buffer_, 0x10000 + ((highSurrogate_ - 0xD800) << 10) + (unit - 0xDC00));
        highSurrogate_ = 0;
        return;
      }
      AppendUtf8(buffer_, 0xFFFD);
      highSurrogate_ = 0;
    }
    if (unit >= 0xD800 && unit <= 0xDBFF)
      highSurrogate_ = unit;
    else
      AppendUtf8(buffer_, unit);  // a lone low surrogate becomes U+FFFD
  };
  if (pendingByte_ >= 0 && size > 0) {
    emit(static_cast<char32_t>(pendingByte_) | (static_cast<char32_t>(bytes[0]) << 8));
    pendingByte_ = -1;
    i = 1;
  }
  for (; i + 1 < size; i += 2) emit(static_cast<char32_t>(bytes[i]) | (static_cast<char32_t>(bytes[i + 1]) << 8));
  if (i < size) pendingByte_ = bytes[i];
}

bool TextReader::Fill() {
  if (!file_ || atEnd_) return false;
  if (pos_ > 0) {
    buffer_.erase(0, pos_);
    pos_ = 0;
  }
  unsigned char chunk[kChunkBytes];
  const std::size_t got = std::fread(chunk, 1, sizeof chunk, file_);
  if (got < sizeof chunk) {
    if (std::ferror(file_)) failed_ = true;
    atEnd_ = true;
  }
  const std::size_t before = buffer_.size();
  if (encoding_ == TextEncoding::Utf16LE) {
    DecodeUtf16(chunk, got);
    if (atEnd_ && (pendingByte_ >= 0 || highSurrogate_)) {
      AppendUtf8(buffer_, 0xFFFD);  // the file ends inside a character
      pendingByte_ = -1;
      highSurrogate_ = 0;
    }
  } else {
    buffer_.append(reinterpret_cast<const char*>(chunk), got);
  }
  return buffer_.size() > before;
}

bool TextReader::ReadLine(std::string& line, std::size_t maxCharacters) {
  line.clear();
  lastLineCut_ = false;
  if (!file_ || maxCharacters == 0) return false;
  const bool countBytes = encoding_ == TextEncoding::Bytes;
  std::size_t characters = 0;
  for (;;) {
    if (pos_ >= buffer_.size() && !Fill()) break;
    const char* text = buffer_.data() + pos_;
    const std::size_t size = buffer_.size() - pos_;
    bool carriedReturn = false;
    std::size_t i = 0;
    for (; i < size; ++i) {
      const unsigned char c = static_cast<unsigned char>(text[i]);
      if (countBytes || !IsContinuationByte(c)) {
        if (characters == maxCharacters) {
          line.append(text, i);
          pos_ += i;
          lastLineCut_ = true;
          return true;
        }
        ++characters;
      }
      if (c == '\n') {
        line.append(text, i + 1);
        pos_ += i + 1;
        return true;
      }
      if (c == '\r') {
        if (i + 1 == size) {
          // The pair may straddle two chunks: keep the CR for the next round.
          line.append(text, i);
          pos_ += i;
          --characters;
          if (!Fill()) {
            line += '\r';
            ++pos_;
            return true;
          }
          carriedReturn = true;
          break;
        }
        if (text[i + 1] == '\n') {
          line.append(text, i);
          line += '\n';
          pos_ += i + 2;
          return true;
        }
      }
    }
    if (carriedReturn) continue;
    line.append(text, size);
    pos_ += size;
  }
  return !line.empty();
}

}  // namespace gridora
