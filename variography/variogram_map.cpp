#include "variography/variogram_map.h"

#include <fmt/format.h>
#include <fmt/printf.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "platform/replacing_file.h"

namespace gridora {
namespace {

constexpr double kPi = 3.14159265358979323846;
// Pairs between two looks at the cancel button.
constexpr std::size_t kPairsPerPoll = 1u << 18;

struct MapAccumulator {
  VariogramMap& map;
  const double* x;
  const double* y;
  const double* z;
  double reach;  // (cells + 1/2) lag: separations at or beyond it miss the map

  void Put(std::size_t a, std::size_t b) {
    const double dx = x[b] - x[a], dy = y[b] - y[a];
    if (!(std::fabs(dx) < reach) || !(std::fabs(dy) < reach)) return;
    const int i = static_cast<int>(std::floor(dx / map.lag + 0.5));
    const int j = static_cast<int>(std::floor(dy / map.lag + 0.5));
    if (i < -map.cells || i > map.cells || j < -map.cells || j > map.cells) return;
    const double dz = z[a] - z[b];
    const double g = 0.5 * dz * dz;
    const std::size_t c = map.Index(i, j), mirror = map.Index(-i, -j);
    map.gamma[c] += g;
    ++map.pairs[c];
    if (mirror != c) {
      map.gamma[mirror] += g;
      ++map.pairs[mirror];
    } else {
      // The centre cell holds each pair and its mirror: count it twice as the others do.
      map.gamma[c] += g;
      ++map.pairs[c];
    }
  }
};

}  // namespace

std::optional<std::string> VariogramMapOptionsProblem(const VariogramMapOptions& o) {
  if (!(o.lag > 0.0) || !std::isfinite(o.lag))
    return fmt::sprintf("The lag (cell side) must be a number greater than 0 (it is %g).", o.lag);
  if (o.cells < 1 || o.cells > kMaximumMapCells)
    return fmt::sprintf("The cells on each side of the centre must be between 1 and %d (it is %d).", kMaximumMapCells,
                        o.cells);
  return std::nullopt;
}

VariogramMap ComputeVariogramMap(const double* x, const double* y, const double* z, std::size_t n,
                                 const VariogramMapOptions& options, Feedback* feedback) {
  VariogramMap map;
  if (std::optional<std::string> problem = VariogramMapOptionsProblem(options)) {
    map.outcome = {OutcomeKind::InvalidInput, -1, -1, *problem};
    return map;
  }
  map.lag = options.lag;
  map.cells = options.cells;
  const std::size_t side = static_cast<std::size_t>(map.Side());
  map.gamma.assign(side * side, 0.0);
  map.pairs.assign(side * side, 0);
  MapAccumulator put{map, x, y, z, (options.cells + 0.5) * options.lag};

  const double allPairs = 0.5 * static_cast<double>(n) * static_cast<double>(n > 0 ? n - 1 : 0);
  std::size_t looked = 0;
  auto poll = [&](double fraction) {
    if (++looked % kPairsPerPoll != 0) return false;
    Report(feedback, fraction);
    return Canceled(feedback);
  };
  if (allPairs <= static_cast<double>(options.pairs)) {
    const double total = std::max(allPairs, 1.0);
    for (std::size_t i = 0; i < n; ++i)
      for (std::size_t j = i + 1; j < n; ++j) {
        put.Put(i, j);
        if (poll(static_cast<double>(looked) / total)) {
          map.outcome = {OutcomeKind::Canceled};
          return map;
        }
      }
    map.pairsDrawn = static_cast<std::size_t>(allPairs);
  } else {
    // The draws of the sampled cloud (sampled_cloud.cpp): i and j uniform, i == j drawn again.
    std::mt19937_64 random(options.seed);
    std::uniform_int_distribution<std::size_t> pick(0, n - 1);
    for (std::size_t k = 0; k < options.pairs;) {
      const std::size_t i = pick(random), j = pick(random);
      if (i == j) continue;
      put.Put(std::min(i, j), std::max(i, j));
      ++k;
      if (poll(static_cast<double>(k) / static_cast<double>(options.pairs))) {
        map.outcome = {OutcomeKind::Canceled};
        return map;
      }
    }
    map.pairsDrawn = options.pairs;
    map.sampled = true;
  }
  for (std::size_t c = 0; c < map.gamma.size(); ++c)
    if (map.pairs[c] > 0) map.gamma[c] /= static_cast<double>(map.pairs[c]);
  return map;
}

ProposedAnisotropy ProposeAnisotropy(const VariogramMap& map, double sill) {
  ProposedAnisotropy proposal;
  if (!map.outcome.Done() || map.cells < 1 || !(sill > 0.0) || !std::isfinite(sill)) return proposal;
  const double level = 0.5 * sill;
  const int side = map.Side();
  std::vector<char> inRegion(static_cast<std::size_t>(side) * static_cast<std::size_t>(side), 0);
  auto low = [&](int i, int j) {
    const std::size_t c = map.Index(i, j);
    return map.pairs[c] > 0 && map.gamma[c] < level;
  };
  // The region joined to the centre (the centre itself holds only near-coincident pairs
  // and belongs to it whatever it holds), through the 8 neighbours of each cell.
  std::vector<std::pair<int, int>> stack{{0, 0}};
  inRegion[map.Index(0, 0)] = 1;
  while (!stack.empty()) {
    const auto [i, j] = stack.back();
    stack.pop_back();
    for (int dj = -1; dj <= 1; ++dj)
      for (int di = -1; di <= 1; ++di) {
        const int a = i + di, b = j + dj;
        if (a < -map.cells || a > map.cells || b < -map.cells || b > map.cells) continue;
        const std::size_t c = map.Index(a, b);
        if (inRegion[c] || !low(a, b)) continue;
        inRegion[c] = 1;
        stack.push_back({a, b});
      }
  }
  double sxx = 0.0, syy = 0.0, sxy = 0.0;
  for (int j = -map.cells; j <= map.cells; ++j)
    for (int i = -map.cells; i <= map.cells; ++i) {
      const std::size_t c = map.Index(i, j);
      if (!inRegion[c] || (i == 0 && j == 0)) continue;
      ++proposal.regionCells;
      if (std::abs(i) == map.cells || std::abs(j) == map.cells) proposal.reachesEdge = true;
      const double w = level - map.gamma[c];
      const double dx = i * map.lag, dy = j * map.lag;
      sxx += w * dx * dx;
      syy += w * dy * dy;
      sxy += w * dx * dy;
    }
  const double half = 0.5 * (sxx + syy);
  const double root = std::sqrt(0.25 * (sxx - syy) * (sxx - syy) + sxy * sxy);
  const double largest = half + root, smallest = std::max(0.0, half - root);
  if (proposal.regionCells < 2 || !(largest > 0.0) || !std::isfinite(largest)) return proposal;
  double angle = 0.5 * std::atan2(2.0 * sxy, sxx - syy) * 180.0 / kPi;
  if (angle < 0.0) angle += 180.0;
  if (angle >= 180.0) angle -= 180.0;
  proposal.found = true;
  proposal.angleDegrees = angle;
  proposal.ratio = std::clamp(std::sqrt(smallest / largest), 0.0, 1.0);
  return proposal;
}

bool WriteVariogramMapCsv(const VariogramMap& map, const std::filesystem::path& path, std::string& problem) {
  std::string text = "dx,dy,gamma,pairs\r\n";
  for (int j = -map.cells; j <= map.cells; ++j)
    for (int i = -map.cells; i <= map.cells; ++i) {
      const std::size_t c = map.Index(i, j);
      if (map.pairs[c] == 0) continue;
      if (!std::isfinite(map.gamma[c])) {
        problem = fmt::sprintf(
            "Cannot write %s: the variogram of cell (%d, %d) is not a finite number (the values are too large for "
            "their squared differences).",
            path.string(), i, j);
        return false;
      }
      text += fmt::format("{:.17g},{:.17g},{:.17g},{}\r\n", i * map.lag, j * map.lag, map.gamma[c], map.pairs[c]);
    }
  ReplacingFile file(path, ReplacingFile::Name::Fixed);
  if (file.Open() && file.Write(text) && file.Commit()) return true;
  problem = fmt::sprintf("Cannot write %s: %s.", path.string(), file.Error());
  return false;
}

}  // namespace gridora
