#include "platform/number_text.h"

#include <fmt/printf.h>

#include <cctype>
#include <charconv>
#include <cmath>
#include <system_error>

namespace gridora {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

// from_chars refuses a leading '+', which scanf accepts.
std::string_view DropPlus(std::string_view text) {
  if (text.size() > 1 && text.front() == '+' && text[1] != '-' && text[1] != '+') text.remove_prefix(1);
  return text;
}

}  // namespace

bool ParseDouble(std::string_view text, double& value) {
  text = DropPlus(Trim(text));
  if (text.empty()) return false;
  double parsed = 0.0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
  if (error == std::errc::result_out_of_range) return false;
  if (error != std::errc() || end != text.data() + text.size()) return false;
  value = parsed;
  return true;
}

bool ParseFloat(std::string_view text, float& value) {
  double parsed = 0.0;
  if (!ParseDouble(text, parsed)) return false;
  value = static_cast<float>(parsed);
  return true;
}

bool ParseInt(std::string_view text, int& value) {
  text = DropPlus(Trim(text));
  if (text.empty()) return false;
  int parsed = 0;
  auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed);
  if (error != std::errc() || end != text.data() + text.size()) return false;
  value = parsed;
  return true;
}

bool ScanDouble(std::string_view text, std::size_t& pos, double& value) {
  std::size_t at = pos;
  while (at < text.size() && IsBlank(text[at])) ++at;
  std::size_t start = at;
  if (at + 1 < text.size() && text[at] == '+' && text[at + 1] != '-' && text[at + 1] != '+') ++start;
  if (start >= text.size()) return false;
  double parsed = 0.0;
  auto [end, error] = std::from_chars(text.data() + start, text.data() + text.size(), parsed);
  if (end == text.data() + start) return false;  // nothing converted
  if (error == std::errc::result_out_of_range) {
    // scanf gives +-HUGE_VAL or a denormal/zero here; keep the prefix consumed.
    parsed = 0.0;
  }
  value = parsed;
  pos = static_cast<std::size_t>(end - text.data());
  return true;
}

std::string FormatSignificant(double value, int digits) { return fmt::sprintf("%.*g", digits, value); }

namespace {

// The fewest significant digits, from six on, whose "%g" text converts back to `value`;
// the text of 17 (a double always converts back from it) when no fewer do.
template <typename Number>
std::string ShortestText(Number value, int mostDigits) {
  if (!std::isfinite(value)) return FormatSignificant(static_cast<double>(value), 6);
  for (int digits = 6; digits < mostDigits; ++digits) {
    const std::string text = FormatSignificant(static_cast<double>(value), digits);
    double back = 0.0;
    if (ParseDouble(text, back) && static_cast<Number>(back) == value) return text;
  }
  return FormatSignificant(static_cast<double>(value), mostDigits);
}

}  // namespace

std::string FormatRoundTrip(double value) { return ShortestText(value, 17); }

std::string FormatRoundTrip(float value) { return ShortestText(value, 9); }

}  // namespace gridora
