#pragma once
// Linear interpolation on the Delaunay triangulation of the points: a node inside the
// triangle (a, b, c) takes
//
//   z(node) = la z_a + lb z_b + lc z_c,
//
// la, lb, lc its barycentric coordinates in the triangle (each the area of the
// sub-triangle opposite that corner over the whole; Lawson, "Software for C1 surface
// interpolation", Mathematical Software III, Academic Press 1977). The surface is
// continuous, reproduces a plane, and never leaves the range of the data.
//
// Nodes outside the convex hull of the points are left empty; a node on the hull's
// boundary is inside. Points at one position count once, with the mean of their values.
// With fewer than three distinct positions, or all of them on one line, there is no
// triangle and every node is left empty (status Done). Points with a coordinate or value
// that is not a finite number are left out.
//
// The triangulation is CGAL's (Debian's libcgal-dev, header-only), with exact
// predicates: the points are inserted in a spatial (Hilbert) order, so each insertion
// walks a short way from the last. Each node is then located by walking from the
// triangle of the node below it in its column, and the bottom node of each column from
// that of the column before (found in one pass along the bottom row first), so the walk
// is short and its result does not depend on the number of threads.
#include <cstdint>
#include <span>

#include "document/node_layout.h"
#include "document/random_data.h"
#include "gridders/gridder_result.h"

namespace gridora {

class Feedback;

// values and empty hold layout.NodeCount() entries, column by column (node_layout.h).
// feedback may be null.
GridderResult GridByLinearTriangulation(std::span<const DataPoint> points, const NodeLayout& layout, float* values,
                                        std::uint8_t* empty, Feedback* feedback);

}  // namespace gridora
