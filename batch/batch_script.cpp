#include "batch/batch_script.h"

#include <vector>

namespace gridora {
namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Splits into words; a double-quoted stretch belongs to the word it is in, and two
// double quotes inside it stand for one (WKT text holds quotes of its own).
bool SplitWords(const std::string& text, std::vector<std::string>& words) {
  std::size_t i = 0;
  while (i < text.size()) {
    while (i < text.size() && IsSpace(text[i])) ++i;
    if (i >= text.size()) break;
    std::string word;
    while (i < text.size() && !IsSpace(text[i])) {
      if (text[i] == '"') {
        for (++i;; ++i) {
          if (i >= text.size()) return false;
          if (text[i] != '"') {
            word.push_back(text[i]);
          } else if (i + 1 < text.size() && text[i + 1] == '"') {
            word.push_back('"');
            ++i;
          } else {
            break;
          }
        }
        ++i;
      } else {
        word.push_back(text[i++]);
      }
    }
    words.push_back(std::move(word));
  }
  return true;
}

}  // namespace

std::optional<BatchLine> ParseBatchLine(const std::string& text, int lineNumber, std::string& error) {
  std::size_t first = 0;
  while (first < text.size() && IsSpace(text[first])) ++first;
  if (first == text.size() || text[first] == '#') return std::nullopt;

  // Keep the raw form of each word to tell a quoted "a=b" argument from a key.
  std::vector<std::string> words;
  if (!SplitWords(text, words)) {
    error = "unbalanced quote";
    return std::nullopt;
  }
  std::vector<bool> quotedKey;
  {
    std::size_t i = 0;
    for (std::size_t w = 0; w < words.size(); ++w) {
      while (i < text.size() && IsSpace(text[i])) ++i;
      std::size_t start = i;
      bool inQuote = false;
      while (i < text.size() && (inQuote || !IsSpace(text[i]))) {
        if (text[i] == '"') inQuote = !inQuote;
        ++i;
      }
      const std::string raw = text.substr(start, i - start);
      const auto eq = raw.find('=');
      const auto quote = raw.find('"');
      quotedKey.push_back(eq == std::string::npos || (quote != std::string::npos && quote < eq));
    }
  }

  // A line that starts with a quoted empty word ("") names no command.
  if (words[0].empty()) {
    error = "no command name";
    return std::nullopt;
  }
  BatchLine line;
  line.lineNumber = lineNumber;
  line.name = words[0];
  for (std::size_t w = 1; w < words.size(); ++w) {
    if (!quotedKey[w]) {
      const auto eq = words[w].find('=');
      const std::string key = words[w].substr(0, eq);
      if (key.empty()) {
        error = "empty key in '" + words[w] + "'";
        return std::nullopt;
      }
      if (!line.keys.emplace(key, words[w].substr(eq + 1)).second) {
        error = "key '" + key + "' given twice";
        return std::nullopt;
      }
    } else if (line.argument.empty() && w == 1) {
      line.argument = words[w];
    } else {
      error = "unexpected word '" + words[w] + "'";
      return std::nullopt;
    }
  }
  return line;
}

}  // namespace gridora
