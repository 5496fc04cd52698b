#pragma once
// Conversions between the program's UTF-8 strings and UTF-16, which the document file
// uses for its titles and Windows tools use for "Unicode" text files.
#include <string>

namespace gridora {

// Appends the UTF-8 form of a code point; surrogates and values beyond U+10FFFF
// become U+FFFD.
void AppendUtf8(std::string& text, char32_t codePoint);

// Malformed UTF-8 bytes become U+FFFD.
std::u16string Utf8ToUtf16(const std::string& text);
// Unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(const std::u16string& text);

}  // namespace gridora
