#pragma once
// Cuts one line of a comma-separated table into its fields.
#include <string>
#include <string_view>
#include <vector>

namespace gridora {

// Fields are taken as they are: no quotes, no trimming, empty fields kept, and the
// line feed stays in the last field. A line holds (number of commas + 1) fields.
std::vector<std::string> SplitCsvLine(std::string_view line);

}  // namespace gridora
