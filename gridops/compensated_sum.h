#pragma once
// Neumaier's compensated summation (Neumaier 1974, an improved Kahan summation): the
// running sum s and a correction c that collects what each addition rounds away,
//   t = s + x;  c += |s| >= |x| ? (s - t) + x : (x - t) + s;  s = t;   total = s + c.
// The error of the total does not grow with the number of terms (to first order), so
// sums over millions of nodes keep the accuracy of double precision.
#include <cmath>

namespace gridora {

class CompensatedSum {
 public:
  void Add(double x) {
    const double t = sum_ + x;
    correction_ += std::abs(sum_) >= std::abs(x) ? (sum_ - t) + x : (x - t) + sum_;
    sum_ = t;
  }
  double Total() const { return sum_ + correction_; }

 private:
  double sum_ = 0;
  double correction_ = 0;
};

}  // namespace gridora
