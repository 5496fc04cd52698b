#pragma once
// Experimental variograms by direction (Deutsch & Journel, GSLIB, 2nd ed. 1998, ch. III.1
// and gamv; Goovaerts 1997, sec. 4.1.1):
//
//     gamma_a(k) = 1 / (2 N_a(k)) sum over the N_a(k) pairs (i, j) of (z_i - z_j)^2
//     distance_a(k) = 1 / N_a(k) sum h_ij
//
// over the unordered pairs of points whose separation (dx, dy) = (x_j - x_i, y_j - y_i)
// has a direction theta = atan2(dy, dx), taken modulo 180 degrees, within the tolerance
// of the direction a (the angular difference also taken modulo 180, so 179 and 1 are 2
// apart), and whose distance h = sqrt(dx^2 + dy^2) satisfies
//
//     k lag <= h < (k + 1) lag   and   h < cutoff.
//
// A pair of coincident points has theta = atan2(0, 0) = 0. Every pair is counted (no
// sample): O(n^2) pair tests, in blocks of rows over every core; the blocks' sums are
// added in block order, so the result does not depend on the number of threads.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/feedback.h"
#include "platform/outcome.h"

namespace gridora {

struct DirectionalVariogramOptions {
  std::vector<double> anglesDegrees;  // anticlockwise from +X
  double toleranceDegrees = 22.5;     // half-width of each direction's sector
  double lag = 1.0;                   // class width
  double cutoff = 1.0;                // largest distance (excluded)
};

// More classes than this per direction are refused (the arrays stay small).
inline constexpr double kMaximumDirectionalClasses = 100000.0;

struct DirectionalClass {
  int lag = 0;  // class index k
  double distance = 0.0;
  double gamma = 0.0;
  std::uint64_t pairs = 0;
};

struct DirectionalVariogram {
  double angleDegrees = 0.0;              // as given
  std::vector<DirectionalClass> classes;  // classes with at least one pair, k ascending
};

struct DirectionalVariograms {
  Outcome outcome;
  std::vector<DirectionalVariogram> directions;  // in the order of the angles
};

// What is wrong with the options, for a message; nullopt when they are usable.
std::optional<std::string> DirectionalOptionsProblem(const DirectionalVariogramOptions& options);

// Parses "0,45,90" (commas, optional spaces) into angles; nullopt when a field is not a
// finite number or the list is empty.
std::optional<std::vector<double>> ParseAngleList(const std::string& text);

// True when the pair direction theta (degrees) lies within `tolerance` of `angle`, both
// taken modulo 180.
bool WithinDirection(double thetaDegrees, double angleDegrees, double toleranceDegrees);

// The classes of every direction. InvalidInput with a text for unusable options,
// Canceled when the feedback says so.
DirectionalVariograms ComputeDirectionalVariograms(const double* x, const double* y, const double* z, std::size_t n,
                                                   const DirectionalVariogramOptions& options, Feedback* feedback);

// directional_variogram.csv: "angle,lag,distance,gamma,pairs", 17 significant digits,
// CR LF. Refuses values that are not finite; false with `problem` naming the file.
bool WriteDirectionalVariogramCsv(const DirectionalVariograms& result, const std::filesystem::path& path,
                                  std::string& problem);

}  // namespace gridora
