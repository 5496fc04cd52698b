#pragma once
// Point numbers as a user writes them: "3,7,12" or ranges "20-25", counted from 1 as the
// points table numbers its rows.
#include <string>
#include <vector>

namespace gridora {

// The 0-based indices of the points named in `text`, ascending and each once, for a set
// of `pointCount` points. False with `problem` for a number that is not a whole number,
// outside 1 to pointCount, a range that runs backwards, or an empty list.
bool ParsePointIndices(const std::string& text, int pointCount, std::vector<int>& indices, std::string& problem);

}  // namespace gridora
