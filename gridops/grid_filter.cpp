#include "gridops/grid_filter.h"

#include <fmt/format.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <utility>
#include <vector>

namespace gridora {
namespace {

constexpr std::array<std::pair<FilterType, std::string_view>, 3> kTypeNames = {{
    {FilterType::kGaussian, "gaussian"},
    {FilterType::kBoxcar, "boxcar"},
    {FilterType::kMedian, "median"},
}};

// The footprint as one span of rows per column offset: offsets a = -reach .. reach,
// rows b = -rows[a + reach] .. rows[a + reach], with the weight of each (a, b).
struct Footprint {
  int reach = 0;
  int maxRows = 0;
  std::vector<int> rows;                     // per column offset
  std::vector<std::vector<double>> weights;  // per column offset, 2*rows+1 weights from b = -rows
  long long count = 0;
};

// Builds the footprint; false when it would hold more than kMaximumFilterNodes nodes.
bool BuildFootprint(const NodeLayout& layout, FilterType type, double width, Footprint& footprint) {
  const double radius = width / 2;
  // Nodes on the rim are inside even when the squares round a little above it.
  const double limit = radius * radius * (1 + 1e-9);
  auto inside = [&](long long a, long long b) {
    const double x = a * layout.dx, y = b * layout.dy;
    return x * x + y * y <= limit;
  };
  // One column (or row) of the footprint alone would be too long.
  if (radius / layout.dx > kMaximumFilterNodes || radius / layout.dy > kMaximumFilterNodes) return false;
  int reach = static_cast<int>(radius / layout.dx);
  while (inside(reach + 1, 0)) ++reach;
  while (reach > 0 && !inside(reach, 0)) --reach;
  footprint.reach = reach;
  footprint.rows.assign(2 * reach + 1, 0);
  long long count = 0;
  for (int a = -reach; a <= reach; ++a) {
    const double x = a * layout.dx;
    int rows = static_cast<int>(std::sqrt(std::max(0.0, limit - x * x)) / layout.dy);
    while (inside(a, rows + 1)) ++rows;
    while (rows > 0 && !inside(a, rows)) --rows;
    footprint.rows[a + reach] = rows;
    footprint.maxRows = std::max(footprint.maxRows, rows);
    count += 2LL * rows + 1;
    if (count > kMaximumFilterNodes) return false;
  }
  footprint.count = count;
  // exp(-r^2 / (2 sigma^2)) with sigma = W/6.
  const double factor = 18.0 / (width * width);
  footprint.weights.resize(2 * reach + 1);
  for (int a = -reach; a <= reach; ++a) {
    const int rows = footprint.rows[a + reach];
    std::vector<double>& w = footprint.weights[a + reach];
    w.resize(2 * rows + 1);
    for (int b = -rows; b <= rows; ++b) {
      const double x = a * layout.dx, y = b * layout.dy;
      w[b + rows] = type == FilterType::kGaussian ? std::exp(-(x * x + y * y) * factor) : 1.0;
    }
  }
  return true;
}

// Gaussian and boxcar: weighted means. values holds 0 at nodes without a value and
// present (nullptr when every node has a value) 1 or 0 per node.
void FilterMeans(const GridValues& grid, const Footprint& footprint, const float* values, const float* present,
                 GridResult& out) {
  const NodeLayout& layout = grid.layout;
  const int nx = layout.nx, ny = layout.ny, reach = footprint.reach;
  const bool parallel = layout.NodeCount() * static_cast<std::size_t>(footprint.count) >= kParallelNodes;
#pragma omp parallel if (parallel)
  {
    std::vector<double> sum(ny), weight(ny);
#pragma omp for schedule(static)
    for (int ix = 0; ix < nx; ++ix) {
      std::fill(sum.begin(), sum.end(), 0.0);
      std::fill(weight.begin(), weight.end(), 0.0);
      const int aFirst = std::max(-reach, -ix), aLast = std::min(reach, nx - 1 - ix);
      for (int a = aFirst; a <= aLast; ++a) {
        const int rows = footprint.rows[a + reach];
        const double* w = footprint.weights[a + reach].data() + rows;
        const float* column = values + layout.Index(ix + a, 0);
        const float* columnPresent = present ? present + layout.Index(ix + a, 0) : nullptr;
        for (int b = -rows; b <= rows; ++b) {
          const int lo = std::max(0, -b), hi = std::min(ny, ny - b);
          const double wb = w[b];
          double* s = sum.data();
          for (int iy = lo; iy < hi; ++iy) s[iy] += wb * column[iy + b];
          if (columnPresent) {
            double* ws = weight.data();
            for (int iy = lo; iy < hi; ++iy) ws[iy] += wb * columnPresent[iy + b];
          }
        }
      }
      if (!present) {
        // Every node has a value: the weight of a node depends only on which footprint
        // nodes fall inside the grid. Rows away from the top and bottom edges share one.
        auto weightAt = [&](int iy) {
          double total = 0;
          for (int a = aFirst; a <= aLast; ++a) {
            const int rows = footprint.rows[a + reach];
            const double* w = footprint.weights[a + reach].data() + rows;
            for (int b = std::max(-rows, -iy); b <= std::min(rows, ny - 1 - iy); ++b) total += w[b];
          }
          return total;
        };
        const int edge = std::min(footprint.maxRows, ny);
        const double inner = weightAt(std::min(edge, ny - 1));
        for (int iy = 0; iy < ny; ++iy) weight[iy] = iy < edge || iy >= ny - edge ? weightAt(iy) : inner;
      }
      for (int iy = 0; iy < ny; ++iy) {
        const std::size_t k = layout.Index(ix, iy);
        if (grid.HasValue(k)) out.values[k] = static_cast<float>(sum[iy] / weight[iy]);
      }
    }
  }
}

// A network of compare-exchange steps (i < j: the smaller value to i, the larger to j)
// that leaves the median of n values at index n / 2, n odd. Batcher's odd-even merge
// sort for the next power of two (Knuth, The Art of Computer Programming vol. 3, 5.3.4,
// algorithm M) with the steps that touch an index >= n left out: those indices would
// hold +infinity and such a step moves nothing. Then only the steps that can still
// change index n / 2 are kept (walking back from the end).
std::vector<std::pair<int, int>> MedianNetwork(int n) {
  int size = 1;
  while (size < n) size *= 2;
  std::vector<std::pair<int, int>> steps;
  for (int p = 1; p < size; p *= 2) {
    for (int k = p; k >= 1; k /= 2) {
      for (int j = k % p; j + k < size; j += 2 * k) {
        for (int i = 0; i < std::min(k, size - j - k); ++i) {
          const int a = i + j, b = i + j + k;
          if (a / (2 * p) == b / (2 * p) && b < n) steps.emplace_back(a, b);
        }
      }
    }
  }
  std::vector<char> needed(n, 0);
  needed[n / 2] = 1;
  std::vector<std::pair<int, int>> kept;
  for (auto step = steps.rbegin(); step != steps.rend(); ++step) {
    if (!needed[step->first] && !needed[step->second]) continue;
    needed[step->first] = needed[step->second] = 1;
    kept.push_back(*step);
  }
  std::reverse(kept.begin(), kept.end());
  return kept;
}

// Footprints up to this many nodes take the network over kLanes nodes at once; larger
// ones select with nth_element, whose cost grows only linearly.
constexpr long long kNetworkNodes = 255;
constexpr int kLanes = 8;

// The median at kLanes consecutive rows iy .. iy + kLanes - 1 of one column, every
// footprint whole and full: lane l of lanes[m] is the footprint's m-th value of row
// iy + l. The steps run on all lanes together (a loop the compiler turns into vector
// min and max).
void NetworkMedians(const float* centre, const std::vector<std::ptrdiff_t>& offsets,
                    const std::vector<std::pair<int, int>>& network, float* lanes, float* out) {
  const std::size_t n = offsets.size();
  for (std::size_t m = 0; m < n; ++m) {
    const float* source = centre + offsets[m];
    float* target = lanes + m * kLanes;
#pragma omp simd
    for (int l = 0; l < kLanes; ++l) target[l] = source[l];
  }
  for (const auto& [i, j] : network) {
    // i != j: the two rows of lanes never overlap.
    float* __restrict a = lanes + static_cast<std::size_t>(i) * kLanes;
    float* __restrict b = lanes + static_cast<std::size_t>(j) * kLanes;
#pragma omp simd
    for (int l = 0; l < kLanes; ++l) {
      const float low = std::min(a[l], b[l]), high = std::max(a[l], b[l]);
      a[l] = low;
      b[l] = high;
    }
  }
  const float* middle = lanes + (n / 2) * kLanes;
#pragma omp simd
  for (int l = 0; l < kLanes; ++l) out[l] = middle[l];
}

// The median of the nodes with values in each node's footprint.
void FilterMedian(const GridValues& grid, const Footprint& footprint, bool allValid, GridResult& out) {
  const NodeLayout& layout = grid.layout;
  const int nx = layout.nx, ny = layout.ny, reach = footprint.reach, maxRows = footprint.maxRows;
  // The footprint as offsets from the centre's index, for nodes away from every edge.
  std::vector<std::ptrdiff_t> offsets;
  offsets.reserve(footprint.count);
  for (int a = -reach; a <= reach; ++a)
    for (int b = -footprint.rows[a + reach]; b <= footprint.rows[a + reach]; ++b)
      offsets.push_back(static_cast<std::ptrdiff_t>(a) * ny + b);
  // A whole footprint holds an odd count (each column's span is odd and so is the
  // number of columns), so its median is one of its values, the network's middle output.
  const bool useNetwork = allValid && footprint.count <= kNetworkNodes;
  const std::vector<std::pair<int, int>> network =
      useNetwork ? MedianNetwork(static_cast<int>(footprint.count)) : std::vector<std::pair<int, int>>();
  const bool parallel = layout.NodeCount() * static_cast<std::size_t>(footprint.count) >= kParallelNodes;
#pragma omp parallel if (parallel)
  {
    std::vector<float> window(footprint.count);
    std::vector<float> lanes(useNetwork ? footprint.count * kLanes : 0);
#pragma omp for schedule(static)
    for (int ix = 0; ix < nx; ++ix) {
      const bool innerColumn = ix >= reach && ix < nx - reach;
      for (int iy = 0; iy < ny; ++iy) {
        const std::size_t k = layout.Index(ix, iy);
        if (useNetwork && innerColumn && iy >= maxRows && iy + kLanes <= ny - maxRows) {
          NetworkMedians(grid.values + k, offsets, network, lanes.data(), out.values.data() + k);
          iy += kLanes - 1;
          continue;
        }
        if (!grid.HasValue(k)) continue;
        std::size_t n = 0;
        if (allValid && innerColumn && iy >= maxRows && iy < ny - maxRows) {
          const float* centre = grid.values + k;
          for (const std::ptrdiff_t offset : offsets) window[n++] = centre[offset];
        } else {
          for (int a = std::max(-reach, -ix); a <= std::min(reach, nx - 1 - ix); ++a) {
            const int rows = footprint.rows[a + reach];
            for (int b = std::max(-rows, -iy); b <= std::min(rows, ny - 1 - iy); ++b) {
              const std::size_t q = layout.Index(ix + a, iy + b);
              if (grid.HasValue(q)) window[n++] = grid.values[q];
            }
          }
        }
        const std::size_t middle = n / 2;
        std::nth_element(window.begin(), window.begin() + middle, window.begin() + n);
        double median = window[middle];
        if (n % 2 == 0) {
          const float below = *std::max_element(window.begin(), window.begin() + middle);
          median = (static_cast<double>(below) + median) / 2;
        }
        out.values[k] = static_cast<float>(median);
      }
    }
  }
}

}  // namespace

std::string_view FilterTypeName(FilterType type) {
  for (const auto& [t, name] : kTypeNames)
    if (t == type) return name;
  return "gaussian";
}

bool ParseFilterType(std::string_view name, FilterType& type) {
  for (const auto& [t, known] : kTypeNames) {
    if (known == name) {
      type = t;
      return true;
    }
  }
  return false;
}

bool FilterGrid(const GridValues& grid, FilterType type, double width, GridResult& result, std::string& problem) {
  problem = CheckGridValues(grid, "The grid");
  if (!problem.empty()) return false;
  if (!std::isfinite(width) || width <= 0) {
    problem = fmt::format("The filter width ({:g}) is not a number above 0.", width);
    return false;
  }
  Footprint footprint;
  if (!BuildFootprint(grid.layout, type, width, footprint)) {
    problem = fmt::format("The filter width ({:g}) covers more than {} nodes: choose a smaller width.", width,
                          kMaximumFilterNodes);
    return false;
  }
  const std::size_t count = grid.layout.NodeCount();
  GridResult out;
  out.values.assign(count, 0.0f);
  out.empty.assign(count, 0);
  for (std::size_t k = 0; k < count; ++k) {
    if (!grid.HasValue(k)) {
      out.empty[k] = 1;
      ++out.emptyCount;
    }
  }
  if (type == FilterType::kMedian) {
    FilterMedian(grid, footprint, out.emptyCount == 0, out);
  } else if (out.emptyCount == 0) {
    FilterMeans(grid, footprint, grid.values, nullptr, out);
  } else {
    // Nodes without a value take part with value 0 and weight 0.
    std::vector<float> values(count), present(count);
    for (std::size_t k = 0; k < count; ++k) {
      present[k] = out.empty[k] ? 0.0f : 1.0f;
      values[k] = out.empty[k] ? 0.0f : grid.values[k];
    }
    FilterMeans(grid, footprint, values.data(), present.data(), out);
  }
  result = std::move(out);
  return true;
}

}  // namespace gridora
