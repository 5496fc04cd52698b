#pragma once
// The node loop shared by the quick gridders: whole node columns in blocks over every
// core, the cancel button polled and the progress reported between blocks, on the
// calling thread. A column is always filled by one call, so a gridder that walks up the
// column (the triangulation's located face) needs nothing from other columns, and the
// values never depend on the number of threads.
#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>

#ifdef _OPENMP
#include <omp.h>
#endif

#include "document/node_layout.h"
#include "gridders/gridder_result.h"
#include "platform/feedback.h"

namespace gridora {

// Work between two looks at the cancel button, in points read: a few hundredths of a
// second. A node read through the tree costs about kGridderTreeNodeCost.
inline constexpr std::size_t kGridderTreeNodeCost = 16;
inline constexpr std::size_t kGridderWorkPerBlock = 32768 * kGridderTreeNodeCost;

// Below this many nodes a block runs on the calling thread alone: starting and joining
// the threads would cost more than the nodes, and much more on a busy machine.
inline constexpr std::size_t kGridderParallelNodes = 4096;

// The layout and the output pointers, checked before any node is written. Empty when
// fine.
inline std::string LayoutProblem(const NodeLayout& layout, const float* values, const std::uint8_t* empty) {
  if (!std::isfinite(layout.x0) || !std::isfinite(layout.y0) || !std::isfinite(layout.dx) || !std::isfinite(layout.dy))
    return "The grid's origin and spacing must be finite numbers.";
  if (layout.NodeCount() > 0 && (values == nullptr || empty == nullptr))
    return "The grid has no storage for its values or empty marks.";
  return {};
}

// fill(ix, workspace, columnValues, columnEmpty) writes the ny nodes of column ix and
// returns how many of them it marked empty. One Workspace per thread. nodeCost: the
// points one node reads (kGridderTreeNodeCost through the tree, n without), which sets
// how many columns go between two looks at the cancel button; never fewer than one a
// thread.
template <class Workspace, class FillColumn>
GridderResult FillColumns(const NodeLayout& layout, float* values, std::uint8_t* empty, Feedback* feedback,
                          std::size_t nodeCost, const FillColumn& fill) {
  GridderResult result;
  if (layout.NodeCount() == 0) return result;
  const int nx = layout.nx;
  const std::size_t ny = static_cast<std::size_t>(layout.ny);
  int threads = 1;
#ifdef _OPENMP
  threads = omp_get_max_threads();
#endif
  const std::size_t columnCost = ny * std::max<std::size_t>(1, nodeCost);
  const int columnsPerBlock = static_cast<int>(std::clamp<std::size_t>(
      kGridderWorkPerBlock / columnCost, static_cast<std::size_t>(threads), static_cast<std::size_t>(nx)));
  for (int first = 0; first < nx; first += columnsPerBlock) {
    if (Canceled(feedback)) {
      // Nodes not reached are empty, so that a canceled grid never holds stale values.
      const std::size_t start = static_cast<std::size_t>(first) * ny;
      std::fill(values + start, values + layout.NodeCount(), 0.0f);
      std::fill(empty + start, empty + layout.NodeCount(), std::uint8_t{1});
      result.emptyNodes += layout.NodeCount() - start;
      result.status = GridderResult::Status::Canceled;
      return result;
    }
    const int last = std::min(nx, first + columnsPerBlock);
    std::size_t emptyNodes = 0;
    const bool parallel = static_cast<std::size_t>(last - first) * ny >= kGridderParallelNodes;
#pragma omp parallel reduction(+ : emptyNodes) if (parallel)
    {
      Workspace work;
#pragma omp for schedule(dynamic, 1)
      for (int ix = first; ix < last; ++ix) {
        const std::size_t offset = static_cast<std::size_t>(ix) * ny;
        emptyNodes += fill(ix, work, values + offset, empty + offset);
      }
    }
    result.emptyNodes += emptyNodes;
    Report(feedback, static_cast<double>(last) / static_cast<double>(nx));
  }
  return result;
}

}  // namespace gridora
