#include "formats/unicode_text.h"

namespace gridora {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsSurrogate(char32_t c) { return c >= 0xD800 && c <= 0xDFFF; }

// Decodes one UTF-8 sequence at `pos`, advancing past it (one byte when malformed).
char32_t DecodeUtf8(const std::string& text, std::size_t& pos) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(pos);
  if (lead < 0x80) return ++pos, lead;
  int length = 0;
  char32_t code = 0, minimum = 0;
  if ((lead & 0xE0) == 0xC0)
    length = 2, code = lead & 0x1F, minimum = 0x80;
  else if ((lead & 0xF0) == 0xE0)
    length = 3, code = lead & 0x0F, minimum = 0x800;
  else if ((lead & 0xF8) == 0xF0)
    length = 4, code = lead & 0x07, minimum = 0x10000;
  else
    return ++pos, kReplacement;
  if (pos + length > text.size()) return ++pos, kReplacement;
  for (int i = 1; i < length; ++i) {
    const unsigned char next = byte(pos + i);
    if ((next & 0xC0) != 0x80) return ++pos, kReplacement;
    code = (code << 6) | (next & 0x3F);
  }
  if (code < minimum || code > 0x10FFFF || IsSurrogate(code)) return ++pos, kReplacement;
  pos += length;
  return code;
}

}  // namespace

void AppendUtf8(std::string& text, char32_t c) {
  if (c > 0x10FFFF || IsSurrogate(c)) c = kReplacement;
  if (c < 0x80) {
    text += static_cast<char>(c);
  } else if (c < 0x800) {
    text += static_cast<char>(0xC0 | (c >> 6));
    text += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    text += static_cast<char>(0xE0 | (c >> 12));
    text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    text += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    text += static_cast<char>(0xF0 | (c >> 18));
    text += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    text += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    text += static_cast<char>(0x80 | (c & 0x3F));
  }
}

std::u16string Utf8ToUtf16(const std::string& text) {
  std::u16string result;
  result.reserve(text.size());
  for (std::size_t pos = 0; pos < text.size();) {
    const char32_t c = DecodeUtf8(text, pos);
    if (c >= 0x10000) {
      result += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
      result += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
      result += static_cast<char16_t>(c);
    }
  }
  return result;
}

std::string Utf16ToUtf8(const std::u16string& text) {
  std::string result;
  result.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char32_t unit = text[i];
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      AppendUtf8(result, 0x10000 + ((unit - 0xD800) << 10) + (text[i + 1] - 0xDC00));
      ++i;
    } else {
      AppendUtf8(result, unit);  // an unpaired surrogate becomes U+FFFD
    }
  }
  return result;
}

}  // namespace gridora
