#include "trend/external_drift.h"

#include <fmt/format.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "document/grid_model.h"
#include "document/hidden_nodes.h"
#include "gridops/grid_sampling.h"
#include "trend/polynomial_drift.h"

namespace gridora {

GridValues DriftRaster::View() const {
  GridValues view;
  view.layout = layout;
  view.values = values.data();
  view.empty = empty.empty() ? nullptr : empty.data();
  return view;
}

DriftRaster DriftRasterOf(const GridModel& grid, std::string path) {
  DriftRaster raster;
  raster.path = std::move(path);
  raster.layout = grid.Layout();
  raster.values.assign(grid.values.begin(), grid.values.begin() + static_cast<std::ptrdiff_t>(grid.NodeCount()));
  raster.empty = HiddenNodes(grid).Mask();
  return raster;
}

ExternalDrift::ExternalDrift(DriftRasters rasters, std::shared_ptr<const DriftBasis> polynomial,
                             std::vector<double> centre, std::vector<double> scale)
    : rasters_(std::move(rasters)),
      polynomial_(std::move(polynomial)),
      centre_(std::move(centre)),
      scale_(std::move(scale)) {
  for (const auto& raster : rasters_) views_.push_back(raster->View());
}

int ExternalDrift::Count() const {
  return (polynomial_ ? polynomial_->Count() : 1) + static_cast<int>(rasters_.size());
}

void ExternalDrift::At(double x, double y, double* f) const {
  int first = 1;
  if (polynomial_) {
    polynomial_->At(x, y, f);
    first = polynomial_->Count();
  } else {
    f[0] = 1.0;
  }
  for (std::size_t r = 0; r < views_.size(); ++r) {
    double value = 0.0;
    f[first + static_cast<int>(r)] = SampleBilinear(views_[r], x, y, value) ? (value - centre_[r]) / scale_[r]
                                                                            : std::numeric_limits<double>::quiet_NaN();
  }
}

std::size_t PointsWithoutDrift(const DriftRasters& rasters, std::size_t n, const double* x, const double* y) {
  std::vector<GridValues> views;
  for (const auto& raster : rasters) views.push_back(raster->View());
  std::size_t outside = 0;
  for (std::size_t i = 0; i < n; ++i) {
    double value = 0.0;
    for (const GridValues& view : views)
      if (!SampleBilinear(view, x[i], y[i], value)) {
        ++outside;
        break;
      }
  }
  return outside;
}

std::shared_ptr<const DriftBasis> MakeExternalDrift(const DriftRasters& rasters,
                                                    std::shared_ptr<const DriftBasis> polynomial, std::size_t n,
                                                    const double* x, const double* y) {
  std::vector<double> centre, scale;
  for (const auto& raster : rasters) {
    const GridValues view = raster->View();
    std::vector<double> at(n);
    double sum = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
      if (!SampleBilinear(view, x[i], y[i], at[i])) at[i] = 0.0;
      sum += at[i];
    }
    const double mean = n > 0 ? sum / static_cast<double>(n) : 0.0;
    double reach = 0.0;
    for (double v : at) reach = std::max(reach, std::fabs(v - mean));
    centre.push_back(mean);
    // A raster constant at the points keeps its scale of 1: the least-squares fit then
    // finds its function dependent on the constant and says so.
    scale.push_back(reach > 0.0 ? reach : 1.0);
  }
  return std::make_shared<ExternalDrift>(rasters, std::move(polynomial), std::move(centre), std::move(scale));
}

std::optional<std::string> ExternalDriftRefusal(const DriftRasters& rasters, const KrigingOptions& options,
                                                bool withSecondary, int n, const DataPoint* points) {
  if (rasters.empty()) return std::nullopt;
  if (withSecondary)
    return std::string(
        "Kriging with external drift is for the primary variable alone; cokriging keeps its means constant. Delete "
        "the secondary points or clear the drift.");
  if (options.type != KrigingType::Ordinary)
    return std::string(
        "Kriging with external drift estimates the mean with the drift rasters: choose ordinary kriging "
        "(type=ordinary) or clear the drift.");
  if (options.transform == ValueTransform::Log)
    return std::string("The log transform kriges ln z with an unknown constant mean: clear the drift to use it.");
  std::vector<double> x(static_cast<std::size_t>(std::max(n, 0))), y(x.size());
  for (std::size_t i = 0; i < x.size(); ++i) {
    x[i] = points[i].x;
    y[i] = points[i].y;
  }
  const std::size_t outside = PointsWithoutDrift(rasters, x.size(), x.data(), y.data());
  if (outside == 0) return std::nullopt;
  return fmt::format(
      "{} of the {} points lie outside a drift raster (beyond its outer pixel centres or beside a no-data pixel): "
      "kriging with external drift needs every raster's value at every point. Delete those points or clear the "
      "drift.",
      outside, n);
}

std::shared_ptr<const DriftBasis> MakeKrigingDrift(DriftKind kind, const DriftRasters& rasters, std::size_t n,
                                                   const double* x, const double* y) {
  std::shared_ptr<const DriftBasis> polynomial = MakePolynomialDrift(kind, n, x, y);
  if (rasters.empty()) return polynomial;
  return MakeExternalDrift(rasters, std::move(polynomial), n, x, y);
}

std::vector<std::uint8_t> NodesWithoutDrift(const DriftBasis& drift, const NodeLayout& layout,
                                            const BlockSupport& block) {
  const std::size_t nodes = layout.NodeCount();
  std::vector<std::uint8_t> mask(nodes, 0);
  bool any = false;
  const int p = drift.Count();
#pragma omp parallel for schedule(static) reduction(|| : any) if (nodes >= kParallelNodes)
  for (int i = 0; i < layout.nx; ++i) {
    double f[DriftBasis::kMostFunctions];
    for (int j = 0; j < layout.ny; ++j) {
      if (block.Active())
        BlockDriftAt(drift, block, layout.X(i), layout.Y(j), f);
      else
        drift.At(layout.X(i), layout.Y(j), f);
      bool known = true;
      for (int l = 0; l < p; ++l) known = known && std::isfinite(f[l]);
      if (!known) {
        mask[layout.Index(i, j)] = 1;
        any = true;
      }
    }
  }
  if (!any) mask.clear();
  return mask;
}

}  // namespace gridora
