#pragma once
// Bilinear sampling of a grid at any point, and the residuals of measured points
// against the grid.
//
// Inside the cell with corners (i, j) .. (i+1, j+1), with t = (x - x_i)/dx and
// u = (y - y_j)/dy in [0, 1]:
//   z(x, y) = (1-t)(1-u) z_ij + t(1-u) z_(i+1)j + (1-t)u z_i(j+1) + tu z_(i+1)(j+1)
// (the tensor-product linear interpolant; e.g. Press et al., Numerical Recipes, 3rd ed.,
// section 3.6). It reproduces any function a + bx + cy + dxy exactly.
#include <cstddef>
#include <span>
#include <string>
#include <vector>

#include "gridops/grid_values.h"

namespace gridora {

struct DataPoint;

// The grid's bilinear value at (x, y). False (value untouched) when the point lies
// outside the rectangle of the grid's nodes, is not finite, or when a node with a weight
// above 0 has no value. A point within a millionth of a spacing of a node line counts
// as on it: on a node the result is that node's value exactly, and only the nodes with
// a weight above 0 must have values (so a point on the last node line is inside and a
// point on a node beside an empty one has a value). The grid must pass CheckGridValues.
bool SampleBilinear(const GridValues& grid, double x, double y, double& value);

struct PointResidual {
  double x = 0, y = 0;
  double observed = 0;  // the point's z
  double grid = 0;      // the grid's bilinear value at (x, y)
  double residual = 0;  // observed - grid
};

struct ResidualReport {
  std::vector<PointResidual> points;  // the points with a grid value, in input order
  std::size_t outside = 0;            // points outside the node rectangle
  std::size_t atEmptyNodes = 0;       // points inside whose surrounding nodes include an empty one
  std::size_t notFinite = 0;          // points with an x, y or z that is not a number
  double mean = 0;                    // of the residuals; 0 when there are none
  double rms = 0;                     // sqrt(mean of residual^2); 0 when there are none
};

// Samples the grid at every point (see SampleBilinear). False with a problem text when
// the grid is not usable (CheckGridValues); the report is then untouched.
bool ComputeResiduals(const GridValues& grid, std::span<const DataPoint> points, ResidualReport& report,
                      std::string& problem);

// The text of "residuals.csv": the header "x,y,observed,grid,residual" and one line per
// point with a grid value, numbers with 17 significant digits, lines ended by CR LF.
std::string ResidualsCsv(const ResidualReport& report);

}  // namespace gridora
