#pragma once
// Axes of the variogram chart.
namespace gridora {

struct ChartAxes {};

}  // namespace gridora
