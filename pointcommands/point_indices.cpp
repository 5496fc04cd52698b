#include "pointcommands/point_indices.h"

#include <fmt/format.h>

#include <algorithm>
#include <string_view>

#include "platform/number_text.h"

namespace gridora {
namespace {

std::string_view Trim(std::string_view text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

}  // namespace

bool ParsePointIndices(const std::string& text, int pointCount, std::vector<int>& indices, std::string& problem) {
  indices.clear();
  std::vector<int> found;
  auto number = [&](std::string_view field, int& value) {
    const std::string trimmed(Trim(field));
    if (!ParseInt(trimmed, value)) {
      problem = fmt::format("\"{}\" is not a point number: give whole numbers such as 3,7,12 or 20-25.", trimmed);
      return false;
    }
    if (value < 1 || value > pointCount) {
      problem = fmt::format("There is no point {}: the points are numbered 1 to {}.", value, pointCount);
      return false;
    }
    return true;
  };
  std::string_view rest = text;
  for (;;) {
    const auto comma = rest.find(',');
    const std::string_view field = Trim(rest.substr(0, comma));
    rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
    if (field.empty()) {
      problem = "Give the numbers of the points to delete, such as 3,7,12 or 20-25.";
      return false;
    }
    // A dash after the first character is a range; a leading one is a (refused) sign.
    const auto dash = field.find('-', 1);
    int low = 0, high = 0;
    if (dash == std::string_view::npos) {
      if (!number(field, low)) return false;
      high = low;
    } else {
      if (!number(field.substr(0, dash), low) || !number(field.substr(dash + 1), high)) return false;
      if (high < low) {
        problem = fmt::format("The range {} runs backwards: write it from the lower number.", std::string(field));
        return false;
      }
    }
    for (int i = low; i <= high; ++i) found.push_back(i - 1);
    if (comma == std::string_view::npos) break;
  }
  std::sort(found.begin(), found.end());
  found.erase(std::unique(found.begin(), found.end()), found.end());
  indices = std::move(found);
  return true;
}

}  // namespace gridora
