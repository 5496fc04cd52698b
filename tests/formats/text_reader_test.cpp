#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "formats/text_reader.h"
#include "formats/unicode_text.h"
#include "support/test_support.h"

namespace gridora {
namespace {

std::vector<std::string> ReadAll(const std::filesystem::path& path, std::size_t maxCharacters = 1023) {
  TextReader reader;
  std::string problem;
  EXPECT_TRUE(reader.Open(path.string(), problem)) << problem;
  std::vector<std::string> lines;
  std::string line;
  while (reader.ReadLine(line, maxCharacters)) lines.push_back(line);
  EXPECT_FALSE(reader.Failed());
  return lines;
}

std::string Utf16LE(const std::u16string& text) {
  std::string bytes = "\xFF\xFE";
  for (char16_t c : text) {
    bytes += static_cast<char>(c & 0xFF);
    bytes += static_cast<char>(c >> 8);
  }
  return bytes;
}

TEST(TextReader, ByteOrderMarksPickTheEncoding) {
  test::TempFolder folder;
  struct Case {
    const char* name;
    std::string bytes;
    std::vector<std::string> lines;
  } cases[] = {
      {"plain", "1 2 3\r\n4 5 6", {"1 2 3\n", "4 5 6"}},
      {"utf8",
       "\xEF\xBB\xBF"
       "1 2 3\n\xC3\xA9 t\n",
       {"1 2 3\n", "\xC3\xA9 t\n"}},
      {"utf16", Utf16LE(u"1 2 3\r\n\u00E9\U0001F600\n"), {"1 2 3\n", "\xC3\xA9\xF0\x9F\x98\x80\n"}},
      // Without a mark the bytes come as they are, even when they look like UTF-8.
      {"ansi", "\xE9t\xE9\n", {"\xE9t\xE9\n"}},
      {"lone-cr", "a\rb\r", {"a\rb\r"}},
      {"empty", "", {}},
      {"mark-only", "\xEF\xBB\xBF", {}},
  };
  for (const auto& c : cases) {
    const auto path = folder / c.name;
    test::WriteFileBytes(path, c.bytes);
    EXPECT_EQ(ReadAll(path), c.lines) << c.name;
  }
}

TEST(TextReader, BigEndianAndMissingFilesAreRefusedWithAReason) {
  test::TempFolder folder;
  test::WriteFileBytes(folder / "be.txt", std::string("\xFE\xFF\0001\0 \0002", 8));
  TextReader reader;
  std::string problem;
  EXPECT_FALSE(reader.Open((folder / "be.txt").string(), problem));
  EXPECT_NE(problem.find("UTF-16 big-endian"), std::string::npos) << problem;
  EXPECT_NE(problem.find("be.txt"), std::string::npos);

  problem.clear();
  EXPECT_FALSE(reader.Open((folder / "missing.txt").string(), problem));
  EXPECT_NE(problem.find("missing.txt"), std::string::npos);
  std::string line;
  EXPECT_FALSE(reader.ReadLine(line, 10));

  // Ignoring marks reads the bytes of the same file.
  EXPECT_TRUE(reader.Open((folder / "be.txt").string(), problem, TextReader::Marks::Ignore));
  ASSERT_TRUE(reader.ReadLine(line, 100));
  EXPECT_EQ(line.substr(0, 2), "\xFE\xFF");
}

TEST(TextReader, LongLinesComeInPiecesCountedInCharacters) {
  test::TempFolder folder;
  test::WriteFileBytes(folder / "long.txt", std::string(2500, 'a') + "\nb\n");
  const auto lines = ReadAll(folder / "long.txt");
  ASSERT_EQ(lines.size(), 4u);
  EXPECT_EQ(lines[0].size(), 1023u);
  EXPECT_EQ(lines[1].size(), 1023u);
  EXPECT_EQ(lines[2], std::string(454, 'a') + "\n");
  EXPECT_EQ(lines[3], "b\n");

  // A line of exactly the limit leaves its line feed to the next read; a two-byte
  // character counts once and is never cut.
  test::WriteFileBytes(folder / "exact.txt",
                       "\xEF\xBB\xBF"
                       "ab\xC3\xA9\n");
  EXPECT_EQ(ReadAll(folder / "exact.txt", 3), (std::vector<std::string>{"ab\xC3\xA9", "\n"}));
}

TEST(TextReader, LineEndsAcrossChunkBoundaries) {
  test::TempFolder folder;
  // Put a CR LF pair and a UTF-16 character across the 64 KiB chunk boundaries.
  std::string plain(65535, 'x');
  plain += "\r\nend";
  test::WriteFileBytes(folder / "plain.txt", plain);
  auto lines = ReadAll(folder / "plain.txt", 1 << 20);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0], std::string(65535, 'x') + "\n");
  EXPECT_EQ(lines[1], "end");

  std::u16string wide(32766, u'y');  // 2 + 2 * 32766 = 65534 bytes, then a CR LF
  wide += u"\r\n\u00E9\n";
  test::WriteFileBytes(folder / "wide.txt", Utf16LE(wide));
  lines = ReadAll(folder / "wide.txt", 1 << 20);
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].size(), 32767u);
  EXPECT_EQ(lines[1], "\xC3\xA9\n");
}

TEST(UnicodeText, RoundTripsAndReplacesMalformedInput) {
  const std::string text = "Distance (\xE8\xB7\x9D\xE9\x9B\xA2) \xF0\x9F\x98\x80";
  EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16(text)), text);
  EXPECT_EQ(Utf8ToUtf16("a\xFFz"), u"a\uFFFDz");
  EXPECT_EQ(Utf8ToUtf16("\xC3"), u"\uFFFD");
  EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xD800))), "\xEF\xBF\xBD");
}

}  // namespace
}  // namespace gridora
