#pragma once
// The variogram cloud of data too many for every pair: n = 1,000,000 points make 5e11
// pairs, the n x n matrices 8 TB. The cloud instead holds pairs (i, j) drawn uniformly
// at random from all unordered pairs, with a fixed seed so that a run repeats; the class
// averages of FitVariogram over it are unbiased estimates of the averages over every
// pair, with a relative error of about 1 / sqrt(pairs in the class). Drawing pairs
// uniformly keeps the sample faithful at every lag up to the largest; a search of the
// neighbour tree up to a maximum lag would give exact short-lag classes but as many
// pairs as the data are dense, with no bound on time or memory.
//
// When there are no more pairs than the sample would hold, the cloud holds every pair
// in the order of BuildCloud, and the class averages are exactly those of all pairs.
// The local kriging mode, which has no n x n matrices, takes its cloud from here.
#include <cstddef>
#include <cstdint>

#include "geostat/variogram_model.h"

namespace gridora {

// Pairs of the sampled cloud: 2,000,000 pairs are 32 MB, and put some ten thousand pairs
// into even the shortest of twenty lag classes.
inline constexpr std::size_t kSampledCloudPairs = 2000000;
inline constexpr std::uint64_t kSampledCloudSeed = 20261210;

// Fills the cloud of a model whose points are set (SetDataWithoutMatrices): the cloud
// arrays, count and maxima, with reduced distances under anisotropy as BuildCloud has
// them. Pair mode 0. Returns the cloud count.
std::size_t BuildSampledCloud(VariogramModel& model, std::size_t pairs = kSampledCloudPairs,
                              std::uint64_t seed = kSampledCloudSeed);

// The cross model's cloud (pair mode 1: a primary point with a secondary one) without
// the n1 x n2 matrices of SetCross: sets the cross model's positions and fills its cloud
// from every pair, or from a sample of them when there are more than `pairs`.
std::size_t BuildSampledCrossCloud(VariogramModel& cross, const VariogramModel& primary,
                                   const VariogramModel& secondary, std::size_t pairs = kSampledCloudPairs,
                                   std::uint64_t seed = kSampledCloudSeed);

}  // namespace gridora
