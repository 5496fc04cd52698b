#include "simulation/sequential_gaussian.h"

#include <fmt/printf.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <functional>
#include <iterator>
#include <memory>
#include <new>
#include <random>

#include "geostat/local_kriging_system.h"
#include "geostat/neighbour_search.h"
#include "simulation/normal_score.h"

#ifdef _OPENMP
#include <omp.h>
#endif

namespace gridora {
namespace {

// Nodes between two looks at the cancel button.
constexpr std::size_t kNodesPerPoll = 2048;

struct Offset {
  int di, dj;
  double squaredDistance;
};

// The node offsets within reach, nearest first (ties by row then column, so the order is
// fixed), the centre left out.
std::vector<Offset> SpiralTemplate(const NodeLayout& layout, double maximumDistance) {
  const int ri = std::min(kSpiralReach, std::max(0, layout.nx - 1));
  const int rj = std::min(kSpiralReach, std::max(0, layout.ny - 1));
  const double limit = maximumDistance > 0.0 ? maximumDistance * maximumDistance : INFINITY;
  std::vector<Offset> offsets;
  for (int dj = -rj; dj <= rj; ++dj)
    for (int di = -ri; di <= ri; ++di) {
      if (di == 0 && dj == 0) continue;
      const double ex = di * layout.dx, ey = dj * layout.dy;
      const double d2 = ex * ex + ey * ey;
      if (d2 <= limit) offsets.push_back({di, dj, d2});
    }
  std::stable_sort(offsets.begin(), offsets.end(),
                   [](const Offset& a, const Offset& b) { return a.squaredDistance < b.squaredDistance; });
  return offsets;
}

// A uniform double in (0, 1) from 53 random bits.
double Uniform(std::mt19937_64& random) {
  return (static_cast<double>(random() >> 11) + 0.5) * (1.0 / 9007199254740992.0);
}

struct Candidate {
  double x, y, value, squaredDistance;
};

// One realisation's work space, one per thread.
struct Workspace {
  NeighbourhoodSolver solver;
  std::vector<NeighbourSearch::Found> found;
  std::vector<Candidate> data, nodes, merged;
  std::vector<double> xs, ys, vs;
  std::vector<std::size_t> path;
  std::vector<double> score;
  std::vector<char> known;
};

struct Shared {
  const NodeLayout& layout;
  const SimulationSetup& setup;
  const std::vector<double>& x;
  const std::vector<double>& y;
  const std::vector<double>& scores;
  const NeighbourSearch& search;
  const std::vector<Offset>& spiral;
  const std::vector<std::size_t>& freeNodes;
  const std::vector<double>& fixedScore;  // per node: the datum's score, NaN where none
  const NormalScores* transform;
};

// Simulates realisation r into `out` (nodes values). False when cancelled.
bool SimulateOne(const Shared& s, std::uint64_t r, Workspace& w, float* out, std::atomic<bool>& canceled,
                 std::size_t& unsolved, const std::function<void(double)>& progress) {
  const NodeLayout& layout = s.layout;
  const std::size_t nodes = layout.NodeCount();
  std::mt19937_64 random(s.setup.seed + r);
  w.path = s.freeNodes;
  for (std::size_t i = w.path.size(); i > 1; --i) {
    const std::size_t j = static_cast<std::size_t>(Uniform(random) * static_cast<double>(i));
    std::swap(w.path[i - 1], w.path[std::min(j, i - 1)]);
  }
  w.score.assign(nodes, 0.0);
  w.known.assign(nodes, 0);
  const std::uint32_t k = static_cast<std::uint32_t>(s.setup.neighbours);
  const double limit2 = s.setup.maximumDistance > 0.0 ? s.setup.maximumDistance * s.setup.maximumDistance : INFINITY;
  for (std::size_t step = 0; step < w.path.size(); ++step) {
    if (step % kNodesPerPoll == 0) {
      if (canceled.load(std::memory_order_relaxed)) return false;
      if (progress) progress(static_cast<double>(step) / static_cast<double>(w.path.size()));
    }
    const std::size_t node = w.path[step];
    const int ix = static_cast<int>(node / static_cast<std::size_t>(layout.ny));
    const int iy = static_cast<int>(node % static_cast<std::size_t>(layout.ny));
    const double px = layout.X(ix), py = layout.Y(iy);

    s.search.Nearest(px, py, k, s.setup.maximumDistance, w.found);
    w.data.clear();
    for (const NeighbourSearch::Found& f : w.found)
      w.data.push_back({s.x[f.index], s.y[f.index], s.scores[f.index], f.squaredDistance});
    w.nodes.clear();
    for (const Offset& o : s.spiral) {
      if (w.nodes.size() >= k || o.squaredDistance > limit2) break;
      const int a = ix + o.di, b = iy + o.dj;
      if (a < 0 || a >= layout.nx || b < 0 || b >= layout.ny) continue;
      const std::size_t other = layout.Index(a, b);
      if (!w.known[other]) continue;
      w.nodes.push_back({layout.X(a), layout.Y(b), w.score[other], o.squaredDistance});
    }
    w.merged.clear();
    std::merge(w.data.begin(), w.data.end(), w.nodes.begin(), w.nodes.end(), std::back_inserter(w.merged),
               [](const Candidate& p, const Candidate& q) { return p.squaredDistance < q.squaredDistance; });
    if (w.merged.size() > k) w.merged.resize(k);
    const int m = static_cast<int>(w.merged.size());
    w.xs.resize(w.merged.size());
    w.ys.resize(w.merged.size());
    w.vs.resize(w.merged.size());
    for (std::size_t i = 0; i < w.merged.size(); ++i) {
      w.xs[i] = w.merged[i].x;
      w.ys[i] = w.merged[i].y;
      w.vs[i] = w.merged[i].value;
    }
    double mean = 0.0, variance = 1.0;
    if (m > 0) {
      const NeighbourhoodEstimate e = w.solver.Solve(s.setup.model, LocalKrigingType::Simple, 0.0, m, w.xs.data(),
                                                     w.ys.data(), w.vs.data(), px, py);
      if (e.outcome == OutcomeKind::Done && std::isfinite(e.estimate) && std::isfinite(e.variance)) {
        mean = e.estimate;
        variance = std::max(0.0, e.variance);
      } else {
        ++unsolved;
      }
    }
    w.score[node] = mean + std::sqrt(variance) * InverseNormal(Uniform(random));
    w.known[node] = 1;
  }
  for (std::size_t i = 0; i < nodes; ++i) {
    const double y = std::isnan(s.fixedScore[i]) ? w.score[i] : s.fixedScore[i];
    out[i] = static_cast<float>(s.transform ? s.transform->Back(y) : y);
  }
  return true;
}

}  // namespace

CovarianceModel ScoreModel(const CovarianceModel& fitted) {
  CovarianceModel m = fitted;
  const double total = fitted.sill + fitted.nugget;
  if (total > 0.0 && std::isfinite(total)) {
    m.sill = fitted.sill / total;
    m.nugget = fitted.nugget / total;
  }
  return m;
}

SimulationResult SimulateSequentialGaussian(const NodeLayout& layout, const double* x, const double* y, const double* z,
                                            std::size_t n, const SimulationSetup& setup, Feedback* feedback) {
  SimulationResult result;
  auto invalid = [&](std::string text) {
    result.outcome = {OutcomeKind::InvalidInput, -1, -1, std::move(text)};
    return result;
  };
  if (n == 0) return invalid("The simulation needs at least one data point.");
  if (setup.neighbours < 1)
    return invalid(fmt::sprintf("The simulation needs at least one neighbour (not %d).", setup.neighbours));
  if (setup.realisations < 1)
    return invalid(fmt::sprintf("The number of realisations must be at least 1 (it is %d).", setup.realisations));
  const std::size_t nodes = layout.NodeCount();
  if (nodes == 0) return invalid("The grid has no nodes.");
  for (std::size_t i = 0; i < n; ++i)
    if (!std::isfinite(x[i]) || !std::isfinite(y[i]) || !std::isfinite(z[i]))
      return invalid(
          fmt::sprintf("Point No.%d has a coordinate or value that is not a finite number.", static_cast<int>(i) + 1));

  std::vector<double> xs(x, x + n), ys(y, y + n), values(z, z + n);
  std::unique_ptr<NormalScores> transform;
  std::vector<double> scores = values;
  if (setup.normalScores) {
    transform = std::make_unique<NormalScores>(values);
    for (double& v : scores) v = transform->Score(v);
  }

  // Nodes on which a datum lies take its score (the first such datum) and are not visited.
  std::vector<double> fixedScore(nodes, std::nan(""));
  for (std::size_t i = 0; i < n; ++i) {
    const double fx = (xs[i] - layout.x0) / layout.dx, fy = (ys[i] - layout.y0) / layout.dy;
    const double rx = std::round(fx), ry = std::round(fy);
    if (!(std::fabs(fx - rx) <= 1e-6 && std::fabs(fy - ry) <= 1e-6)) continue;
    if (rx < 0 || ry < 0 || rx >= layout.nx || ry >= layout.ny) continue;
    const std::size_t node = layout.Index(static_cast<int>(rx), static_cast<int>(ry));
    if (std::isnan(fixedScore[node])) {
      fixedScore[node] = scores[i];
      ++result.dataNodes;
    }
  }
  std::vector<std::size_t> freeNodes;
  freeNodes.reserve(nodes);
  for (std::size_t i = 0; i < nodes; ++i)
    if (std::isnan(fixedScore[i])) freeNodes.push_back(i);

  const double cells = static_cast<double>(nodes) * setup.realisations;
  if (cells > 4e9) {
    result.outcome = {OutcomeKind::OutOfMemory, -1, -1,
                      fmt::sprintf("%d realisations of %zu nodes are too many to hold.", setup.realisations, nodes)};
    return result;
  }
  try {
    result.values.assign(static_cast<std::size_t>(cells), 0.0f);
  } catch (const std::bad_alloc&) {
    result.outcome = {
        OutcomeKind::OutOfMemory, -1, -1,
        fmt::sprintf("There is not enough memory for %d realisations of %zu nodes.", setup.realisations, nodes)};
    return result;
  }
  result.realisations = setup.realisations;
  result.nodes = nodes;

  const NeighbourSearch search(xs.data(), ys.data(), static_cast<std::uint32_t>(n));
  const std::vector<Offset> spiral = SpiralTemplate(layout, setup.maximumDistance);
  const Shared shared{layout, setup, xs, ys, scores, search, spiral, freeNodes, fixedScore, transform.get()};

  std::atomic<bool> canceled{false};
  std::atomic<int> done{0};
  std::size_t unsolved = 0;
  const int total = setup.realisations;
#pragma omp parallel reduction(+ : unsolved)
  {
    Workspace work;
#ifdef _OPENMP
    const bool master = omp_get_thread_num() == 0;
#else
    const bool master = true;
#endif
#pragma omp for schedule(dynamic, 1)
    for (int r = 0; r < total; ++r) {
      if (canceled.load(std::memory_order_relaxed)) continue;
      std::function<void(double)> progress;
      if (master && feedback)
        progress = [&](double share) {
          if (feedback->IsCanceled()) canceled = true;
          feedback->SetStage(fmt::sprintf("Realisation %d of %d", done.load() + 1, total));
          Report(feedback, (done.load() + share) / total);
        };
      if (SimulateOne(shared, static_cast<std::uint64_t>(r), work,
                      result.values.data() + static_cast<std::size_t>(r) * nodes, canceled, unsolved, progress))
        ++done;
    }
  }
  if (canceled || Canceled(feedback)) {
    result.outcome = {OutcomeKind::Canceled};
    result.values.clear();
    return result;
  }
  Report(feedback, 1.0);
  result.unsolvedNodes = unsolved;
  return result;
}

void RealisationMoments(const SimulationResult& result, std::vector<float>& mean, std::vector<float>& deviation) {
  const std::size_t nodes = result.nodes;
  mean.assign(nodes, 0.0f);
  deviation.assign(nodes, 0.0f);
  const int r = result.realisations;
  for (std::size_t i = 0; i < nodes; ++i) {
    double m = 0.0;
    for (int k = 0; k < r; ++k) m += result.values[static_cast<std::size_t>(k) * nodes + i];
    m /= r;
    double ss = 0.0;
    for (int k = 0; k < r; ++k) {
      const double d = result.values[static_cast<std::size_t>(k) * nodes + i] - m;
      ss += d * d;
    }
    mean[i] = static_cast<float>(m);
    deviation[i] = r > 1 ? static_cast<float>(std::sqrt(ss / (r - 1))) : 0.0f;
  }
}

}  // namespace gridora
