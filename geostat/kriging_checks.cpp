#include "geostat/kriging_checks.h"

#include <fmt/printf.h>

#include <algorithm>
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
