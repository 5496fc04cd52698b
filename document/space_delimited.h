#pragma once
// Scattered points from a text file holding "x y z" on each line.
#include <string>

#include "document/random_data.h"

namespace gridora {

struct SpaceDelimitedOptions {
  int capacity = RandomData::kCapacity;   // points kept at most; the rest is not read
  std::string echoPath = "ReadText.txt";  // every point read, "%.3f %.3f %.3f "; empty: none
};

// Reads the file into `points`, replacing its points and ranges; returns the number
// read. A line gives a point when three numbers can be scanned from its start (white
// space between them, anything after the third ignored); other lines are skipped.
// Lines longer than 1023 characters are read in pieces of 1023. When the file cannot
// be opened the result is -1, `problem` says why and `points` is unchanged; after a
// read error the result is also -1 and `points` holds what was read before it (callers
// that must stay intact read into a new set).
int ReadSpaceDelimited(RandomData& points, const std::string& path, std::string& problem,
                       const SpaceDelimitedOptions& options = {});

}  // namespace gridora
