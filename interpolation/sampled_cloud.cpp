#include "interpolation/sampled_cloud.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace gridora {

std::size_t BuildSampledCloud(CVariogramModel& model, std::size_t pairs, std::uint64_t seed) {
  const std::size_t n = static_cast<std::size_t>(std::max(0, model.count));
  const double allPairs = 0.5 * static_cast<double>(n) * static_cast<double>(n > 0 ? n - 1 : 0);
  const bool every = allPairs <= static_cast<double>(pairs);
  const std::size_t count = every ? static_cast<std::size_t>(allPairs) : pairs;
  model.cloudDistance.assign(count, 0.0);
  model.cloudDissimilarity.assign(count, 0.0);
  model.cloudMaximumDistance = 0.0;
  model.cloudMaximumDissimilarity = 0.0;
  model.cloudCount = count;

  auto put = [&](std::size_t k, std::size_t i, std::size_t j) {
    // The same forms as the distance and dissimilarity matrices.
    const double dx = model.x[i] - model.x[j], dy = model.y[i] - model.y[j], dz = model.values[i] - model.values[j];
    const double h = std::sqrt(dy * dy + dx * dx), g = 0.5 * dz * dz;
    model.cloudDistance[k] = h;
    model.cloudDissimilarity[k] = g;
    model.cloudMaximumDistance = std::max(model.cloudMaximumDistance, h);
    model.cloudMaximumDissimilarity = std::max(model.cloudMaximumDissimilarity, g);
  };
  if (every) {
    std::size_t k = 0;
    for (std::size_t i = 0; i < n; ++i)
      for (std::size_t j = i + 1; j < n; ++j) put(k++, i, j);
    return count;
  }
  std::mt19937_64 random(seed);
  std::uniform_int_distribution<std::size_t> pick(0, n - 1);
  for (std::size_t k = 0; k < count;) {
    const std::size_t i = pick(random), j = pick(random);
    if (i != j) put(k++, std::min(i, j), std::max(i, j));
  }
  return count;
}

}  // namespace gridora
