#include "geostat/cross_validation.h"

#include <fmt/printf.h>

#include <cmath>
#include <random>

#include "linalg/system_inverse.h"
#include "platform/feedback.h"
#include "platform/replacing_file.h"
#include "platform/trace.h"

namespace gridora {
namespace {

// The right-hand values of the system: the standardised residuals of the primary and
// the secondary points, 0 on an ordinary kriging border.
std::vector<double> SystemValues(const KrigingState& state, int size) {
  std::vector<double> r(static_cast<std::size_t>(size), 0.0);
  const VariogramModel& p = *state.primary;
  for (int i = 0; i < p.count; ++i) r[i] = p.values[i] - p.residualMean;
  if (state.HasSecondary()) {
    const VariogramModel& s = *state.secondary;
    for (int j = 0; j < s.count; ++j) r[p.count + j] = s.values[j] - s.residualMean;
  }
  return r;
}

// A permutation of 0..n-1 from the seed (Fisher-Yates with the generator's own numbers,
// so that a seed gives the same folds on every platform).
std::vector<int> Shuffled(int n, unsigned seed) {
  std::vector<int> order(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) order[i] = i;
  std::mt19937 generator(seed);
  for (int i = n - 1; i > 0; --i) {
    const int j = static_cast<int>(generator() % static_cast<unsigned>(i + 1));
    std::swap(order[i], order[j]);
  }
  return order;
}

void Summarise(CrossValidation& cv) {
  const double n = static_cast<double>(cv.points.size());
  double sum = 0, squares = 0, standardised = 0, mo = 0, me = 0;
  for (const CrossValidationPoint& p : cv.points) {
    sum += p.residual;
    squares += p.residual * p.residual;
    standardised += p.standardisedResidual * p.standardisedResidual;
    mo += p.observed;
    me += p.estimate;
  }
  mo /= n;
  me /= n;
  double soo = 0, see = 0, soe = 0;
  for (const CrossValidationPoint& p : cv.points) {
    soo += (p.observed - mo) * (p.observed - mo);
    see += (p.estimate - me) * (p.estimate - me);
    soe += (p.observed - mo) * (p.estimate - me);
  }
  cv.meanError = sum / n;
  cv.rootMeanSquareError = std::sqrt(squares / n);
  cv.meanStandardisedSquaredError = standardised / n;
  cv.correlation = soo > 0 && see > 0 ? soe / std::sqrt(soo * see) : 0.0;
}

}  // namespace

Outcome CrossValidate(const KrigingState& state, int folds, unsigned seed, CrossValidation& result,
                      Feedback* feedback) {
  const VariogramModel& p = *state.primary;
  const DenseMatrix& Q = *state.inverse;
  const int n = p.count, N = Q.rows;
  if (folds < 0 || folds == 1 || folds > n)
    return {
        OutcomeKind::InvalidInput, -1, -1,
        fmt::sprintf("The number of folds must be 0 (leave-one-out) or from 2 to the %d points (it is %d).", n, folds)};
  const std::vector<double> r = SystemValues(state, N);
  std::vector<double> Qr(static_cast<std::size_t>(N), 0.0);
#pragma omp parallel for schedule(static)
  for (int i = 0; i < N; ++i) {
    const double* row = Q.values[i];
    double s = 0.0;
    for (int j = 0; j < N; ++j) s += row[j] * r[j];
    Qr[i] = s;
  }

  // error e_i = r_i - r*_i and variance of each primary point, standardised.
  std::vector<double> error(static_cast<std::size_t>(n)), variance(error);
  if (folds == 0) {
    for (int i = 0; i < n; ++i) {
      error[i] = Qr[i] / Q(i, i);
      variance[i] = 1.0 / Q(i, i);
    }
  } else {
    const std::vector<int> order = Shuffled(n, seed);
    for (int f = 0; f < folds; ++f) {
      if (Canceled(feedback)) return {OutcomeKind::Canceled};
      std::vector<int> members;
      for (int k = f; k < n; k += folds) members.push_back(order[k]);
      const int m = static_cast<int>(members.size());
      DenseMatrix block(m, m);
      for (int a = 0; a < m; ++a)
        for (int b = 0; b < m; ++b) block(a, b) = Q(members[a], members[b]);
      SystemInverse inverse = InvertSystemMatrix(block, nullptr);
      if (!inverse.outcome.Done())
        return {OutcomeKind::Singular, -1, -1,
                fmt::sprintf("The system of fold %d cannot be solved: its points are too close together.", f + 1)};
      for (int a = 0; a < m; ++a) {
        double e = 0.0;
        for (int b = 0; b < m; ++b) e += inverse.inverse(a, b) * Qr[members[b]];
        error[members[a]] = e;
        variance[members[a]] = inverse.inverse(a, a);
      }
      Report(feedback, static_cast<double>(f + 1) / folds);
    }
  }

  const double scale = p.standardised == 1 ? p.standardDeviation : 1.0;
  CrossValidation cv;
  cv.folds = folds;
  cv.points.resize(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) {
    CrossValidationPoint& point = cv.points[i];
    point.x = p.x[i];
    point.y = p.y[i];
    point.observed = p.standardised == 1 ? p.values[i] * p.standardDeviation + p.mean : p.values[i];
    point.residual = error[i] * scale;
    point.estimate = point.observed - point.residual;
    double v = variance[i];
    if (!(v >= 0.0) && std::isfinite(v)) {
      ++cv.clampedToZero;
      v = 0.0;
    }
    point.standardError = std::sqrt(v) * scale;
    point.standardisedResidual = point.standardError > 0.0 ? point.residual / point.standardError : 0.0;
    if (!std::isfinite(point.estimate) || !std::isfinite(point.standardError))
      return {OutcomeKind::NotFinite, -1, -1,
              "The kriging system is too badly conditioned for a cross-validation of these data."};
  }
  if (cv.clampedToZero > 0) Trace("cross-validation variances clamped to 0: %d\n", cv.clampedToZero);
  Summarise(cv);
  result = std::move(cv);
  return {};
}

bool WriteCrossValidationCsv(const CrossValidation& cv, const std::filesystem::path& path, std::string& problem) {
  std::string text = "x,y,observed,estimate,residual,standard_error,standardised_residual\r\n";
  for (const CrossValidationPoint& p : cv.points)
    text += fmt::sprintf("%.10g,%.10g,%.10g,%.10g,%.10g,%.10g,%.10g\r\n", p.x, p.y, p.observed, p.estimate, p.residual,
                         p.standardError, p.standardisedResidual);
  // A fixed name in the data folder: a link or a FIFO planted there is refused, not followed.
  ReplacingFile file(path, ReplacingFile::Name::Fixed);
  if (file.Open() && file.Write(text) && file.Commit()) return true;
  problem = fmt::sprintf("Cannot write %s: %s.", path.string(), file.Error());
  return false;
}

std::string CrossValidationSummary(const CrossValidation& cv) {
  const std::string kind = cv.folds == 0 ? std::string("leave-one-out") : fmt::sprintf("%d-fold", cv.folds);
  return fmt::sprintf(
      "Cross-validation (%s) of %d points: mean error=%f root-mean-square error=%f mean standardised squared "
      "error=%f correlation=%f",
      kind, static_cast<int>(cv.points.size()), cv.meanError, cv.rootMeanSquareError, cv.meanStandardisedSquaredError,
      cv.correlation);
}

}  // namespace gridora
