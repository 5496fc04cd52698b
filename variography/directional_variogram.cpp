#include "variography/directional_variogram.h"

#include <fmt/format.h>
#include <fmt/printf.h>

#include <algorithm>
#include <atomic>
#include <cmath>

#include "platform/number_text.h"
#include "platform/replacing_file.h"

#ifdef _OPENMP
#include <omp.h>
#endif

namespace gridora {
namespace {

constexpr double kPi = 3.14159265358979323846;

// x modulo 180 in [0, 180).
double Modulo180(double degrees) {
  double r = std::fmod(degrees, 180.0);
  if (r < 0.0) r += 180.0;
  if (r >= 180.0) r = 0.0;  // -1e-300 + 180 rounds to 180
  return r;
}

// Rows of the pair loop between two looks at the cancel button and two additions into
// the totals.
constexpr std::size_t kRowsPerBlock = 64;

// The class of h: k with k lag <= h < (k + 1) lag, both bounds formed as products as the
// isotropic classes form them (VariogramModel::FitVariogram); -1 outside [0, classes).
int ClassOf(double h, double lag, int classes) {
  const double candidate = std::floor(h / lag);
  if (!(candidate >= 0.0) || candidate > classes) return -1;
  int k = static_cast<int>(candidate);
  if (k > 0 && h < k * lag) --k;
  if (h >= (k + 1) * lag) ++k;
  if (k < 0 || k >= classes || !(k * lag <= h && h < (k + 1) * lag)) return -1;
  return k;
}

struct Sums {
  std::vector<double> h, g;
  std::vector<std::uint64_t> n;
  void Resize(std::size_t size) {
    h.assign(size, 0.0);
    g.assign(size, 0.0);
    n.assign(size, 0);
  }
};

}  // namespace

bool WithinDirection(double thetaDegrees, double angleDegrees, double toleranceDegrees) {
  double d = std::fabs(Modulo180(thetaDegrees) - Modulo180(angleDegrees));
  d = std::min(d, 180.0 - d);
  return d <= toleranceDegrees;
}

std::optional<std::string> DirectionalOptionsProblem(const DirectionalVariogramOptions& o) {
  if (o.anglesDegrees.empty()) return std::string("Give at least one direction (angles, in degrees).");
  for (double a : o.anglesDegrees)
    if (!std::isfinite(a)) return fmt::sprintf("The direction %g is not a finite number of degrees.", a);
  if (!(o.toleranceDegrees >= 0.0) || !(o.toleranceDegrees <= 90.0))
    return fmt::sprintf("The angular tolerance must lie between 0 and 90 degrees (it is %g).", o.toleranceDegrees);
  if (!(o.lag > 0.0) || !std::isfinite(o.lag))
    return fmt::sprintf("The lag width must be a number greater than 0 (it is %g).", o.lag);
  if (!(o.cutoff > 0.0) || !std::isfinite(o.cutoff))
    return fmt::sprintf("The cutoff must be a number greater than 0 (it is %g).", o.cutoff);
  if (!(std::ceil(o.cutoff / o.lag) <= kMaximumDirectionalClasses))
    return fmt::sprintf("The lag width %g is too small for the cutoff %g: it would make %.0f classes (at most %.0f).",
                        o.lag, o.cutoff, std::ceil(o.cutoff / o.lag), kMaximumDirectionalClasses);
  return std::nullopt;
}

std::optional<std::vector<double>> ParseAngleList(const std::string& text) {
  std::vector<double> angles;
  std::size_t start = 0;
  while (true) {
    const std::size_t comma = text.find(',', start);
    const std::string field = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    double value = 0.0;
    if (!ParseDouble(field, value) || !std::isfinite(value)) return std::nullopt;
    angles.push_back(value);
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return angles;
}

DirectionalVariograms ComputeDirectionalVariograms(const double* x, const double* y, const double* z, std::size_t n,
                                                   const DirectionalVariogramOptions& options, Feedback* feedback) {
  DirectionalVariograms result;
  if (std::optional<std::string> problem = DirectionalOptionsProblem(options)) {
    result.outcome = {OutcomeKind::InvalidInput, -1, -1, *problem};
    return result;
  }
  const std::size_t directions = options.anglesDegrees.size();
  const int classes = static_cast<int>(std::ceil(options.cutoff / options.lag));
  const std::size_t cells = directions * static_cast<std::size_t>(classes);
  Sums total;
  total.Resize(cells);

  const std::size_t blocks = (n + kRowsPerBlock - 1) / kRowsPerBlock;
  std::atomic<bool> canceled{false};
  std::atomic<std::size_t> blocksDone{0};
  const double toDegrees = 180.0 / kPi;
#pragma omp parallel
  {
    Sums block;
    block.Resize(cells);
#pragma omp for ordered schedule(dynamic, 1)
    for (std::size_t b = 0; b < blocks; ++b) {
      const bool skip = canceled.load(std::memory_order_relaxed);
      if (!skip) {
        std::fill(block.h.begin(), block.h.end(), 0.0);
        std::fill(block.g.begin(), block.g.end(), 0.0);
        std::fill(block.n.begin(), block.n.end(), 0);
        const std::size_t last = std::min(n, (b + 1) * kRowsPerBlock);
        for (std::size_t i = b * kRowsPerBlock; i < last; ++i) {
          for (std::size_t j = i + 1; j < n; ++j) {
            const double dx = x[j] - x[i], dy = y[j] - y[i];
            const double h = std::sqrt(dx * dx + dy * dy);
            if (!(h < options.cutoff)) continue;
            const int k = ClassOf(h, options.lag, classes);
            if (k < 0) continue;
            const double theta = std::atan2(dy, dx) * toDegrees;
            const double dz = z[i] - z[j];
            const double g = 0.5 * dz * dz;
            for (std::size_t d = 0; d < directions; ++d) {
              if (!WithinDirection(theta, options.anglesDegrees[d], options.toleranceDegrees)) continue;
              const std::size_t cell = d * static_cast<std::size_t>(classes) + static_cast<std::size_t>(k);
              block.h[cell] += h;
              block.g[cell] += g;
              ++block.n[cell];
            }
          }
        }
      }
#pragma omp ordered
      {
        if (!skip) {
          for (std::size_t c = 0; c < cells; ++c) {
            total.h[c] += block.h[c];
            total.g[c] += block.g[c];
            total.n[c] += block.n[c];
          }
        }
        const std::size_t done = ++blocksDone;
#ifdef _OPENMP
        const bool master = omp_get_thread_num() == 0;
#else
        const bool master = true;
#endif
        if (master && feedback) {
          if (feedback->IsCanceled()) canceled = true;
          Report(feedback, static_cast<double>(done) / static_cast<double>(blocks));
        }
      }
    }
  }
  if (canceled || Canceled(feedback)) {
    result.outcome = {OutcomeKind::Canceled};
    return result;
  }
  for (std::size_t d = 0; d < directions; ++d) {
    DirectionalVariogram v;
    v.angleDegrees = options.anglesDegrees[d];
    for (int k = 0; k < classes; ++k) {
      const std::size_t c = d * static_cast<std::size_t>(classes) + static_cast<std::size_t>(k);
      if (total.n[c] == 0) continue;
      const double count = static_cast<double>(total.n[c]);
      v.classes.push_back({k, total.h[c] / count, total.g[c] / count, total.n[c]});
    }
    result.directions.push_back(std::move(v));
  }
  return result;
}

bool WriteDirectionalVariogramCsv(const DirectionalVariograms& result, const std::filesystem::path& path,
                                  std::string& problem) {
  std::string text = "angle,lag,distance,gamma,pairs\r\n";
  for (const DirectionalVariogram& v : result.directions) {
    for (const DirectionalClass& c : v.classes) {
      if (!std::isfinite(c.distance) || !std::isfinite(c.gamma)) {
        problem = fmt::sprintf(
            "Cannot write %s: the variogram of direction %g, class %d, is not a finite number (the values are too "
            "large for their squared differences).",
            path.string(), v.angleDegrees, c.lag);
        return false;
      }
      text += fmt::format("{:.17g},{},{:.17g},{:.17g},{}\r\n", v.angleDegrees, c.lag, c.distance, c.gamma, c.pairs);
    }
  }
  ReplacingFile file(path, ReplacingFile::Name::Fixed);
  if (file.Open() && file.Write(text) && file.Commit()) return true;
  problem = fmt::sprintf("Cannot write %s: %s.", path.string(), file.Error());
  return false;
}

}  // namespace gridora
