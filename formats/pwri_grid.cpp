#include "formats/pwri_grid.h"

#include <fmt/printf.h>

#include <cmath>
#include <limits>

#include "formats/csv_line.h"
#include "formats/text_reader.h"
#include "platform/count_text.h"
#include "platform/number_text.h"

namespace gridora {
namespace {

// No number is longer than this; a longer token is passed over as text.
constexpr std::size_t kLongestToken = 4096;

bool IsSpaceOrTab(char c) { return c == ' ' || c == '\t'; }
bool IsWhite(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

// "%d": blanks, an optional sign, then digits.
bool ScanInt(const std::string& text, int& value) {
  std::size_t pos = 0;
  while (pos < text.size() && IsWhite(text[pos])) ++pos;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) negative = text[pos++] == '-';
  if (pos >= text.size() || text[pos] < '0' || text[pos] > '9') return false;
  long long parsed = 0;
  for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos)
    if (parsed < 100000000000LL) parsed = parsed * 10 + (text[pos] - '0');
  value = static_cast<int>(negative ? -parsed : parsed);
  if (parsed > 2147483647LL) value = negative ? -2147483647 - 1 : 2147483647;
  return true;
}

// The number stream after the header. Each read reports whether it met the end of the
// file, as a stream read does when the number runs up to the end.
class NumberStream {
 public:
  explicit NumberStream(TextReader& reader) : reader_(reader) {}

  // True with `value` set when a number was read. A text that is no number is passed
  // over (the value then stays as it was). `atEnd` tells whether the read met the end.
  bool Read(double& value, bool& atEnd) {
    atEnd = false;
    for (;;) {
      while (pos_ < text_.size() && IsWhite(text_[pos_])) ++pos_;
      if (pos_ < text_.size()) break;
      if (!Refill()) {
        atEnd = true;
        return false;
      }
    }
    // Make sure the whole token is in the text, even across pieces of a long line.
    std::size_t end = pos_;
    for (;;) {
      while (end < text_.size() && !IsWhite(text_[end])) ++end;
      if (end < text_.size()) break;
      if (end - pos_ > kLongestToken) {
        SkipRestOfToken();
        atEnd = exhausted_ && pos_ >= text_.size();
        return false;
      }
      if (!Append()) break;
    }
    const bool tokenEndsFile = end == text_.size() && exhausted_;
    std::size_t after = pos_;
    double parsed = 0.0;
    if (ScanDouble(text_, after, parsed)) {
      value = parsed;
      pos_ = after;
      atEnd = tokenEndsFile && after == end;
      return true;
    }
    pos_ = end;
    atEnd = tokenEndsFile;
    return false;
  }

 private:
  bool Refill() {
    text_.clear();
    pos_ = 0;
    return Append();
  }
  bool Append() {
    if (exhausted_) return false;
    if (!reader_.ReadLine(piece_, 1 << 16)) {
      exhausted_ = true;
      return false;
    }
    text_ += piece_;
    return true;
  }
  // A token far longer than any number is no number: pass over it without keeping it.
  void SkipRestOfToken() {
    for (;;) {
      if (!Refill()) return;
      while (pos_ < text_.size() && !IsWhite(text_[pos_])) ++pos_;
      if (pos_ < text_.size()) return;
    }
  }

  TextReader& reader_;
  std::string text_, piece_;
  std::size_t pos_ = 0;
  bool exhausted_ = false;
};

}  // namespace

std::vector<std::string> SplitPwriHeader(const std::string& line) {
  std::string normalised = line;
  for (std::size_t i = 1; i < normalised.size(); ++i)
    if (IsSpaceOrTab(normalised[i]) && !IsSpaceOrTab(line[i - 1])) normalised[i] = ',';
  return SplitCsvLine(normalised);
}

bool ReadPwriGrid(RandomData& points, const std::string& path, std::string& problem, int capacity,
                  long long* notFiniteCount) {
  TextReader reader;
  if (!reader.Open(path, problem, TextReader::Marks::Ignore)) return false;
  std::string header;
  reader.ReadLine(header, 8191);
  const std::vector<std::string> fields = SplitPwriHeader(header);
  int first = -1;
  if (!ScanInt(fields[0], first) || first != 0) {
    problem = kPwriWrongFormat;
    return false;
  }
  if (header.size() >= static_cast<std::size_t>(kPwriHeaderCharacters)) {
    problem = fmt::sprintf("Cannot read %s: its header line is %d characters or longer.", path, kPwriHeaderCharacters);
    return false;
  }
  if (fields.size() > static_cast<std::size_t>(kPwriHeaderFields)) {
    problem = fmt::sprintf("Cannot read %s: its header line has more than %d fields.", path, kPwriHeaderFields);
    return false;
  }
  for (const std::string& field : fields) {
    if (field.size() >= static_cast<std::size_t>(kPwriFieldCharacters)) {
      problem = fmt::sprintf("Cannot read %s: a field of its header line is %d characters or longer.", path,
                             kPwriFieldCharacters);
      return false;
    }
  }

  // A number that is not finite is passed over like one that cannot be read; one
  // beyond single precision would make the ranges infinite: the file is refused.
  long long notFinite = 0, tooLarge = 0;
  auto take = [&](double value, float& into) {
    if (!std::isfinite(value)) {
      ++notFinite;
      return;
    }
    if (std::fabs(value) > std::numeric_limits<float>::max()) ++tooLarge;
    into = static_cast<float>(value);
  };

  const int nx = static_cast<int>(fields.size()) - 1;
  std::vector<float> x(nx, 0.0f);
  for (int k = 0; k < nx; ++k) {
    std::size_t pos = 0;
    double value = 0.0;
    if (ScanDouble(fields[k + 1], pos, value)) take(value, x[k]);
  }

  if (capacity > RandomData::kCapacity) capacity = RandomData::kCapacity;
  NumberStream numbers(reader);
  points.StartRanges();
  points.count = 0;
  points.labels.clear();
  float y = 0.0f, z = 0.0f;
  bool atEnd = false;
  double value = 0.0;
  for (int row = 0; row < kPwriRows && points.count < capacity && !atEnd; ++row) {
    if (numbers.Read(value, atEnd)) take(value, y);
    atEnd = false;  // only a Z read that meets the end stops the reading
    for (int k = 0; k < nx && points.count < capacity; ++k) {
      if (numbers.Read(value, atEnd)) take(value, z);
      if (atEnd) break;
      const DataPoint point{x[k], y, z};
      points.points[points.count++] = point;
      points.ExtendRanges(point);
    }
  }
  if (reader.Failed()) {
    problem = fmt::sprintf("Cannot read %s: the system reported a read error.", path);
    return false;
  }
  if (tooLarge > 0) {
    problem = fmt::sprintf(
        "Cannot import %s: %s value(s) are larger than 3.4e38 in magnitude, beyond the range of the grid's "
        "numbers. The data are unchanged.",
        path, GroupedCount(static_cast<std::uint64_t>(tooLarge)));
    return false;
  }
  if (notFiniteCount) *notFiniteCount = notFinite;
  return true;
}

}  // namespace gridora
