#pragma once
// The normal-score transform of the sequential Gaussian simulation (Deutsch & Journel,
// GSLIB, 2nd ed. 1998, sec. V.2.1 and nscore/backtr; Goovaerts 1997, sec. 6.2.1).
//
// The n data, sorted, z_(1) <= ... <= z_(n), get the standard normal quantiles of their
// cumulative frequencies,
//
//     y_(k) = G^-1((k - 1/2) / n),
//
// where tied values share the mean of their quantiles (so a value has one score and
// the back-transform gives it back exactly). The back-transform interpolates linearly
// between the table's points (y_(k), z_(k)) and, beyond its ends, keeps the smallest and
// the largest datum (no tail extrapolation: a realisation never leaves the data's range).
//
// G^-1 is Acklam's rational approximation (relative error 1.15e-9) with one step of
// Halley's method on erfc, accurate to double precision.
#include <cstddef>
#include <vector>

namespace gridora {

// G^-1(p) for 0 < p < 1.
double InverseNormal(double p);
// G(y).
double StandardNormal(double y);

class NormalScores {
 public:
  // The table of the values (any order; at least one).
  explicit NormalScores(const std::vector<double>& values);
  // The score of a datum value (one of the table's): the interpolation back, for others.
  double Score(double z) const;
  double Back(double y) const;

 private:
  std::vector<double> z_, y_;  // distinct values ascending, their scores
};

}  // namespace gridora
