#include "geostat/local_prediction.h"

#include <filesystem>

#include "platform/diagnostic_file.h"

namespace gridora {
namespace {

LocalKriging Engine(const VariogramModel& primary, const CovarianceModel& model, LocalKrigingType type,
                    const LocalNeighbourhood& neighbourhood, std::shared_ptr<const DriftBasis> drift,
                    BlockSupport block = {}) {
  return LocalKriging(
      MergeCoincidentPoints(primary.x.size(), primary.x.data(), primary.y.data(), primary.values.data()), model, type,
      primary.residualMean, neighbourhood, std::move(drift), block);
}

// Standardised to the data's units, as the global estimate does.
double Unstandardised(const VariogramModel& primary, double v) {
  return primary.standardised == 1 ? v * primary.standardDeviation + primary.mean : v;
}

}  // namespace

LocalPrediction PredictGridLocally(const VariogramModel& primary, const CovarianceModel& model, LocalKrigingType type,
                                   const LocalNeighbourhood& neighbourhood, const NodeLayout& layout, float* values,
                                   float* errors, std::uint8_t* empty, Feedback* feedback,
                                   std::shared_ptr<const DriftBasis> drift, BlockSupport block) {
  LocalPrediction result;
  const LocalKriging local = Engine(primary, model, type, neighbourhood, std::move(drift), block);
  result.mergedPoints = local.Points().merged;
  std::vector<std::uint8_t> mask(static_cast<std::size_t>(layout.nx) * static_cast<std::size_t>(layout.ny));
  result.grid = local.Grid(layout, values, errors, mask.data(), 0.0f, feedback);
  if (!result.grid.outcome.Done()) return result;
  const double scale = primary.standardised == 1 ? primary.standardDeviation : 1.0;
  const float mean = static_cast<float>(Unstandardised(primary, primary.residualMean));
#pragma omp parallel for schedule(static)
  for (std::size_t k = 0; k < mask.size(); ++k) {
    if (mask[k]) {
      values[k] = mean;
      if (errors) errors[k] = 0.0f;
    } else {
      values[k] = static_cast<float>(Unstandardised(primary, values[k]));
      if (errors) errors[k] = static_cast<float>(errors[k] * scale);
    }
    if (empty) empty[k] = mask[k];
  }
  return result;
}

void WriteLocalVerification(const VariogramModel& primary, const CovarianceModel& model, LocalKrigingType type,
                            const LocalNeighbourhood& neighbourhood, std::shared_ptr<const DriftBasis> drift) {
  DiagnosticFile file(std::filesystem::path(primary.folder) / "verification.txt",
                      DiagnosticFile::Encoding::Utf16LittleEndian);
  if (!file.IsOpen()) return;
  const LocalKriging local = Engine(primary, model, type, neighbourhood, std::move(drift));
  const int n = primary.count;
  std::vector<double> estimates(static_cast<std::size_t>(n));
#pragma omp parallel for schedule(dynamic, 256)
  for (int j = 0; j < n; ++j) {
    const NeighbourhoodEstimate e = local.At(primary.x[j], primary.y[j]);
    estimates[j] = Unstandardised(primary, e.outcome == OutcomeKind::Done ? e.estimate : primary.residualMean);
  }
  for (int j = 0; j < n; ++j)
    file.Printf(" %d %f %f %f %f \n", j, primary.x[j], primary.y[j],
                primary.values[j] * primary.standardDeviation + primary.mean, estimates[j]);
  file.Close();
}

}  // namespace gridora
