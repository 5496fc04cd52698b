#pragma once
// A fill-reducing elimination order for the minimum-curvature system, from the grid's
// own geometry (nested dissection). The stencil reaches two nodes along each axis (the
// second differences) and one node diagonally (the twist), so a band two node lines
// wide separates a rectangle of nodes into two halves that share no equation. The halves
// are ordered first, each by the same rule, and the separating band last; rectangles of
// at most kDissectionLeafNodes nodes are taken in their natural order.
//
// This is the order a general graph partitioner finds for a regular grid, without the
// partitioner's cost: it is computed in one pass over the nodes, where a graph
// partitioner takes seconds on a million nodes.
#include <cstdint>
#include <vector>

namespace gridora {

inline constexpr int kDissectionLeafNodes = 64;

// The elimination order of the NX x NY nodes: entry e is the 0-based unknown
// (i-1)*NY + (j-1) of node (i, j) eliminated e-th. A permutation of 0..NX*NY-1.
std::vector<std::int64_t> GridDissectionOrder(int nx, int ny);

}  // namespace gridora
