#pragma once
// Scattered points from a text file holding "x y z" on each line.
#include <string>

#include "document/random_data.h"

namespace gridora {

struct SpaceDelimitedOptions {
  int capacity = RandomData::kCapacity;   // points kept at most; the rest is only counted
  std::string echoPath = "ReadText.txt";  // every point read, "%.3f %.3f %.3f "; empty: none
};

// What a read left out, for the import message.
struct SpaceDelimitedCounts {
  long long pointsInFile = 0;  // points the file holds, kept or not (finite ones)
  long long notFinite = 0;     // lines whose x, y or z is not a number or infinite: skipped
};

// Reads the file into `points`, replacing its points and ranges (`points.count` is the
// number kept). A line gives a point when three numbers can be scanned from its start (white
// space between them, anything after the third ignored); other lines are skipped, and
// so are points with a value that is not a number or infinite (counted in `counts`).
// Lines longer than 1023 characters are read in pieces of 1023. Points beyond the
// capacity are counted, not kept. When the file cannot be opened the result is false,
// `problem` says why and `points` is unchanged; after a read error, or when values
// overflow single precision (they would make every range and grid infinite), the
// result is also false and `points` holds what was read before (callers that must stay
// intact read into a new set).
bool ReadSpaceDelimited(RandomData& points, const std::string& path, std::string& problem,
                        const SpaceDelimitedOptions& options = {}, SpaceDelimitedCounts* counts = nullptr);

}  // namespace gridora
