#include "geostat/sampled_cloud.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace gridora {
namespace {

// Fills the cloud with `count` pairs: every pair (i, j) in BuildCloud's order when
// `every`, else pairs drawn at random. first/second hold the two ends' positions and
// values; `same` says they are one variable (pairs i < j) rather than two (every i, j).
struct PairSource {
  const std::vector<double>&x1, &y1, &v1, &x2, &y2, &v2;
  bool same;
};

std::size_t FillCloud(VariogramModel& model, const PairSource& source, std::size_t pairs, std::uint64_t seed) {
  const std::size_t n1 = source.x1.size(), n2 = source.x2.size();
  const double allPairs = source.same ? 0.5 * static_cast<double>(n1) * static_cast<double>(n1 > 0 ? n1 - 1 : 0)
                                      : static_cast<double>(n1) * static_cast<double>(n2);
  const bool every = allPairs <= static_cast<double>(pairs);
  const std::size_t count = every ? static_cast<std::size_t>(allPairs) : pairs;
  model.cloudDistance.assign(count, 0.0);
  model.cloudDissimilarity.assign(count, 0.0);
  model.cloudMaximumDistance = 0.0;
  model.cloudMaximumDissimilarity = 0.0;
  model.cloudCount = count;

  // With anisotropy the cloud holds reduced distances, as BuildCloud does.
  const bool reduced = model.options.ratio != 1.0;
  const CovarianceModel shape = model.Model();
  auto put = [&](std::size_t k, std::size_t i, std::size_t j) {
    // The same forms as the distance and dissimilarity matrices.
    const double dx = source.x1[i] - source.x2[j], dy = source.y1[i] - source.y2[j];
    const double dz = source.v1[i] - source.v2[j];
    const double h = reduced ? shape.ReducedDistance(source.x2[j] - source.x1[i], source.y2[j] - source.y1[i])
                             : std::sqrt(dy * dy + dx * dx);
    const double g = 0.5 * dz * dz;
    model.cloudDistance[k] = h;
    model.cloudDissimilarity[k] = g;
    model.cloudMaximumDistance = std::max(model.cloudMaximumDistance, h);
    model.cloudMaximumDissimilarity = std::max(model.cloudMaximumDissimilarity, g);
  };
  if (every) {
    std::size_t k = 0;
    for (std::size_t i = 0; i < n1; ++i)
      for (std::size_t j = source.same ? i + 1 : 0; j < n2; ++j) put(k++, i, j);
    return count;
  }
  std::mt19937_64 random(seed);
  std::uniform_int_distribution<std::size_t> pick1(0, n1 - 1), pick2(0, n2 - 1);
  for (std::size_t k = 0; k < count;) {
    const std::size_t i = pick1(random), j = pick2(random);
    if (!source.same)
      put(k++, i, j);
    else if (i != j)
      put(k++, std::min(i, j), std::max(i, j));
  }
  return count;
}

}  // namespace

std::size_t BuildSampledCloud(VariogramModel& model, std::size_t pairs, std::uint64_t seed) {
  return FillCloud(model, {model.x, model.y, model.values, model.x, model.y, model.values, true}, pairs, seed);
}

std::size_t BuildSampledCrossCloud(VariogramModel& cross, const VariogramModel& primary,
                                   const VariogramModel& secondary, std::size_t pairs, std::uint64_t seed) {
  cross.pairMode = 1;
  cross.variableKind = 2;
  cross.x = primary.x;
  cross.y = primary.y;
  cross.otherX = secondary.x;
  cross.otherY = secondary.y;
  return FillCloud(cross, {primary.x, primary.y, primary.values, secondary.x, secondary.y, secondary.values, false},
                   pairs, seed);
}

}  // namespace gridora
