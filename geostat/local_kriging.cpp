#include "geostat/local_kriging.h"

#include <algorithm>
#include <cmath>

namespace gridora {

MergedPoints MergeCoincidentPoints(std::size_t count, const double* x, const double* y, const double* z) {
  // Points that are not numbers have no place in the tree (nor in a sort's order).
  std::vector<std::size_t> order;
  order.reserve(count);
  for (std::size_t i = 0; i < count; ++i)
    if (std::isfinite(x[i]) && std::isfinite(y[i]) && std::isfinite(z[i])) order.push_back(i);
  const std::size_t n = order.size();
  std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
    return x[a] != x[b] ? x[a] < x[b] : (y[a] != y[b] ? y[a] < y[b] : a < b);
  });
  MergedPoints out;
  out.dropped = count - n;
  out.x.reserve(n);
  out.y.reserve(n);
  out.z.reserve(n);
  for (std::size_t k = 0; k < n;) {
    std::size_t end = k + 1;
    double sum = z[order[k]];
    while (end < n && x[order[end]] == x[order[k]] && y[order[end]] == y[order[k]]) sum += z[order[end++]];
    out.x.push_back(x[order[k]]);
    out.y.push_back(y[order[k]]);
    out.z.push_back(sum / static_cast<double>(end - k));
    out.merged += end - k - 1;
    k = end;
  }
  return out;
}

LocalKriging::LocalKriging(MergedPoints points, const CovarianceModel& model, LocalKrigingType type, double mean,
                           const LocalNeighbourhood& neighbourhood, std::shared_ptr<const DriftBasis> drift,
                           BlockSupport block)
    : points_(std::move(points)),
      model_(model),
      type_(type),
      mean_(mean),
      neighbourhood_(neighbourhood),
      search_(std::make_unique<NeighbourSearch>(points_.x.data(), points_.y.data(),
                                                static_cast<std::uint32_t>(points_.x.size()))),
      drift_(std::move(drift)),
      block_(block) {
  if (block_.Active()) block_.variance = BlockVariance(model_, block_);
  if (drift_ && type_ == LocalKrigingType::Ordinary) {
    driftCount_ = drift_->Count();
    const std::size_t n = points_.x.size(), p = static_cast<std::size_t>(driftCount_);
    pointDrift_.resize(n * p);
    for (std::size_t i = 0; i < n; ++i) drift_->At(points_.x[i], points_.y[i], &pointDrift_[i * p]);
  }
}

NeighbourhoodEstimate LocalKriging::Estimate(double x, double y, Workspace& work, bool* tooFew) const {
  search_->Nearest(x, y, static_cast<std::uint32_t>(std::max(0, neighbourhood_.neighbours)), neighbourhood_.maxDistance,
                   work.found);
  const int m = static_cast<int>(work.found.size());
  *tooFew = m < std::max(1, neighbourhood_.minimumNeighbours);
  if (*tooFew) return {};
  // In index order, so that the same points give the same system whatever their distances.
  work.points.resize(m);
  for (int i = 0; i < m; ++i) work.points[i] = work.found[i].index;
  std::sort(work.points.begin(), work.points.end());
  const bool samePoints = work.points == work.previousPoints;
  if (!samePoints) {
    // Both lists ascend: one walk finds the points the last node had too.
    work.previousPlace.assign(static_cast<std::size_t>(m), -1);
    std::size_t q = 0;
    for (int i = 0; i < m; ++i) {
      while (q < work.previousPoints.size() && work.previousPoints[q] < work.points[i]) ++q;
      if (q < work.previousPoints.size() && work.previousPoints[q] == work.points[i])
        work.previousPlace[i] = static_cast<int>(q);
    }
    work.x.resize(m);
    work.y.resize(m);
    work.z.resize(m);
    for (int i = 0; i < m; ++i) {
      const std::uint32_t p = work.points[i];
      work.x[i] = points_.x[p];
      work.y[i] = points_.y[p];
      work.z[i] = points_.z[p];
    }
    const std::size_t p = static_cast<std::size_t>(driftCount_);
    work.drift.resize(static_cast<std::size_t>(m) * p);
    for (int i = 0; i < m && p > 0; ++i)
      std::copy_n(&pointDrift_[work.points[i] * p], p, &work.drift[static_cast<std::size_t>(i) * p]);
    work.previousPoints.swap(work.points);
  }
  return work.solver.Solve(model_, type_, mean_, m, work.x.data(), work.y.data(), work.z.data(), x, y, samePoints,
                           work.previousPlace.data(), drift_.get(), block_.Active() ? &block_ : nullptr,
                           driftCount_ > 0 ? work.drift.data() : nullptr);
}

NeighbourhoodEstimate LocalKriging::At(double x, double y) const {
  Workspace work;
  bool tooFew = false;
  return Estimate(x, y, work, &tooFew);
}

LocalGridResult LocalKriging::Grid(const NodeLayout& layout, float* estimate, float* standardError, std::uint8_t* empty,
                                   float emptyValue, Feedback* feedback) const {
  return EstimateNodes<Workspace>(
      layout, estimate, standardError, empty, emptyValue, feedback,
      [this](double x, double y, Workspace& work, bool* tooFew) { return Estimate(x, y, work, tooFew); });
}

}  // namespace gridora
