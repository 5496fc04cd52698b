#pragma once
// The volume between a grid z and a level L (a constant, or a lower surface on the same
// nodes), split into the part above and the part below:
//   positive      = sum_i w_i max(z_i - L_i, 0)
//   negative      = sum_i w_i max(L_i - z_i, 0)      (reported as a positive number)
//   net           = positive - negative
//   area_positive = sum of w_i over the nodes with z_i > L_i
//   area_negative = sum of w_i over the nodes with z_i < L_i
// with w_i the node's weight in a two-dimensional quadrature rule (Davis & Rabinowitz,
// Methods of Numerical Integration, 2nd ed., ch. 2 and 5):
// - trapezoid: the node's share of the four cells around it times dx*dy (corner 1/4,
//   edge 1/2, inside 1). A cell counts only when its four corners have values, so with
//   empty nodes w_i = (number of complete cells touching node i)/4 * dx*dy. Exact for
//   z - L bilinear in each cell where it does not change sign.
// - simpson: the product of the two axes' composite Simpson weights
//   (1, 4, 2, 4, ..., 4, 1) * h/3. An axis with an odd number m >= 3 of intervals takes
//   Simpson's rule on its first m - 3 intervals and the 3/8 rule (1, 3, 3, 1) * 3h/8 on
//   its last three; an axis of one interval takes the trapezoid (1, 1) * h/2. Exact for
//   cubics along each axis (of one interval: for lines).
// - simpson38: the composite 3/8 weights (1, 3, 3, 2, 3, 3, 2, ..., 3, 3, 1) * 3h/8 on
//   the first 3k intervals of an axis of m = 3k + r intervals; the remainder is taken
//   on the last intervals by the trapezoid (1, 1) * h/2 when r = 1, by Simpson's
//   (1, 4, 1) * h/3 when r = 2. So an axis of 1 interval is the trapezoid, of 2
//   Simpson's rule.
// Both Simpson methods need every node: a grid (or lower surface) with an empty node is
// refused with a problem text naming the trapezoid method. An axis of one node gives
// weights 0 and so zero volume and area. The sums run in double with compensated
// (Neumaier) summation, column by column in parallel and the column totals in a fixed
// order, so the figures do not depend on the number of threads.
#include <string>
#include <string_view>

#include "gridops/grid_values.h"

namespace gridora {

enum class VolumeMethod { kTrapezoid, kSimpson, kSimpson38 };

// "trapezoid", "simpson", "simpson38".
std::string_view VolumeMethodName(VolumeMethod method);
// The method of one of those names; false (method untouched) for any other text.
bool ParseVolumeMethod(std::string_view name, VolumeMethod& method);

struct VolumeResult {
  double positive = 0;
  double negative = 0;
  double net = 0;
  double areaPositive = 0;
  double areaNegative = 0;
};

// Between the grid and the constant level. False with a problem text, the result
// untouched, when the grid is not usable, the level is not finite, or a Simpson method
// meets an empty node.
bool ComputeVolume(const GridValues& grid, double level, VolumeMethod method, VolumeResult& result,
                   std::string& problem);

// Between the grid and a lower surface on the same nodes (CheckSameNodes); a node empty
// in either counts as empty.
bool ComputeVolume(const GridValues& grid, const GridValues& lower, VolumeMethod method, VolumeResult& result,
                   std::string& problem);

// The text of "volume.csv": the header "method,positive,negative,net,area_positive,
// area_negative" and one line, numbers with 17 significant digits, lines ended by CR LF.
std::string VolumeCsv(VolumeMethod method, const VolumeResult& result);

}  // namespace gridora
