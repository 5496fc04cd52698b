#include "geostat/cross_validation.h"

#include <fmt/printf.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numeric>
#include <random>

#include "geostat/local_kriging_system.h"
#include "geostat/neighbour_search.h"
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

// The fold of each point: its own index for leave-one-out (folds 0), else the fold that
// the shuffled order deals it into (fold f holds order[f], order[f + folds], ...).
std::vector<int> FoldOf(int n, int folds, unsigned seed) {
  std::vector<int> fold(static_cast<std::size_t>(n));
  if (folds == 0) {
    std::iota(fold.begin(), fold.end(), 0);
    return fold;
  }
  const std::vector<int> order = Shuffled(n, seed);
  for (int k = 0; k < n; ++k) fold[order[k]] = k % folds;
  return fold;
}

std::optional<std::string> FoldCountProblem(int n, int folds) {
  if (folds < 0 || folds == 1 || folds > n)
    return fmt::sprintf("The number of folds must be 0 (leave-one-out) or from 2 to the %d points (it is %d).", n,
                        folds);
  return std::nullopt;
}

// Point i's neighbourhood among the points outside its fold, as the prediction chooses
// one (the nearest `neighbours`, every point within reach when 0, within maxDistance),
// into `kept` in index order. The search asks for more points until enough lie outside
// the fold or none are left within reach.
void NeighboursOutsideFold(const NeighbourSearch& search, const std::vector<int>& fold, int i, double x, double y,
                           const LocalNeighbourhood& neighbourhood, std::vector<NeighbourSearch::Found>& found,
                           std::vector<std::uint32_t>& kept) {
  const std::uint32_t n = search.Size();
  const std::uint32_t wanted = static_cast<std::uint32_t>(std::max(0, neighbourhood.neighbours));
  std::uint32_t asked = wanted == 0 ? 0 : std::min(n, wanted + 1);
  for (;;) {
    search.Nearest(x, y, asked, neighbourhood.maxDistance, found);
    kept.clear();
    for (const NeighbourSearch::Found& f : found) {
      if (fold[f.index] == fold[i]) continue;
      kept.push_back(f.index);
      if (wanted > 0 && kept.size() == wanted) break;
    }
    if (wanted == 0 || kept.size() == wanted || found.size() < asked || asked == n) break;
    asked = static_cast<std::uint32_t>(std::min<std::uint64_t>(n, 2 * static_cast<std::uint64_t>(asked)));
  }
  // The same points give the same system whatever their distances (as in the prediction).
  std::sort(kept.begin(), kept.end());
}

// The point of the result from a standardised error and variance.
CrossValidationPoint PointOf(const VariogramModel& p, int i, double error, double variance, int& clamped) {
  const double scale = p.standardised == 1 ? p.standardDeviation : 1.0;
  CrossValidationPoint point;
  point.x = p.x[i];
  point.y = p.y[i];
  point.observed = p.standardised == 1 ? p.values[i] * p.standardDeviation + p.mean : p.values[i];
  point.residual = error * scale;
  point.estimate = point.observed - point.residual;
  if (!(variance >= 0.0) && std::isfinite(variance)) {
    ++clamped;
    variance = 0.0;
  }
  point.standardError = std::sqrt(variance) * scale;
  point.standardisedResidual = point.standardError > 0.0 ? point.residual / point.standardError : 0.0;
  return point;
}

bool Finite(const CrossValidationPoint& point) {
  return std::isfinite(point.estimate) && std::isfinite(point.standardError);
}

// Points estimated between two looks at the cancel button.
constexpr int kLocalPointsPerBlock = 4096;

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
  if (std::optional<std::string> wrong = FoldCountProblem(n, folds)) return {OutcomeKind::InvalidInput, -1, -1, *wrong};
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

  CrossValidation cv;
  cv.folds = folds;
  cv.points.resize(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) {
    cv.points[i] = PointOf(p, i, error[i], variance[i], cv.clampedToZero);
    if (!Finite(cv.points[i]))
      return {OutcomeKind::NotFinite, -1, -1,
              "The kriging system is too badly conditioned for a cross-validation of these data."};
  }
  if (cv.clampedToZero > 0) Trace("cross-validation variances clamped to 0: %d\n", cv.clampedToZero);
  Summarise(cv);
  result = std::move(cv);
  return {};
}

Outcome CrossValidateLocally(const KrigingState& state, const CovarianceModel& model, LocalKrigingType type,
                             const LocalNeighbourhood& neighbourhood, int folds, unsigned seed, CrossValidation& result,
                             Feedback* feedback, const DriftBasis* drift) {
  auto fail = [](std::string text) { return Outcome{OutcomeKind::InvalidInput, -1, -1, std::move(text)}; };
  const VariogramModel& p = *state.primary;
  const int n = p.count;
  if (std::optional<std::string> wrong = FoldCountProblem(n, folds)) return fail(*wrong);
  if (state.HasSecondary())
    return fail(
        "Cross-validation of cokriging from neighbourhoods is not available: choose 0 neighbours and no maximum "
        "distance (every point) for the cokriging, or cross-validate the primary variable alone.");
  const std::vector<int> fold = FoldOf(n, folds, seed);
  const NeighbourSearch search(p.x.data(), p.y.data(), static_cast<std::uint32_t>(n));
  // error e_i = r_i - r*_i and variance of each point, standardised, where solved.
  std::vector<double> error(static_cast<std::size_t>(n)), variance(error);
  std::vector<std::uint8_t> solved(static_cast<std::size_t>(n), 0);
  const int fewest = std::max(1, neighbourhood.minimumNeighbours);
  for (int first = 0; first < n; first += kLocalPointsPerBlock) {
    if (Canceled(feedback)) return {OutcomeKind::Canceled};
    const int last = std::min(n, first + kLocalPointsPerBlock);
#pragma omp parallel
    {
      NeighbourhoodSolver solver;
      std::vector<NeighbourSearch::Found> found;
      std::vector<std::uint32_t> kept;
      std::vector<double> xs, ys, zs;
#pragma omp for schedule(dynamic, 16)
      for (int i = first; i < last; ++i) {
        NeighboursOutsideFold(search, fold, i, p.x[i], p.y[i], neighbourhood, found, kept);
        const int m = static_cast<int>(kept.size());
        if (m < fewest) continue;
        xs.resize(kept.size());
        ys.resize(kept.size());
        zs.resize(kept.size());
        for (int k = 0; k < m; ++k) {
          xs[k] = p.x[kept[k]];
          ys[k] = p.y[kept[k]];
          zs[k] = p.values[kept[k]];
        }
        const NeighbourhoodEstimate e = solver.Solve(model, type, p.residualMean, m, xs.data(), ys.data(), zs.data(),
                                                     p.x[i], p.y[i], false, nullptr, drift);
        if (e.outcome != OutcomeKind::Done) continue;
        error[i] = p.values[i] - e.estimate;
        variance[i] = e.variance;
        solved[i] = 1;
      }
    }
    Report(feedback, static_cast<double>(last) / n);
  }

  CrossValidation cv;
  cv.folds = folds;
  cv.local = true;
  for (int i = 0; i < n; ++i) {
    if (!solved[i]) {
      ++cv.withoutEstimate;
      continue;
    }
    const CrossValidationPoint point = PointOf(p, i, error[i], variance[i], cv.clampedToZero);
    if (!Finite(point)) {
      ++cv.withoutEstimate;
      continue;
    }
    cv.points.push_back(point);
  }
  if (cv.points.empty())
    return fail(fmt::sprintf(
        "No point keeps %d neighbours once it is left out: the neighbourhood is too small for a cross-validation of "
        "these data. Choose more neighbours or a larger maximum distance.",
        fewest));
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
  std::string text = fmt::sprintf(
      "Cross-validation (%s) of %d points: mean error=%f root-mean-square error=%f mean standardised squared "
      "error=%f correlation=%f",
      kind, static_cast<int>(cv.points.size()), cv.meanError, cv.rootMeanSquareError, cv.meanStandardisedSquaredError,
      cv.correlation);
  if (cv.local) {
    text += cv.folds == 0 ? ". Each point from its own neighbourhood, itself left out."
                          : ". Each point from its own neighbourhood, its fold left out.";
    if (cv.withoutEstimate > 0)
      text += fmt::sprintf(" %d point(s) kept too few neighbours (or had no solution) and are left out.",
                           cv.withoutEstimate);
  }
  return text;
}

}  // namespace gridora
