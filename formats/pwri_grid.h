#pragma once
// PWRI grid data: a header line "0 x1 x2 ... xn" (blanks, tabs or commas between the
// fields), then a stream of numbers read row by row regardless of the lines: the
// row's Y, then one Z per column. Every cell becomes a point (x, Y, Z).
#include <string>
#include <vector>

#include "document/random_data.h"

namespace gridora {

// Limits of the header; a header beyond them is refused.
inline constexpr int kPwriHeaderCharacters = 1024;  // the line, its line feed included, is shorter
inline constexpr int kPwriHeaderFields = 128;
inline constexpr int kPwriFieldCharacters = 256;  // every field is shorter
inline constexpr int kPwriRows = 8192;

// The problem of a file whose header does not start with the field 0.
inline constexpr const char* kPwriWrongFormat = "Wrong data format !";

// The header as read: the first space or tab after each field becomes a comma, then
// the line is cut at the commas like a CSV line.
std::vector<std::string> SplitPwriHeader(const std::string& line);

// Reads the file into `points`, replacing its points and ranges (the file is read as
// plain single-byte text). Reading stops at the end of the file (a value read together
// with the end of the file is not kept), after 8192 rows, or when `capacity` points
// are stored. A number that cannot be read leaves the previous Y or Z in its place.
// True when `points` holds the cells read (possibly none). False when the file cannot
// be opened, its header's first field is not the integer 0 (`problem` is then
// kPwriWrongFormat) or its header is beyond the limits: `problem` says why and `points`
// is unchanged; callers that must stay intact whatever happens read into a new set.
bool ReadPwriGrid(RandomData& points, const std::string& path, std::string& problem,
                  int capacity = RandomData::kCapacity, long long* notFiniteCount = nullptr);

}  // namespace gridora
