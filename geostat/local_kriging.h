#pragma once
// Kriging from a local neighbourhood: each grid node is estimated from its nearest data
// points only (the nearest `neighbours`, within `maxDistance`), with its own small
// kriging system (local_kriging_system.h). The global kriging solves one n x n system,
// O(n^3) time and O(n^2) memory, which ends at a few thousand points; this costs
// O(n log n) for the tree, then O(k^3) per node, and O(n) memory.
//
// The neighbourhoods are found with a 2-d tree (neighbour_search.h) built once. Points
// that share a position would make every system holding both singular: they are merged
// into one point carrying their mean value before the tree is built, and counted.
//
// A node with fewer than `minimumNeighbours` points within reach is left empty rather
// than extrapolated from one or two far points, and counted; so is a node whose system
// cannot be solved. Empty nodes get `emptyValue` in both grids and a mark in the mask.
// A variance that rounds below zero is clamped to zero and counted. No node ever gets a
// NaN.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "geostat/covariance_model.h"
#include "geostat/kriging_prediction.h"
#include "geostat/local_grid.h"
#include "geostat/local_kriging_system.h"
#include "geostat/neighbour_search.h"

namespace gridora {

class Feedback;

struct LocalNeighbourhood {
  int neighbours = 0;         // the nearest k points; 0: every point within maxDistance
  double maxDistance = 0.0;   // 0: no limit
  int minimumNeighbours = 3;  // fewer leave the node empty
};

// The points after merging those at one position (the mean of their values).
struct MergedPoints {
  std::vector<double> x, y, z;
  std::size_t merged = 0;   // points folded into another one
  std::size_t dropped = 0;  // points with a coordinate or value that is not a finite number
};
MergedPoints MergeCoincidentPoints(std::size_t n, const double* x, const double* y, const double* z);

class LocalKriging {
 public:
  // `mean`: the known mean of simple kriging. The values and the model share one unit.
  // `drift`: universal kriging of an ordinary type (local_kriging_system.h); may be null.
  LocalKriging(MergedPoints points, const CovarianceModel& model, LocalKrigingType type, double mean,
               const LocalNeighbourhood& neighbourhood, std::shared_ptr<const DriftBasis> drift = nullptr,
               BlockSupport block = {});

  // The estimate at one position; Singular when too few neighbours or no solution.
  NeighbourhoodEstimate At(double x, double y) const;

  // Estimates node (i, j) into estimate[i * ny + j] and, when standardError is given, the
  // square root of the kriging variance beside it; empty (optional, one byte a node)
  // marks empty nodes with 1. Nodes go in blocks of columns over every core, the cancel
  // button polled between blocks; after a cancel the grids are partly written.
  LocalGridResult Grid(const NodeLayout& layout, float* estimate, float* standardError, std::uint8_t* empty,
                       float emptyValue, Feedback* feedback) const;

  const MergedPoints& Points() const { return points_; }

 private:
  // One thread's workspace.
  struct Workspace {
    NeighbourhoodSolver solver;
    std::vector<NeighbourSearch::Found> found;
    std::vector<std::uint32_t> points, previousPoints;  // by index, this node's and the last one's
    std::vector<int> previousPlace;                     // of each point in previousPoints, or -1
    std::vector<double> x, y, z;
    std::vector<double> drift;  // the drift's functions at the points, a row each
  };
  NeighbourhoodEstimate Estimate(double x, double y, Workspace& work, bool* tooFew) const;

  MergedPoints points_;
  CovarianceModel model_;
  LocalKrigingType type_;
  double mean_;
  LocalNeighbourhood neighbourhood_;
  std::unique_ptr<NeighbourSearch> search_;
  std::shared_ptr<const DriftBasis> drift_;
  // The drift's p functions at every point, a row each, evaluated once (an external
  // drift samples rasters): the systems copy their rows.
  int driftCount_ = 0;
  std::vector<double> pointDrift_;
  BlockSupport block_;  // with its variance
};

}  // namespace gridora
