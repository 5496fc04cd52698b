#pragma once
// The node loop shared by the local kriging and cokriging: nodes in blocks over every
// core (one workspace per thread), the cancel button polled between blocks, empty nodes
// and clamped variances counted (local_kriging.h says what each means).
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "document/node_layout.h"
#include "geostat/local_kriging_system.h"
#include "platform/feedback.h"
#include "platform/outcome.h"

namespace gridora {

struct LocalGridResult {
  Outcome outcome;                   // Done or Canceled
  std::size_t emptyNodes = 0;        // too few neighbours, or no solution
  std::size_t unsolvedNodes = 0;     // of those: a system without solution
  std::size_t clampedVariances = 0;  // variances rounded below zero, set to zero
  std::size_t indefiniteSolves = 0;  // systems that needed LDL^T
};

// Nodes estimated between two looks at the cancel button: about a tenth of a second on
// one core at 32 neighbours.
inline constexpr std::size_t kLocalNodesPerBlock = 8192;

// estimateAt(x, y, workspace, &tooFew) -> NeighbourhoodEstimate.
template <class Workspace, class EstimateAt>
LocalGridResult EstimateNodes(const NodeLayout& layout, float* estimate, float* standardError, std::uint8_t* empty,
                              float emptyValue, Feedback* feedback, const EstimateAt& estimateAt) {
  LocalGridResult result;
  const std::size_t ny = static_cast<std::size_t>(std::max(0, layout.ny));
  const std::size_t nodes = static_cast<std::size_t>(std::max(0, layout.nx)) * ny;
  for (std::size_t first = 0; first < nodes; first += kLocalNodesPerBlock) {
    if (Canceled(feedback)) {
      result.outcome = {OutcomeKind::Canceled};
      return result;
    }
    const std::size_t last = std::min(nodes, first + kLocalNodesPerBlock);
    std::size_t emptyNodes = 0, unsolved = 0, clamped = 0, indefinite = 0;
#pragma omp parallel reduction(+ : emptyNodes, unsolved, clamped, indefinite)
    {
      Workspace work;
#pragma omp for schedule(dynamic, 64)
      for (std::size_t node = first; node < last; ++node) {
        const double x =
            static_cast<double>(layout.x0) + static_cast<double>(node / ny) * static_cast<double>(layout.dx);
        const double y =
            static_cast<double>(layout.y0) + static_cast<double>(node % ny) * static_cast<double>(layout.dy);
        bool tooFew = false;
        const NeighbourhoodEstimate e = estimateAt(x, y, work, &tooFew);
        const float value = static_cast<float>(e.estimate);
        // A finite double beyond the float range would come out infinite.
        const bool solved = e.outcome == OutcomeKind::Done && std::isfinite(value);
        double variance = e.variance;
        if (solved && e.indefiniteSolve) ++indefinite;
        if (solved && variance < 0.0) {
          variance = 0.0;
          ++clamped;
        }
        if (!solved) {
          ++emptyNodes;
          if (!tooFew) ++unsolved;
        }
        estimate[node] = solved ? value : emptyValue;
        if (standardError) standardError[node] = solved ? static_cast<float>(std::sqrt(variance)) : emptyValue;
        if (empty) empty[node] = solved ? 0 : 1;
      }
    }
    result.emptyNodes += emptyNodes;
    result.unsolvedNodes += unsolved;
    result.clampedVariances += clamped;
    result.indefiniteSolves += indefinite;
    Report(feedback, static_cast<double>(last) / static_cast<double>(nodes));
  }
  return result;
}

}  // namespace gridora
