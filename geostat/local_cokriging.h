#pragma once
// Simple cokriging from local neighbourhoods: each node is estimated from its nearest
// primary points and its nearest secondary points (the same `neighbours` and
// `maxDistance` for both), with the block system of the global cokriging restricted to
// them,
//
//     [ K11  K12 ] [w1]   [k1(x)]     K11, K22: covariances within each variable
//     [ K21  K22 ] [w2] = [k2(x)]     K12: cross covariances, k2(x): cross covariances
//                                          of the position with the secondary points
//     estimate = m1 + w1^T (z1 - m1) + w2^T (z2 - m2)
//     variance = C11(0) - w1^T k1 - w2^T k2
//
// A cross model that does not suit the two variables can make the block system
// indefinite; the solver then falls back to LDL^T (local_kriging_system.h). A node
// needs at least `minimumNeighbours` primary points.
#include <cstdint>
#include <memory>
#include <vector>

#include "geostat/covariance_model.h"
#include "geostat/local_kriging.h"

namespace gridora {

struct CokrigingModels {
  CovarianceModel primary, secondary, cross;
};

class LocalCokriging {
 public:
  // mean1, mean2: the known means of the two variables.
  LocalCokriging(MergedPoints primary, MergedPoints secondary, const CokrigingModels& models, double mean1,
                 double mean2, const LocalNeighbourhood& neighbourhood);

  NeighbourhoodEstimate At(double x, double y) const;
  // As LocalKriging::Grid.
  LocalGridResult Grid(const NodeLayout& layout, float* estimate, float* standardError, std::uint8_t* empty,
                       float emptyValue, Feedback* feedback) const;

 private:
  struct Workspace {
    NeighbourhoodSolver solver;
    std::vector<NeighbourSearch::Found> found1, found2;
    std::vector<double> residuals;
  };
  NeighbourhoodEstimate Estimate(double x, double y, Workspace& work, bool* tooFew) const;

  MergedPoints primary_, secondary_;
  CokrigingModels models_;
  double mean1_, mean2_;
  LocalNeighbourhood neighbourhood_;
  std::unique_ptr<NeighbourSearch> search1_, search2_;
};

}  // namespace gridora
