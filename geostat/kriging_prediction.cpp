#include "geostat/kriging_prediction.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "geostat/kriging_variance.h"
#include "platform/diagnostic_file.h"
#include "platform/feedback.h"
#include "platform/trace.h"

namespace gridora {
namespace {

// Node columns estimated between two looks at the cancel button.
constexpr int kColumnsPerStep = 4;

// The estimator of one run: the weights once, then O(n) per position.
class Estimator {
 public:
  explicit Estimator(const KrigingState& state)
      : state_(state),
        cokriging_(state.HasSecondary()),
        beta_(cokriging_ ? state.CoResidualWeights(*state.inverse) : state.primary->ResidualWeights(*state.inverse)),
        block_(!cokriging_ && state.primary->options.Block().Active()) {}

  double operator()(double x, double y) const {
    if (block_) return BlockEstimate(x, y);
    // The drift's f(x0) on the border of universal kriging (null: the border's 1).
    double f[DriftBasis::kMostFunctions];
    const double* border = nullptr;
    if (state_.drift && !cokriging_) {
      state_.drift->At(x, y, f);
      border = f;
    }
    if (TraceEnabled())  // the per-point traces of the full formula
      return cokriging_ ? state_.CoPredict(x, y, state_.inverse.get(), nullptr)
                        : state_.primary->Predict(x, y, state_.inverse.get(), border);
    return cokriging_ ? state_.CoPredictWithWeights(x, y, beta_)
                      : state_.primary->PredictWithWeights(x, y, beta_, border);
  }

  bool Cokriging() const { return cokriging_; }

 private:
  // The block's estimate: the right-hand side of the block (kriging_variance.h's
  // SystemColumn) times the weights, then as PredictWithWeights finishes.
  double BlockEstimate(double x, double y) const {
    const VariogramModel& p = *state_.primary;
    std::vector<double> column(static_cast<std::size_t>(state_.inverse->rows));
    SystemColumn(state_, x, y, column.data());
    double s = 0.0;
    for (std::size_t j = 0; j < beta_.size(); ++j) s += column[j] * beta_[j];
    const double v = s + p.residualMean;
    return p.standardised == 1 ? v * p.standardDeviation + p.mean : v;
  }

  const KrigingState& state_;
  bool cokriging_;
  std::vector<double> beta_;
  bool block_;
};

}  // namespace

Outcome PredictGrid(const KrigingState& state, const NodeLayout& layout, float* values, Feedback* feedback,
                    const std::uint8_t* skip) {
  const Estimator estimate(state);
  const int nx = layout.nx, ny = layout.ny;
  const bool parallel = !TraceEnabled();  // traces keep their order
  for (int first = 0; first < nx; first += kColumnsPerStep) {
    if (Canceled(feedback)) return {OutcomeKind::Canceled};
    const int last = std::min(nx, first + kColumnsPerStep);
    const int nodes = (last - first) * ny;
#pragma omp parallel for schedule(static) if (parallel)
    for (int k = 0; k < nodes; ++k) {
      const int i = first + k / ny, j = k % ny;
      const double x = static_cast<double>(layout.x0) + i * static_cast<double>(layout.dx);
      const double y = static_cast<double>(layout.y0) + j * static_cast<double>(layout.dy);
      const std::size_t node = static_cast<std::size_t>(i) * ny + j;
      values[node] = skip && skip[node] ? 0.0f : static_cast<float>(estimate(x, y));
    }
    Report(feedback, static_cast<double>(last) / nx);
  }
  for (int i = 0; i < nx; ++i)
    for (int j = 0; j < ny; ++j)
      if (!std::isfinite(values[static_cast<std::size_t>(i) * ny + j])) return {OutcomeKind::NotFinite, i, j};
  return {};
}

DataMisfit MisfitAtData(const KrigingState& state) {
  // The weights' estimate, as the grid gets it (the traced full formula gives the same).
  const bool cokriging = state.HasSecondary();
  const VariogramModel& primary = *state.primary;
  const std::vector<double> beta =
      cokriging ? state.CoResidualWeights(*state.inverse) : primary.ResidualWeights(*state.inverse);
  const int n = primary.count;
  auto datum = [&primary](int j) {
    return primary.standardised == 1 ? primary.values[j] * primary.standardDeviation + primary.mean : primary.values[j];
  };
  std::vector<double> misses(static_cast<std::size_t>(n));
#pragma omp parallel for schedule(static)
  for (int j = 0; j < n; ++j) {
    double f[DriftBasis::kMostFunctions];
    if (state.drift) state.drift->At(primary.x[j], primary.y[j], f);
    const double estimate =
        cokriging ? state.CoPredictWithWeights(primary.x[j], primary.y[j], beta)
                  : primary.PredictWithWeights(primary.x[j], primary.y[j], beta, state.drift ? f : nullptr);
    const double miss = std::fabs(estimate - datum(j));
    misses[j] = std::isfinite(miss) ? miss : HUGE_VAL;
  }
  DataMisfit misfit;
  double smallest = HUGE_VAL, largest = -HUGE_VAL;
  for (int j = 0; j < n; ++j) {
    smallest = std::min(smallest, datum(j));
    largest = std::max(largest, datum(j));
    if (misfit.point < 0 || misses[j] > misfit.largest) {
      misfit.largest = misses[j];
      misfit.point = j;
    }
  }
  misfit.dataRange = n > 0 ? largest - smallest : 0.0;
  return misfit;
}

void WriteVerification(const KrigingState& state) {
  const Estimator estimate(state);
  const VariogramModel& primary = *state.primary;
  const std::filesystem::path path = estimate.Cokriging()
                                         ? std::filesystem::path(state.folder) / "cokriging_verification.txt"
                                         : std::filesystem::path(primary.folder) / "verification.txt";
  DiagnosticFile file(path, DiagnosticFile::Encoding::Utf16LittleEndian);
  if (!file.IsOpen()) return;
  const int n = primary.count;
  std::vector<double> estimates(static_cast<std::size_t>(n));
  const bool parallel = !TraceEnabled();
#pragma omp parallel for schedule(static) if (parallel)
  for (int j = 0; j < n; ++j) estimates[j] = estimate(primary.x[j], primary.y[j]);
  for (int j = 0; j < n; ++j)
    file.Printf(" %d %f %f %f %f \n", j, primary.x[j], primary.y[j],
                primary.values[j] * primary.standardDeviation + primary.mean, estimates[j]);
  file.Close();
}

}  // namespace gridora
