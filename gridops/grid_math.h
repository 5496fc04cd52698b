#pragma once
// Node-by-node arithmetic on a grid: with a constant, or with a second grid's values on
// the same nodes (a grid on other nodes is first brought onto them by ResampleBilinear).
//   result_k = a_k (op) b_k,   op one of + - * / min max,
// computed in double and stored in single precision. A node is empty in the result when
// an operand node has no value or the result is not finite (division by 0, overflow of
// single precision).
#include <string>
#include <string_view>
#include <vector>

#include "gridops/grid_values.h"

namespace gridora {

enum class GridOperation { kAdd, kSubtract, kMultiply, kDivide, kMinimum, kMaximum };

// "add", "subtract", "multiply", "divide", "minimum", "maximum".
std::string_view GridOperationName(GridOperation operation);
// The operation of one of those names; false (operation untouched) for any other text.
bool ParseGridOperation(std::string_view name, GridOperation& operation);

// result = grid (op) constant on the grid's nodes. False with a problem text, the result
// untouched, when the grid is not usable or the constant is not finite.
bool ApplyGridMath(const GridValues& grid, GridOperation operation, double constant, GridResult& result,
                   std::string& problem);

// result = grid (op) other, node by node. `other` must lie on the grid's nodes
// (CheckSameNodes); else false with a problem text and the result untouched.
bool ApplyGridMath(const GridValues& grid, GridOperation operation, const GridValues& other, GridResult& result,
                   std::string& problem);

// The source grid sampled bilinearly (SampleBilinear) at each node of `target`: nodes
// outside the source's node rectangle, or whose surrounding source nodes with a weight
// above 0 include an empty one, are empty. A target node on a source node takes that
// node's value exactly, so resampling onto the source's own layout copies the grid.
// False with a problem text, the result untouched, when the source or the target layout
// is not usable.
bool ResampleBilinear(const GridValues& source, const NodeLayout& target, GridResult& result, std::string& problem);

}  // namespace gridora
