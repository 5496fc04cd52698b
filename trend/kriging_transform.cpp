#include "trend/kriging_transform.h"

#include <fmt/format.h>

#include <algorithm>
#include <cmath>

#include "geostat/kriging_variance.h"
#include "geostat/local_kriging.h"
#include "platform/feedback.h"

namespace gridora {
namespace {

constexpr int kPositionsPerStep = 4096;

double Scale(const VariogramModel& p) { return p.standardised == 1 ? p.standardDeviation : 1.0; }
double Offset(const VariogramModel& p) { return p.standardised == 1 ? p.mean : 0.0; }

}  // namespace

bool TransformsValues(const KrigingOptions& options) {
  return options.transform == ValueTransform::Log || options.indicator;
}

std::optional<std::string> TransformRefusal(const KrigingOptions& options, int n, const DataPoint* points) {
  if (options.transform != ValueTransform::Log) return std::nullopt;
  int notPositive = 0;
  for (int i = 0; i < n; ++i)
    if (!(points[i].z > 0.0)) ++notPositive;
  if (notPositive == 0) return std::nullopt;
  return fmt::format(
      "The log transform needs values above 0: {} of the {} points have a value of 0 or less. Remove them or choose "
      "transform=none. Nothing was changed.",
      notPositive, n);
}

std::vector<DataPoint> KrigedValues(const KrigingOptions& options, int n, const DataPoint* points) {
  std::vector<DataPoint> out(points, points + n);
  for (DataPoint& p : out) {
    if (options.transform == ValueTransform::Log)
      p.z = std::log(p.z);
    else if (options.indicator)
      p.z = p.z > options.threshold ? 1.0 : 0.0;
  }
  return out;
}

double BackTransformLog(double yHat, double sigma2, double m, double muHat, double* error) {
  const double scale = std::exp(muHat);
  if (error) *error = scale * std::sqrt(std::max(sigma2, 0.0));
  return std::exp(yHat) + scale * (sigma2 / 2.0 - m);
}

double ClampProbability(double estimate) { return std::clamp(estimate, 0.0, 1.0); }

Outcome LogKrigingAt(const KrigingState& state, int count, const double* xs, const double* ys, double* estimates,
                     double* errors, Feedback* feedback) {
  const VariogramModel& p = *state.primary;
  const DenseMatrix& Q = *state.inverse;
  const int n = p.count, N = Q.rows;
  const bool ordinary = N == n + 1;
  const double sd = Scale(p), mean = Offset(p);
  const std::vector<double> beta = p.ResidualWeights(Q);
  // The GLS mean 1^T C^-1 z / 1^T C^-1 1 is row n of the bordered inverse times [z; 0].
  double glsMean = p.residualMean;
  if (ordinary) {
    glsMean = 0.0;
    for (int i = 0; i < n; ++i) glsMean += Q(n, i) * p.values[i];
  }
  const double muHat = mean + sd * glsMean;
  std::vector<double> variance(static_cast<std::size_t>(count)), scratch(variance.size());
  const StandardErrors se = StandardErrorsAt(state, count, xs, ys, scratch.data(), feedback, variance.data());
  if (!se.outcome.Done()) return se.outcome;
  for (int first = 0; first < count; first += kPositionsPerStep) {
    if (Canceled(feedback)) return {OutcomeKind::Canceled};
    const int last = std::min(count, first + kPositionsPerStep);
#pragma omp parallel
    {
      std::vector<double> column(static_cast<std::size_t>(N));
#pragma omp for schedule(static)
      for (int k = first; k < last; ++k) {
        // The multiplier mu of the covariance form: row n of the inverse times the
        // right-hand side; Cressie's m is -mu.
        double lagrange = 0.0;
        if (ordinary) {
          SystemColumn(state, xs[k], ys[k], column.data());
          for (int j = 0; j < N; ++j) lagrange += Q(n, j) * column[j];
        }
        const double yHat = p.PredictWithWeights(xs[k], ys[k], beta);
        const double sigma2 = sd * sd * std::max(variance[k], 0.0);
        double error = 0.0;
        estimates[k] = BackTransformLog(yHat, sigma2, -sd * sd * lagrange, muHat, &error);
        if (errors) errors[k] = error;
      }
    }
  }
  for (int k = 0; k < count; ++k)
    if (!std::isfinite(estimates[k])) return {OutcomeKind::NotFinite, k, -1};
  return {};
}

Outcome LocalLogKrigingAt(const KrigingState& state, int count, const double* xs, const double* ys, double* estimates,
                          double* errors, Feedback* feedback) {
  const VariogramModel& p = *state.primary;
  const KrigingOptions& o = p.options;
  LocalNeighbourhood neighbourhood;
  neighbourhood.neighbours = o.neighbours;
  neighbourhood.maxDistance = o.maximumDistance;
  const LocalKrigingType type = o.type == KrigingType::Ordinary ? LocalKrigingType::Ordinary : LocalKrigingType::Simple;
  const LocalKriging local(MergeCoincidentPoints(p.x.size(), p.x.data(), p.y.data(), p.values.data()), p.Model(), type,
                           p.residualMean, neighbourhood);
  const double sd = Scale(p), mean = Offset(p);
  for (int first = 0; first < count; first += kPositionsPerStep) {
    if (Canceled(feedback)) return {OutcomeKind::Canceled};
    const int last = std::min(count, first + kPositionsPerStep);
#pragma omp parallel for schedule(dynamic, 64)
    for (int k = first; k < last; ++k) {
      const NeighbourhoodEstimate e = local.At(xs[k], ys[k]);
      if (e.outcome != OutcomeKind::Done) {
        estimates[k] = std::nan("");
        if (errors) errors[k] = std::nan("");
        continue;
      }
      const bool ordinary = type == LocalKrigingType::Ordinary;
      const double muHat = mean + sd * (ordinary ? e.glsMean : p.residualMean);
      double error = 0.0;
      estimates[k] = BackTransformLog(mean + sd * e.estimate, sd * sd * std::max(e.variance, 0.0),
                                      ordinary ? -sd * sd * e.lagrange : 0.0, muHat, &error);
      if (errors) errors[k] = error;
    }
    Report(feedback, static_cast<double>(last) / count);
  }
  return {};
}

}  // namespace gridora
