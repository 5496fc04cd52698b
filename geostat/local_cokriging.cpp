#include "geostat/local_cokriging.h"

#include <algorithm>

namespace gridora {

LocalCokriging::LocalCokriging(MergedPoints primary, MergedPoints secondary, const CokrigingModels& models,
                               double mean1, double mean2, const LocalNeighbourhood& neighbourhood)
    : primary_(std::move(primary)),
      secondary_(std::move(secondary)),
      models_(models),
      mean1_(mean1),
      mean2_(mean2),
      neighbourhood_(neighbourhood),
      search1_(std::make_unique<NeighbourSearch>(primary_.x.data(), primary_.y.data(),
                                                 static_cast<std::uint32_t>(primary_.x.size()))),
      search2_(std::make_unique<NeighbourSearch>(secondary_.x.data(), secondary_.y.data(),
                                                 static_cast<std::uint32_t>(secondary_.x.size()))) {}

NeighbourhoodEstimate LocalCokriging::Estimate(double x, double y, Workspace& work, bool* tooFew) const {
  const std::uint32_t k = static_cast<std::uint32_t>(std::max(0, neighbourhood_.neighbours));
  search1_->Nearest(x, y, k, neighbourhood_.maxDistance, work.found1);
  search2_->Nearest(x, y, k, neighbourhood_.maxDistance, work.found2);
  const int m1 = static_cast<int>(work.found1.size()), m2 = static_cast<int>(work.found2.size()), m = m1 + m2;
  *tooFew = m1 < std::max(1, neighbourhood_.minimumNeighbours);
  if (*tooFew) return {};

  // Point p of the system: primary found1[p] for p < m1, else secondary found2[p - m1].
  auto px = [&](int p) { return p < m1 ? primary_.x[work.found1[p].index] : secondary_.x[work.found2[p - m1].index]; };
  auto py = [&](int p) { return p < m1 ? primary_.y[work.found1[p].index] : secondary_.y[work.found2[p - m1].index]; };
  double* K = work.solver.Matrix(m);
  double* target = work.solver.Target(m);
  work.residuals.resize(static_cast<std::size_t>(m));
  for (int i = 0; i < m; ++i) {
    const bool primaryI = i < m1;
    for (int j = 0; j <= i; ++j) {
      const bool primaryJ = j < m1;
      const CovarianceModel& model = primaryI && primaryJ     ? models_.primary
                                     : !primaryI && !primaryJ ? models_.secondary
                                                              : models_.cross;
      const double c = model.Covariance(px(i) - px(j), py(i) - py(j));
      K[static_cast<std::size_t>(i) * m + j] = c;
      K[static_cast<std::size_t>(j) * m + i] = c;
    }
    target[i] = (primaryI ? models_.primary : models_.cross).Covariance(x - px(i), y - py(i));
    work.residuals[i] =
        primaryI ? primary_.z[work.found1[i].index] - mean1_ : secondary_.z[work.found2[i - m1].index] - mean2_;
  }
  NeighbourhoodEstimate e = work.solver.SolveFilled(m, models_.primary.Covariance(0.0, 0.0), work.residuals.data());
  e.estimate += mean1_;
  return e;
}

NeighbourhoodEstimate LocalCokriging::At(double x, double y) const {
  Workspace work;
  bool tooFew = false;
  return Estimate(x, y, work, &tooFew);
}

LocalGridResult LocalCokriging::Grid(const NodeLayout& layout, float* estimate, float* standardError,
                                     std::uint8_t* empty, float emptyValue, Feedback* feedback) const {
  return EstimateNodes<Workspace>(
      layout, estimate, standardError, empty, emptyValue, feedback,
      [this](double x, double y, Workspace& work, bool* tooFew) { return Estimate(x, y, work, tooFew); });
}

}  // namespace gridora
