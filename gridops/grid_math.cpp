#include "gridops/grid_math.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <utility>

#include "gridops/grid_sampling.h"

namespace gridora {
namespace {

constexpr std::array<std::pair<GridOperation, std::string_view>, 6> kOperationNames = {{
    {GridOperation::kAdd, "add"},
    {GridOperation::kSubtract, "subtract"},
    {GridOperation::kMultiply, "multiply"},
    {GridOperation::kDivide, "divide"},
    {GridOperation::kMinimum, "minimum"},
    {GridOperation::kMaximum, "maximum"},
}};

double Apply(GridOperation operation, double a, double b) {
  switch (operation) {
    case GridOperation::kAdd: return a + b;
    case GridOperation::kSubtract: return a - b;
    case GridOperation::kMultiply: return a * b;
    case GridOperation::kDivide: return a / b;
    case GridOperation::kMinimum: return std::min(a, b);
    case GridOperation::kMaximum: return std::max(a, b);
  }
  return a;
}

// Fills the result node by node; operandB(k, b) gives the second operand of node k and
// says whether it has one.
template <typename OperandB>
void Combine(const GridValues& grid, GridOperation operation, OperandB operandB, GridResult& result) {
  const std::size_t count = grid.layout.NodeCount();
  GridResult out;
  out.values.assign(count, 0.0f);
  out.empty.assign(count, 0);
  const long long nodes = static_cast<long long>(count);
  std::size_t emptyCount = 0;
#pragma omp parallel for schedule(static) reduction(+ : emptyCount) if (count >= kParallelNodes)
  for (long long n = 0; n < nodes; ++n) {
    const std::size_t k = static_cast<std::size_t>(n);
    double b = 0;
    if (grid.HasValue(k) && operandB(k, b)) {
      const float value = static_cast<float>(Apply(operation, grid.values[k], b));
      if (std::isfinite(value)) {
        out.values[k] = value;
        continue;
      }
    }
    out.empty[k] = 1;
    ++emptyCount;
  }
  out.emptyCount = emptyCount;
  result = std::move(out);
}

}  // namespace

std::string_view GridOperationName(GridOperation operation) {
  for (const auto& [op, name] : kOperationNames)
    if (op == operation) return name;
  return "add";
}

bool ParseGridOperation(std::string_view name, GridOperation& operation) {
  for (const auto& [op, known] : kOperationNames) {
    if (known == name) {
      operation = op;
      return true;
    }
  }
  return false;
}

bool ApplyGridMath(const GridValues& grid, GridOperation operation, double constant, GridResult& result,
                   std::string& problem) {
  problem = CheckGridValues(grid, "The grid");
  if (!problem.empty()) return false;
  if (!std::isfinite(constant)) {
    problem = "The constant is not a number.";
    return false;
  }
  Combine(
      grid, operation,
      [constant](std::size_t, double& b) {
        b = constant;
        return true;
      },
      result);
  return true;
}

bool ApplyGridMath(const GridValues& grid, GridOperation operation, const GridValues& other, GridResult& result,
                   std::string& problem) {
  problem = CheckGridValues(grid, "The grid");
  if (problem.empty()) problem = CheckGridValues(other, "The second grid");
  if (problem.empty()) problem = CheckSameNodes(grid.layout, other.layout, "The second grid");
  if (!problem.empty()) return false;
  Combine(
      grid, operation,
      [&other](std::size_t k, double& b) {
        if (!other.HasValue(k)) return false;
        b = other.values[k];
        return true;
      },
      result);
  return true;
}

bool ResampleBilinear(const GridValues& source, const NodeLayout& target, GridResult& result, std::string& problem) {
  problem = CheckGridValues(source, "The source grid");
  if (problem.empty()) {
    // The target has no values yet: check its layout through a view with a stand-in.
    const float stand = 0.0f;
    problem = CheckGridValues(GridValues{target, &stand, nullptr}, "The target layout");
  }
  if (!problem.empty()) return false;
  GridResult out;
  const std::size_t count = target.NodeCount();
  out.values.assign(count, 0.0f);
  out.empty.assign(count, 0);
  std::size_t emptyCount = 0;
#pragma omp parallel for schedule(static) reduction(+ : emptyCount) if (count >= kParallelNodes)
  for (int ix = 0; ix < target.nx; ++ix) {
    const double x = target.X(ix);
    for (int iy = 0; iy < target.ny; ++iy) {
      const std::size_t k = target.Index(ix, iy);
      double value = 0;
      if (SampleBilinear(source, x, target.Y(iy), value)) {
        const float stored = static_cast<float>(value);
        if (std::isfinite(stored)) {
          out.values[k] = stored;
          continue;
        }
      }
      out.empty[k] = 1;
      ++emptyCount;
    }
  }
  out.emptyCount = emptyCount;
  result = std::move(out);
  return true;
}

}  // namespace gridora
