#pragma once
// What the grid operations read and write: a finished grid seen through its node layout,
// its values and its empty mask, and the grid an operation makes. Every operation in
// this folder is a pure function of these; none touches a document.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "document/node_layout.h"

namespace gridora {

// A read-only view of one grid layer. values and empty (when given) hold
// layout.NodeCount() entries, column by column (index ix*ny + iy). A node has a value
// unless empty[index] != 0; a node whose value is not finite is treated as empty too,
// so a NaN stored in a grid never spreads into a result.
struct GridValues {
  NodeLayout layout;
  const float* values = nullptr;
  const std::uint8_t* empty = nullptr;  // nullptr: no node is empty

  bool HasValue(std::size_t index) const;
};

// A grid an operation makes on a given layout: NodeCount() values and as many mask
// entries (1 = no value). Empty nodes hold 0 so that writers that refuse values that are
// not finite take the grid as it is; emptyCount says how many there are (0: the caller
// may drop the mask, as GridModel::emptyNodes does when every node has a value).
struct GridResult {
  std::vector<float> values;
  std::vector<std::uint8_t> empty;
  std::size_t emptyCount = 0;
};

// Work on fewer nodes than this runs on one thread: starting and joining the threads
// would cost more than it saves (and much more on a loaded machine).
inline constexpr std::size_t kParallelNodes = std::size_t{1} << 16;

// "" when the grid can be read: at least one node on each axis, finite origin, finite
// spacings above 0, values given, and at most kMaximumGridValues nodes. Otherwise a
// sentence naming `what` ("The grid", "The second grid") and the fault.
std::string CheckGridValues(const GridValues& grid, std::string_view what);

// "" when `other` lies on the nodes of `layout`: the same node counts, and origins and
// spacings that agree to within a millionth of a spacing. Otherwise a sentence naming `what`.
std::string CheckSameNodes(const NodeLayout& layout, const NodeLayout& other, std::string_view what);

// The number of nodes of the grid without a value (empty or not finite).
std::size_t CountEmptyNodes(const GridValues& grid);

}  // namespace gridora
