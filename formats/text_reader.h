#pragma once
// Reads a text file line by line the way the importers need it. A byte-order mark at
// the start picks the encoding: EF BB BF is UTF-8, FF FE is UTF-16LE (converted to
// UTF-8 here), FE FF (UTF-16BE) is refused. Without a mark the bytes come as they are.
// CR LF becomes LF, and a line keeps its final line feed. Only a regular file is read:
// a FIFO, a device (/dev/zero never ends) or a folder is refused when it is opened.
#include <cstddef>
#include <cstdio>
#include <string>

namespace gridora {

enum class TextEncoding { Bytes, Utf8, Utf16LE };

class TextReader {
 public:
  enum class Marks { Detect, Ignore };

  TextReader() = default;
  ~TextReader();
  TextReader(const TextReader&) = delete;
  TextReader& operator=(const TextReader&) = delete;

  // False when the file cannot be opened, is not a regular file or is UTF-16BE; `problem` then says why in
  // words for the user. With Marks::Ignore the file is read as plain bytes.
  bool Open(const std::string& path, std::string& problem, Marks marks = Marks::Detect);
  void Close();

  // Reads the next line, at most `maxCharacters` characters including its line feed
  // (a longer line comes back in pieces of that size). Characters are bytes in a file
  // without a mark and code points in UTF-8 and UTF-16 files. False at the end of the
  // file, when nothing was left to read.
  bool ReadLine(std::string& line, std::size_t maxCharacters);

  // The last line read was a piece of a longer line: the rest comes next.
  bool LastLineWasCut() const { return lastLineCut_; }
  // The last read hit a read error of the system (not the end of the file).
  bool Failed() const { return failed_; }
  TextEncoding Encoding() const { return encoding_; }

 private:
  // Appends the next chunk of decoded text to the buffer; false at the end.
  bool Fill();
  void DecodeUtf16(const unsigned char* bytes, std::size_t size);

  std::FILE* file_ = nullptr;
  TextEncoding encoding_ = TextEncoding::Bytes;
  std::string buffer_;  // decoded text, consumed from pos_
  std::size_t pos_ = 0;
  bool atEnd_ = false;
  bool failed_ = false;
  bool lastLineCut_ = false;
  // UTF-16 decoding state carried between chunks.
  int pendingByte_ = -1;
  unsigned highSurrogate_ = 0;
};

}  // namespace gridora
