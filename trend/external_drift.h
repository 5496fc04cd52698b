#pragma once
// Kriging with external drift: the mean of z is taken as
//
//     m(x) = b_0 + sum_r b_r g_r(x)                      (rasters only)
//     m(x) = sum_l b_l p_l(x) + sum_r b_r g_r(x)          (with drift=linear|quadratic)
//
// with unknown coefficients b, the polynomial functions p_l of polynomial_drift.h (p_0 =
// 1) and g_r the value of drift raster r, bilinear between its pixel centres
// (gridops/grid_sampling.h). Each g_r enters as (g_r - c_r) / s_r, c_r the mean and s_r
// the largest deviation of the raster's values at the data points: the span of the
// functions, which is all the kriging sees, is the same, and the border of the system
// stays of the order of 1 whatever the raster's units. Where a raster has no value
// (outside its pixel centres, a no-data pixel) its function is NaN: the data points must
// all have values, the nodes without one stay empty.
//
// Reference: Wackernagel, Multivariate Geostatistics (3rd ed., 2003), 38 (external
// drift); Chiles & Delfiner, Geostatistics (2nd ed., 2012), 5.7.3.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "document/node_layout.h"
#include "document/random_data.h"
#include "geostat/covariance_model.h"
#include "geostat/kriging_options.h"
#include "gridops/grid_values.h"

namespace gridora {

struct GridModel;

// One external drift variable: a raster's values on its pixel centres.
struct DriftRaster {
  std::string path;
  NodeLayout layout;
  std::vector<float> values;        // layout.NodeCount(), column by column
  std::vector<std::uint8_t> empty;  // 1: no value (a no-data pixel); empty: every pixel has one

  GridValues View() const;
};

// The raster `grid` as read by ReadRasterGrid (its hidden nodes are its no-data pixels).
DriftRaster DriftRasterOf(const GridModel& grid, std::string path);

// The most rasters one drift takes: with the six quadratic functions they fill
// DriftBasis::kMostFunctions.
inline constexpr std::size_t kMostDriftRasters = 10;

using DriftRasters = std::vector<std::shared_ptr<const DriftRaster>>;

class ExternalDrift : public DriftBasis {
 public:
  // `polynomial` may be null (the constant alone). centre and scale: one per raster.
  ExternalDrift(DriftRasters rasters, std::shared_ptr<const DriftBasis> polynomial, std::vector<double> centre,
                std::vector<double> scale);
  int Count() const override;
  void At(double x, double y, double* f) const override;

 private:
  DriftRasters rasters_;
  std::vector<GridValues> views_;
  std::shared_ptr<const DriftBasis> polynomial_;
  std::vector<double> centre_, scale_;
};

// The points (x, y) where some raster has no value.
std::size_t PointsWithoutDrift(const DriftRasters& rasters, std::size_t n, const double* x, const double* y);

// The drift of the rasters (and of `polynomial` when given) for the n points, which must
// all have raster values (PointsWithoutDrift 0).
std::shared_ptr<const DriftBasis> MakeExternalDrift(const DriftRasters& rasters,
                                                    std::shared_ptr<const DriftBasis> polynomial, std::size_t n,
                                                    const double* x, const double* y);

// Why the variogram cannot take the drift rasters with these options and the n points
// (a message ending before "Nothing was changed."), or nullopt: the drift of the
// rasters is for ordinary kriging of the primary variable alone, not of ln z, and needs
// the rasters' values at every point.
std::optional<std::string> ExternalDriftRefusal(const DriftRasters& rasters, const KrigingOptions& options,
                                                bool withSecondary, int n, const DataPoint* points);

// The drift of the kriging: the polynomial of `kind`, the rasters (with the polynomial
// when both are set), or null for neither. The points must all have raster values.
std::shared_ptr<const DriftBasis> MakeKrigingDrift(DriftKind kind, const DriftRasters& rasters, std::size_t n,
                                                   const double* x, const double* y);

// One flag per node of `layout`, column by column: 1 where some drift function is not
// known (for a block: at one of its points). Empty when every node has the drift.
std::vector<std::uint8_t> NodesWithoutDrift(const DriftBasis& drift, const NodeLayout& layout,
                                            const BlockSupport& block);

}  // namespace gridora
