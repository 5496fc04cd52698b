#include "gridders/linear_triangulation.h"

#include <CGAL/Delaunay_triangulation_2.h>
#include <CGAL/Exact_predicates_inexact_constructions_kernel.h>
#include <CGAL/Spatial_sort_traits_adapter_2.h>
#include <CGAL/Triangulation_vertex_base_with_info_2.h>
#include <CGAL/property_map.h>
#include <CGAL/spatial_sort.h>

#include <cmath>
#include <limits>
#include <numeric>
#include <vector>

#include "gridders/column_blocks.h"
#include "gridders/point_tree.h"

namespace gridora {
namespace {

using Kernel = CGAL::Exact_predicates_inexact_constructions_kernel;
using Point = Kernel::Point_2;

// What a vertex carries: the sum of the values at its position while inserting, their
// mean after.
struct VertexValue {
  double z = 0.0;
  std::uint32_t count = 0;
};

using VertexBase = CGAL::Triangulation_vertex_base_with_info_2<VertexValue, Kernel>;
using DataStructure = CGAL::Triangulation_data_structure_2<VertexBase>;
using Delaunay = CGAL::Delaunay_triangulation_2<Kernel, DataStructure>;
using Face = Delaunay::Face_handle;

// The triangulation of the finite points, each position once with the mean of its
// values.
void Triangulate(std::span<const DataPoint> data, Delaunay& triangulation) {
  std::vector<Point> positions;
  positions.reserve(data.size());
  for (const DataPoint& p : data) positions.emplace_back(p.x, p.y);
  std::vector<std::size_t> order(data.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  const auto position = CGAL::make_property_map(positions);
  CGAL::spatial_sort(order.begin(), order.end(),
                     CGAL::Spatial_sort_traits_adapter_2<Kernel, decltype(position)>(position));
  Face hint;
  for (const std::size_t i : order) {
    const std::size_t before = triangulation.number_of_vertices();
    const Delaunay::Vertex_handle v = triangulation.insert(positions[i], hint);
    // A point already there comes back as the vertex it shares: add to its sum.
    if (triangulation.number_of_vertices() == before) {
      v->info().z += data[i].z;
      ++v->info().count;
    } else {
      v->info() = {data[i].z, 1};
    }
    hint = v->face();
  }
  for (auto v = triangulation.finite_vertices_begin(); v != triangulation.finite_vertices_end(); ++v)
    v->info().z /= v->info().count;
}

// The linear interpolant of the face at (x, y), the face finite.
double Interpolate(const Face& face, double x, double y) {
  const Point& a = face->vertex(0)->point();
  const Point& b = face->vertex(1)->point();
  const Point& c = face->vertex(2)->point();
  const double za = face->vertex(0)->info().z, zb = face->vertex(1)->info().z, zc = face->vertex(2)->info().z;
  const double abx = b.x() - a.x(), aby = b.y() - a.y();
  const double acx = c.x() - a.x(), acy = c.y() - a.y();
  const double aqx = x - a.x(), aqy = y - a.y();
  const double area = abx * acy - acx * aby;
  const double lb = (aqx * acy - acx * aqy) / area;
  const double lc = (abx * aqy - aqx * aby) / area;
  const double z = za + lb * (zb - za) + lc * (zc - za);
  if (std::isfinite(z)) return z;
  // A sliver so thin that its area rounds to zero: the nearest corner's value.
  double best = 0.0, nearest = std::numeric_limits<double>::infinity();
  for (int k = 0; k < 3; ++k) {
    const Point& p = face->vertex(k)->point();
    const double d = (p.x() - x) * (p.x() - x) + (p.y() - y) * (p.y() - y);
    if (d < nearest) nearest = d, best = face->vertex(k)->info().z;
  }
  return best;
}

// The value at (x, y) and the face to start the next walk from; false outside the hull.
bool ValueAt(const Delaunay& triangulation, double x, double y, Face& hint, double& z) {
  Delaunay::Locate_type type;
  int index = 0;
  const Face face = triangulation.locate(Point(x, y), type, index, hint);
  hint = face;
  switch (type) {
    case Delaunay::VERTEX: z = face->vertex(index)->info().z; return true;
    case Delaunay::EDGE:
    case Delaunay::FACE: {
      // On a hull edge the face found may be the infinite one beyond it.
      Face finite = face;
      if (triangulation.is_infinite(finite)) finite = finite->neighbor(finite->index(triangulation.infinite_vertex()));
      z = Interpolate(finite, x, y);
      return true;
    }
    default: return false;
  }
}

}  // namespace

GridderResult GridByLinearTriangulation(std::span<const DataPoint> points, const NodeLayout& layout, float* values,
                                        std::uint8_t* empty, Feedback* feedback) {
  GridderResult refused;
  refused.problem = LayoutProblem(layout, values, empty);
  if (!refused.problem.empty()) {
    refused.status = GridderResult::Status::Invalid;
    return refused;
  }
  if (layout.NodeCount() == 0) return {};
  std::vector<DataPoint> storage;
  Delaunay triangulation;
  Triangulate(FinitePoints(points, storage), triangulation);
  const bool flat = triangulation.dimension() < 2;

  // The bottom node of each column, located along the bottom row: where each column's
  // walk starts.
  std::vector<Face> starts(static_cast<std::size_t>(layout.nx));
  if (!flat) {
    Face hint;
    for (int ix = 0; ix < layout.nx; ++ix) {
      const double x = layout.X(ix), y = layout.Y(0);
      if (std::isfinite(x) && std::isfinite(y)) hint = triangulation.locate(Point(x, y), hint);
      starts[static_cast<std::size_t>(ix)] = hint;
    }
  }

  struct Workspace {};
  return FillColumns<Workspace>(layout, values, empty, feedback, kGridderTreeNodeCost,
                                [&](int ix, Workspace&, float* column, std::uint8_t* marks) {
                                  std::size_t emptyNodes = 0;
                                  const double x = layout.X(ix);
                                  Face hint = starts[static_cast<std::size_t>(ix)];
                                  for (int iy = 0; iy < layout.ny; ++iy) {
                                    const double y = layout.Y(iy);
                                    double z = 0.0;
                                    const bool inside = !flat && std::isfinite(x) && std::isfinite(y) &&
                                                        ValueAt(triangulation, x, y, hint, z);
                                    // A value beyond the float range would be stored as an infinity.
                                    const float value = static_cast<float>(z);
                                    const bool ok = inside && std::isfinite(value);
                                    column[iy] = ok ? value : 0.0f;
                                    marks[iy] = ok ? 0 : 1;
                                    emptyNodes += ok ? 0 : 1;
                                  }
                                  return emptyNodes;
                                });
}

}  // namespace gridora
