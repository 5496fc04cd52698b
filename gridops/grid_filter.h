#pragma once
// Smoothing filters over a circular footprint. For node p the footprint is every node q
// of the grid with a value and |q - p| <= W/2, the distance measured in map units
// (sqrt((i*dx)^2 + (j*dy)^2) for an offset of i columns and j rows, so dx != dy gives
// an ellipse of nodes):
// - gaussian: z'_p = sum w_q z_q / sum w_q, w_q = exp(-r^2 / (2 sigma^2)), sigma = W/6
//   (the weight at the rim is exp(-4.5));
// - boxcar:   the same with w_q = 1 (the mean of the footprint);
// - median:   the median of the footprint's values (an even count: the mean of the two
//   middle values).
// Near the edges and empty nodes only the footprint's nodes with values count (the sums
// renormalise); a node without a value stays empty. A node on the rim (to a relative
// 1e-9 of W/2) is inside. See e.g. Gonzalez & Woods, Digital Image Processing, 4th ed.,
// ch. 3.5 (smoothing and order-statistic filters).
//
// The gaussian and boxcar filters add, for each column offset of the footprint, the
// column's span of rows with their weights (a vectorisable loop over contiguous values);
// the cost is the number of footprint nodes per node, meant for widths up to some tens
// of spacings. Columns run in parallel; every node's sum has a fixed order, so the result
// does not depend on the number of threads.
#include <string>
#include <string_view>

#include "gridops/grid_values.h"

namespace gridora {

enum class FilterType { kGaussian, kBoxcar, kMedian };

// "gaussian", "boxcar", "median".
std::string_view FilterTypeName(FilterType type);
// The type of one of those names; false (type untouched) for any other text.
bool ParseFilterType(std::string_view name, FilterType& type);

// The filtered grid on the grid's own nodes. width is the footprint's full width W in
// map units. False with a problem text, the result untouched, when the grid is not
// usable, the width is not a finite number above 0, or the footprint would hold more
// than kMaximumFilterNodes nodes.
bool FilterGrid(const GridValues& grid, FilterType type, double width, GridResult& result, std::string& problem);

// A footprint larger than this would take minutes on a large grid: refused.
inline constexpr long long kMaximumFilterNodes = 1000000;

}  // namespace gridora
