#pragma once
// The variogram map (Goovaerts 1997, sec. 4.2.2; Isaaks & Srivastava 1989, ch. 7): the
// experimental variogram as a function of the separation vector,
//
//     gamma(c) = 1 / (2 N(c)) sum over the N(c) pairs in cell c of (z_i - z_j)^2,
//
// on square cells of side `lag` centred on (i lag, j lag), i, j = -cells .. cells; a pair
// with separation (dx, dy) = (x_j - x_i, y_j - y_i) falls into the cell whose square
// [(i - 1/2) lag, (i + 1/2) lag) x [(j - 1/2) lag, (j + 1/2) lag) holds it, and, as the
// variogram is even, its mirror (-dx, -dy) into the mirrored cell.
//
// Pairs: every unordered pair while there are at most `pairs` of them; beyond, `pairs`
// pairs drawn uniformly at random with the fixed seed of the sampled variogram cloud
// (geostat/sampled_cloud.h: the same generator, the same draws), so each cell's mean is
// an unbiased estimate of the mean over all its pairs and a run repeats.
//
// The proposed anisotropy: the cells around the centre whose variogram stays below half
// the sill (the data's variance), joined to the centre through such cells, weighted by
// how far below it they stay (T - gamma), have the second moments
//
//     Sxx = sum w dx^2,  Syy = sum w dy^2,  Sxy = sum w dx dy.
//
// Under geometric anisotropy gamma depends on the reduced distance only, so the region
// and its weights are an ellipse whose axes are proportional to the ranges; the moment
// tensor's eigenvectors are the ellipse's axes and its eigenvalues are in the ratio of
// the squared ranges:
//
//     angle = 1/2 atan2(2 Sxy, Sxx - Syy),  ratio = sqrt(lambda_min / lambda_max).
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/feedback.h"
#include "platform/outcome.h"

namespace gridora {

struct VariogramMapOptions {
  double lag = 1.0;  // cell side
  int cells = 10;    // cells on each side of the centre
  std::size_t pairs = 2000000;
  std::uint64_t seed = 20261210;
};

// More cells on a side than this are refused.
inline constexpr int kMaximumMapCells = 500;

struct VariogramMap {
  Outcome outcome;
  double lag = 1.0;
  int cells = 0;
  // (2 cells + 1)^2 cells, row by row from dy = -cells lag up, dx ascending in a row.
  std::vector<double> gamma;  // 0 where no pair fell
  std::vector<std::uint64_t> pairs;
  std::size_t pairsDrawn = 0;  // pairs looked at (each counted once, before mirroring)
  bool sampled = false;        // pairs drawn at random rather than every pair

  int Side() const { return 2 * cells + 1; }
  std::size_t Index(int i, int j) const {
    return static_cast<std::size_t>(j + cells) * static_cast<std::size_t>(Side()) + static_cast<std::size_t>(i + cells);
  }
};

struct ProposedAnisotropy {
  bool found = false;
  double angleDegrees = 0.0;  // of the longest continuity, in [0, 180)
  double ratio = 1.0;         // short range / long range
  bool reachesEdge = false;   // the low region touches the map's edge: the ratio is biased towards 1
  int regionCells = 0;
};

std::optional<std::string> VariogramMapOptionsProblem(const VariogramMapOptions& options);

VariogramMap ComputeVariogramMap(const double* x, const double* y, const double* z, std::size_t n,
                                 const VariogramMapOptions& options, Feedback* feedback);

// `sill`: the level the variogram rises to (the data's variance); the region is the part
// of the map below sill / 2.
ProposedAnisotropy ProposeAnisotropy(const VariogramMap& map, double sill);

// variogram_map.csv: "dx,dy,gamma,pairs" for every cell with pairs (cell centres),
// 17 significant digits, CR LF. Refuses values that are not finite.
bool WriteVariogramMapCsv(const VariogramMap& map, const std::filesystem::path& path, std::string& problem);

}  // namespace gridora
