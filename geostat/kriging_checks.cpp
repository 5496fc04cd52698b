#include "geostat/kriging_checks.h"

#include <fmt/printf.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <numeric>
#include <vector>

#include "geostat/sampled_cloud.h"
#include "platform/memory_budget.h"

namespace gridora {
std::optional<CoincidentPoints> FindCoincidentPoints(int count, const DataPoint* points) {
  if (count < 2) return std::nullopt;
  std::vector<int> order(static_cast<std::size_t>(count));
  std::iota(order.begin(), order.end(), 0);
  auto samePosition = [points](int i, int j) { return points[i].x == points[j].x && points[i].y == points[j].y; };
  std::sort(order.begin(), order.end(), [points](int i, int j) {
    if (points[i].x != points[j].x) return points[i].x < points[j].x;
    if (points[i].y != points[j].y) return points[i].y < points[j].y;
    return i < j;
  });
  CoincidentPoints found;
  for (std::size_t k = 1; k < order.size(); ++k) {
    if (!samePosition(order[k - 1], order[k])) continue;
    ++found.pairs;
    const int first = order[k - 1], second = order[k];  // first < second within a run
    if (found.first < 0 || first < found.first || (first == found.first && second < found.second)) {
      found.first = first;
      found.second = second;
    }
  }
  if (found.pairs == 0) return std::nullopt;
  return found;
}

std::optional<std::string> CheckVariogramData(const std::string& what, int count, const DataPoint* points) {
  if (count < 2)
    return fmt::sprintf("The %s data hold %d point(s); a variogram needs at least two points.", what, count);
  bool allEqual = true;
  for (int i = 1; i < count && allEqual; ++i) allEqual = points[i].z == points[0].z;
  if (allEqual)
    return fmt::sprintf(
        "All %d values of the %s data are equal (%g): they have no variance, so no variogram can be "
        "fitted to them.",
        count, what, points[0].z);
  if (auto same = FindCoincidentPoints(count, points)) {
    const DataPoint& p = points[same->first];
    std::string text = fmt::sprintf(
        "The %s data points No.%d and No.%d (counted from 1) lie at the same position (%f, %f). Kriging "
        "cannot use two points at one position: its system of equations would be singular.",
        what, same->first + 1, same->second + 1, p.x, p.y);
    if (same->pairs > 1) text += fmt::sprintf(" %d pairs of points share a position in all.", same->pairs);
    text += " Remove or merge the repeated points and try again.";
    return text;
  }
  return std::nullopt;
}

double VariogramMemoryNeed(std::size_t n1, std::size_t n2) {
  const double a = static_cast<double>(n1), b = static_cast<double>(n2);
  // Per variable: distance, dissimilarity and covariance matrices (with their spare row
  // and column) and the two cloud arrays of n(n-1)/2 pairs.
  auto variable = [](double n) { return 3.0 * (n + 1) * (n + 1) + n * (n - 1); };
  double doubles = variable(a);
  if (n2 > 0) doubles += variable(b) + 3.0 * (a + 1) * (b + 1) + 2.0 * a * b;  // cross model
  const double system = a + b;
  doubles += 2.0 * (system + 1) * (system + 1);  // the block system and its inverse
  return doubles * sizeof(double);
}

double LocalVariogramMemoryNeed(std::size_t n1, std::size_t n2) {
  // Per point: the copies of x, y, z and the model's x, y and values (the cross model
  // copies both variables' positions); per cloud the sampled pairs' two arrays.
  const double points = 6.0 * static_cast<double>(n1 + n2) + 2.0 * static_cast<double>(n1 + n2);
  const double clouds = (n2 > 0 ? 3.0 : 1.0) * 2.0 * static_cast<double>(kSampledCloudPairs);
  return (points + clouds) * sizeof(double);
}

double DataDiagonal(const VariogramModel& model) {
  double left = HUGE_VAL, right = -HUGE_VAL, bottom = HUGE_VAL, top = -HUGE_VAL;
  auto extend = [&](const std::vector<double>& xs, const std::vector<double>& ys) {
    for (std::size_t i = 0; i < xs.size() && i < ys.size(); ++i) {
      left = std::min(left, xs[i]);
      right = std::max(right, xs[i]);
      bottom = std::min(bottom, ys[i]);
      top = std::max(top, ys[i]);
    }
  };
  extend(model.x, model.y);
  if (model.pairMode == 1) extend(model.otherX, model.otherY);
  if (!(right >= left) || !(top >= bottom)) return 0.0;
  return std::hypot(right - left, top - bottom);
}

std::optional<std::string> FarRangeNotice(const std::string& what, const VariogramModel& model) {
  const double diagonal = DataDiagonal(model);
  if (!(diagonal > 0.0) || !(model.a > kFarRangeFactor * diagonal)) return std::nullopt;
  return fmt::sprintf(
      "The fitted range of the %s variogram, %g, is %.0f times the extent of the data (%g, the diagonal of their "
      "bounding box): the lag classes rise without levelling off at a sill, so the fit follows them out to a range "
      "and a sill that the data cannot support. The fit is kept. A maximum lag (Kriging options), another lag width "
      "or another model may find a range within the data.",
      what, model.a, std::floor(model.a / diagonal), diagonal);
}

double LargestStandardError(const VariogramModel& model) {
  const double scale = model.standardised == 1 ? model.standardDeviation : 1.0;
  return std::sqrt(2.0 * (model.options.nugget + model.c)) * scale;
}

std::optional<std::string> CheckStandardErrorSize(const VariogramModel& model) {
  const double largest = LargestStandardError(model);
  if (largest <= FLT_MAX) return std::nullopt;
  return fmt::sprintf(
      "The nugget %g with the sill %g gives standard errors up to about %g, beyond the largest number a grid can "
      "hold (%g): the standard-error layer could not be stored. Choose a smaller nugget.",
      model.options.nugget, model.c, largest, static_cast<double>(FLT_MAX));
}

std::optional<std::string> CheckMemory(const std::string& what, double need) {
  const std::optional<std::uint64_t> spare = SpareMemoryNow();
  if (!spare || need <= static_cast<double>(*spare)) return std::nullopt;
  const double shown = std::min(need, 1.0e19);  // beyond any machine, and still a 64-bit count
  return fmt::sprintf(
      "%s needs about %s of memory for its matrices, more than the %s this computer can spare now. Use fewer "
      "data points.",
      what, NeededMemoryText(static_cast<std::uint64_t>(shown)), SpareMemoryText(*spare));
}

}  // namespace gridora
