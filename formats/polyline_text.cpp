#include "formats/polyline_text.h"

#include <fmt/printf.h>

#include <cmath>
#include <string_view>

#include "formats/text_reader.h"
#include "platform/number_text.h"

namespace gridora {
namespace {

// Far beyond any "x y z" line; a longer one is no vertex.
constexpr std::size_t kLongestLine = 4096;

bool IsSeparator(char c) { return c == ' ' || c == '\t' || c == ',' || c == '\r' || c == '\n'; }

std::vector<std::string_view> Fields(std::string_view line) {
  std::vector<std::string_view> fields;
  std::size_t k = 0;
  while (k < line.size()) {
    while (k < line.size() && IsSeparator(line[k])) ++k;
    const std::size_t start = k;
    while (k < line.size() && !IsSeparator(line[k])) ++k;
    if (k > start) fields.push_back(line.substr(start, k - start));
  }
  return fields;
}

}  // namespace

bool ReadPolylineText(const std::string& path, std::vector<Polyline>& lines, std::string& problem) {
  TextReader reader;
  if (!reader.Open(path, problem)) return false;
  std::vector<Polyline> read;
  Polyline current;
  int lineNumber = 0;
  int startLine = 0;  // where the current line's first vertex is
  const auto finish = [&]() {
    if (current.vertices.empty()) return true;
    if (current.vertices.size() < 2) {
      problem = fmt::sprintf("%s, line %d: a line needs at least two vertices; this one has one.", path, startLine);
      return false;
    }
    read.push_back(std::move(current));
    current = Polyline{};
    return true;
  };
  std::string text;
  while (reader.ReadLine(text, kLongestLine)) {
    ++lineNumber;
    if (reader.LastLineWasCut()) {
      problem = fmt::sprintf("%s, line %d: longer than %d characters; a vertex is \"x y\".", path, lineNumber,
                             static_cast<int>(kLongestLine));
      return false;
    }
    if (text.find('\0') != std::string::npos) {
      problem = fmt::sprintf("%s holds NUL bytes: it is not a text file of lines.", path);
      return false;
    }
    const std::vector<std::string_view> fields = Fields(text);
    if (fields.empty()) {
      if (!finish()) return false;
      continue;
    }
    if (fields.front().front() == '#') continue;
    if (fields.size() < 2 || fields.size() > 3) {
      problem = fmt::sprintf("%s, line %d: a vertex is \"x y\" (or \"x y z\"), not %d fields.", path, lineNumber,
                             static_cast<int>(fields.size()));
      return false;
    }
    double x = 0.0, y = 0.0;
    if (!ParseDouble(fields[0], x) || !ParseDouble(fields[1], y) || !std::isfinite(x) || !std::isfinite(y)) {
      problem = fmt::sprintf("%s, line %d: \"%s %s\" is not a pair of finite numbers.", path, lineNumber,
                             std::string(fields[0]), std::string(fields[1]));
      return false;
    }
    if (current.vertices.empty()) startLine = lineNumber;
    current.vertices.push_back({x, y});
  }
  if (reader.Failed()) {
    problem = fmt::sprintf("Cannot read %s: the system reported a read error.", path);
    return false;
  }
  if (!finish()) return false;
  if (read.empty()) {
    problem = fmt::sprintf("%s holds no line: write \"x y\" for each vertex, a blank line between two lines.", path);
    return false;
  }
  lines = std::move(read);
  return true;
}

}  // namespace gridora
