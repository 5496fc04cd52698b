#pragma once
// Looks for values that are not finite numbers before a document or a table is written:
// a NaN or an infinity in a file is no number its reader can use ("nan" is not even a
// valid number in XML), so the writers refuse instead.
#include <optional>
#include <string>

namespace gridora {

struct GridModel;
struct RandomData;

// The first setting or node value of the grid that is not finite, in words ("DX",
// "node (3, 4) of layer 1"), or nullopt when all are finite.
std::optional<std::string> FindNonFiniteGridValue(const GridModel& grid);

// The first point with a coordinate or value that is not finite ("point No.12").
std::optional<std::string> FindNonFinitePoint(const RandomData& points);

// "Cannot save PATH: WHAT is not a finite number. ..." for the writers' messages.
std::string NonFiniteMessage(const std::string& path, const std::string& what);

}  // namespace gridora
