#pragma once
// Sequential Gaussian simulation on a grid (Deutsch & Journel, GSLIB, 2nd ed. 1998,
// sec. V.2.3 and sgsim; Goovaerts 1997, sec. 8.3).
//
// With the data turned into normal scores y (simulation/normal_score.h), each
// realisation visits the nodes in a random order; at node u it solves the simple kriging
// system of mean 0 of the nearest `neighbours` among the data and the nodes simulated
// before it (C the covariance of the scores, C(0) = 1),
//
//     K w = k,   y*(u) = w^T y_neighbours,   s^2(u) = 1 - w^T k,
//
// draws y(u) = y*(u) + s(u) G^-1(p), p uniform in (0, 1), and keeps it as a datum of the
// nodes that follow. The realisation is then transformed back node by node. A node on
// which a datum lies (within a millionth of the spacing) takes the datum's score and is
// not visited, so every realisation gives the data back at their nodes.
//
// The neighbours: the nearest data through the 2-d tree of geostat/neighbour_search.h;
// the nearest simulated nodes by a spiral search of the node offsets within the maximum
// distance (at most kSpiralReach nodes away on either axis), sorted by distance; the two
// lists merged. The kriging system is geostat's NeighbourhoodSolver.
//
// Realisation k draws its path and its deviates from its own generator (mt19937_64
// seeded with seed + k), so a seed gives the same realisations whatever the number of
// threads; the realisations run in parallel, one per thread.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "document/node_layout.h"
#include "geostat/covariance_model.h"
#include "platform/feedback.h"
#include "platform/outcome.h"

namespace gridora {

inline constexpr int kSpiralReach = 100;

struct SimulationSetup {
  CovarianceModel model;         // of the normal scores: nugget + sill = 1
  int neighbours = 24;           // data and simulated nodes together, at least 1
  double maximumDistance = 0.0;  // 0: no limit
  int realisations = 1;
  std::uint64_t seed = 1;
  bool normalScores = true;  // false: the values are scores already (no transform)
};

struct SimulationResult {
  Outcome outcome;
  int realisations = 0;
  std::size_t nodes = 0;
  // Realisation r's value of node i (NodeLayout::Index order) at r * nodes + i, in the
  // data's units.
  std::vector<float> values;
  std::size_t unsolvedNodes = 0;  // systems without solution: drawn from N(0, 1)
  std::size_t dataNodes = 0;      // nodes fixed by a datum
};

// InvalidInput (with a text) for no data, fewer than one neighbour or realisation, or an
// empty layout; Canceled when the feedback says so; OutOfMemory when the realisations do
// not fit. The feedback's stage names the realisation, its progress the share done.
SimulationResult SimulateSequentialGaussian(const NodeLayout& layout, const double* x, const double* y, const double* z,
                                            std::size_t n, const SimulationSetup& setup, Feedback* feedback);

// The mean and the standard deviation (divisor R - 1; 0 for one realisation) of the
// realisations at each node.
void RealisationMoments(const SimulationResult& result, std::vector<float>& mean, std::vector<float>& deviation);

// The model of the scores from a model fitted to standardised values: the same shape,
// its nugget and sill scaled so that they add up to 1.
CovarianceModel ScoreModel(const CovarianceModel& fitted);

}  // namespace gridora
