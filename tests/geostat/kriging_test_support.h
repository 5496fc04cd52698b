#pragma once
// Helpers of the variogram and kriging tests: a temporary current folder (the inverse
// dump goes "to the current directory"), and the reading of the UTF-16 text files.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace gridora::test {

class InTempFolderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(folder_.Path());
  }
  void TearDown() override { std::filesystem::current_path(previous_); }
  std::string Folder() const { return folder_.Path().string(); }
  std::string Bytes(const std::string& name) const { return ReadFileBytes(folder_ / name); }
  bool Exists(const std::string& name) const { return std::filesystem::exists(folder_ / name); }

  TempFolder folder_;
  std::filesystem::path previous_;
};

// The text of a UTF-16LE file with its mark, as ASCII; fails the test on another form.
inline std::string FromUtf16(const std::string& bytes) {
  EXPECT_GE(bytes.size(), 2u);
  EXPECT_EQ(bytes.substr(0, 2), std::string("\xFF\xFE", 2));
  EXPECT_EQ(bytes.size() % 2, 0u);
  std::string text;
  for (std::size_t k = 2; k + 1 < bytes.size(); k += 2) {
    EXPECT_EQ(bytes[k + 1], '\0');
    text.push_back(bytes[k]);
  }
  return text;
}

// Lines ended by CR LF (a bare LF fails the test).
inline std::vector<std::string> CrLfLines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find('\n', start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    EXPECT_TRUE(end > start && text[end - 1] == '\r') << "line without CR: " << text.substr(start, end - start);
    lines.push_back(text.substr(start, end - start - 1));
    start = end + 1;
  }
  return lines;
}

}  // namespace gridora::test
