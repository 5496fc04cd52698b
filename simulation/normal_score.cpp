#include "simulation/normal_score.h"

#include <algorithm>
#include <cmath>

namespace gridora {

double StandardNormal(double y) { return 0.5 * std::erfc(-y / std::sqrt(2.0)); }

double InverseNormal(double p) {
  // Acklam's coefficients.
  static const double a[] = {-3.969683028665376e+01, 2.209460984245205e+02,  -2.759285104469687e+02,
                             1.383577518672690e+02,  -3.066479806614716e+01, 2.506628277459239e+00};
  static const double b[] = {-5.447609879822406e+01, 1.615858368580409e+02, -1.556989798598866e+02,
                             6.680131188771972e+01, -1.328068155288572e+01};
  static const double c[] = {-7.784894002430293e-03, -3.223964580411365e-01, -2.400758277161838e+00,
                             -2.549732539343734e+00, 4.374664141464968e+00,  2.938163982698783e+00};
  static const double d[] = {7.784695709041462e-03, 3.224671290700398e-01, 2.445134137142996e+00,
                             3.754408661907416e+00};
  constexpr double low = 0.02425, high = 1.0 - low;
  if (!(p > 0.0)) return -INFINITY;
  if (!(p < 1.0)) return INFINITY;
  double x;
  if (p < low) {
    const double q = std::sqrt(-2.0 * std::log(p));
    x = (((((c[0] * q + c[1]) * q + c[2]) * q + c[3]) * q + c[4]) * q + c[5]) /
        ((((d[0] * q + d[1]) * q + d[2]) * q + d[3]) * q + 1.0);
  } else if (p <= high) {
    const double q = p - 0.5, r = q * q;
    x = (((((a[0] * r + a[1]) * r + a[2]) * r + a[3]) * r + a[4]) * r + a[5]) * q /
        (((((b[0] * r + b[1]) * r + b[2]) * r + b[3]) * r + b[4]) * r + 1.0);
  } else {
    const double q = std::sqrt(-2.0 * std::log(1.0 - p));
    x = -(((((c[0] * q + c[1]) * q + c[2]) * q + c[3]) * q + c[4]) * q + c[5]) /
        ((((d[0] * q + d[1]) * q + d[2]) * q + d[3]) * q + 1.0);
  }
  // One Halley step.
  const double e = StandardNormal(x) - p;
  const double u = e * std::sqrt(2.0 * 3.14159265358979323846) * std::exp(0.5 * x * x);
  return x - u / (1.0 + 0.5 * x * u);
}

NormalScores::NormalScores(const std::vector<double>& values) {
  std::vector<double> sorted = values;
  std::sort(sorted.begin(), sorted.end());
  const double n = static_cast<double>(sorted.size());
  for (std::size_t k = 0; k < sorted.size();) {
    std::size_t last = k;
    while (last + 1 < sorted.size() && sorted[last + 1] == sorted[k]) ++last;
    double sum = 0.0;
    for (std::size_t t = k; t <= last; ++t) sum += InverseNormal((static_cast<double>(t) + 0.5) / n);
    z_.push_back(sorted[k]);
    y_.push_back(sum / static_cast<double>(last - k + 1));
    k = last + 1;
  }
}

namespace {

// Linear interpolation in the ascending table (from -> to), kept at the ends.
double Interpolate(const std::vector<double>& from, const std::vector<double>& to, double v) {
  if (from.empty()) return 0.0;
  if (!(v > from.front())) return to.front();
  if (!(v < from.back())) return to.back();
  const std::size_t k = static_cast<std::size_t>(std::upper_bound(from.begin(), from.end(), v) - from.begin());
  const double f = (v - from[k - 1]) / (from[k] - from[k - 1]);
  return to[k - 1] + f * (to[k] - to[k - 1]);
}

}  // namespace

double NormalScores::Score(double z) const { return Interpolate(z_, y_, z); }
double NormalScores::Back(double y) const {
  if (!std::isnan(y) && y_.size() > 0) {
    const auto at = std::lower_bound(y_.begin(), y_.end(), y);
    if (at != y_.end() && *at == y) return z_[static_cast<std::size_t>(at - y_.begin())];
  }
  return Interpolate(y_, z_, y);
}

}  // namespace gridora
