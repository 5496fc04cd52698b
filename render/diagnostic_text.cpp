#include "render/diagnostic_text.h"

#include <filesystem>
#include <system_error>

namespace gridora {

DiagnosticText::DiagnosticText(const char* name) : name_(name) {
  file_ = std::fopen(name, "r+b");
  if (!file_) file_ = std::fopen(name, "wb");
}

DiagnosticText::~DiagnosticText() {
  if (!file_) return;
  const long length = std::ftell(file_);
  std::fclose(file_);
  std::error_code error;
  if (length >= 0) std::filesystem::resize_file(name_, static_cast<std::uintmax_t>(length), error);
}

void DiagnosticText::Write(const std::string& text) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\n') continue;
    if (i > start) std::fwrite(text.data() + start, 1, i - start, file_);
    std::fwrite("\r\n", 1, 2, file_);
    start = i + 1;
  }
  if (start < text.size()) std::fwrite(text.data() + start, 1, text.size() - start, file_);
}

}  // namespace gridora
