#include "commands/local_kriging_run.h"

#include <fmt/printf.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "document/grid_model.h"
#include "geostat/kriging_state.h"
#include "geostat/local_cokriging.h"
#include "geostat/local_prediction.h"
#include "geostat/variogram_model.h"
#include "platform/count_text.h"
#include "trend/external_drift.h"

namespace gridora {
namespace {

LocalNeighbourhood NeighbourhoodOf(const KrigingOptions& options) {
  LocalNeighbourhood neighbourhood;
  neighbourhood.neighbours = options.neighbours;
  neighbourhood.maxDistance = options.maximumDistance;
  return neighbourhood;
}

LocalKrigingType LocalTypeOf(const KrigingOptions& options) {
  return options.type == KrigingType::Ordinary ? LocalKrigingType::Ordinary : LocalKrigingType::Simple;
}

MergedPoints PointsOf(const VariogramModel& model) {
  return MergeCoincidentPoints(model.x.size(), model.x.data(), model.y.data(), model.values.data());
}

// Cokriging works in the primary model's units; the result goes back to the data's.
LocalPrediction CokrigeLocally(const KrigingState& state, const LocalNeighbourhood& neighbourhood,
                               const NodeLayout& layout, float* values, float* errors, std::uint8_t* empty,
                               Feedback* feedback) {
  const VariogramModel& p = *state.primary;
  const VariogramModel& s = *state.secondary;
  const CokrigingModels models{p.Model(), s.Model(), state.cross->Model()};
  MergedPoints primary = PointsOf(p), secondary = PointsOf(s);
  LocalPrediction result;
  result.mergedPoints = primary.merged + secondary.merged;
  const LocalCokriging local(std::move(primary), std::move(secondary), models, p.residualMean, s.residualMean,
                             neighbourhood);
  result.grid = local.Grid(layout, values, errors, empty, 0.0f, feedback);
  if (!result.grid.outcome.Done()) return result;
  const bool standardised = p.standardised == 1;
  const double scale = standardised ? p.standardDeviation : 1.0;
  const double mean = standardised ? p.residualMean * p.standardDeviation + p.mean : p.residualMean;
  const std::size_t nodes = static_cast<std::size_t>(layout.nx) * static_cast<std::size_t>(layout.ny);
  for (std::size_t k = 0; k < nodes; ++k) {
    if (empty[k]) {
      values[k] = static_cast<float>(mean);
      if (errors) errors[k] = 0.0f;
    } else {
      if (standardised) values[k] = static_cast<float>(values[k] * p.standardDeviation + p.mean);
      if (errors) errors[k] = static_cast<float>(errors[k] * scale);
    }
  }
  return result;
}

std::string Counted(std::size_t count, const char* one, const char* many) {
  return GroupedCount(count) + " " + (count == 1 ? one : many);
}

std::string NeighbourhoodText(const KrigingOptions& options) {
  if (options.neighbours > 0 && options.maximumDistance > 0.0)
    return fmt::sprintf("the nearest %d points within %g", options.neighbours, options.maximumDistance);
  if (options.neighbours > 0) return fmt::sprintf("the nearest %d points", options.neighbours);
  return fmt::sprintf("the points within %g", options.maximumDistance);
}

}  // namespace

bool LocalKrigingChosen(const KrigingOptions& options) {
  return options.neighbours > 0 || options.maximumDistance > 0.0;
}

LocalRunResult PredictLocalGrid(const KrigingState& state, const NodeLayout& layout, GridModel& result,
                                Feedback* feedback) {
  const VariogramModel& primary = *state.primary;
  const KrigingOptions& options = primary.options;
  const LocalNeighbourhood neighbourhood = NeighbourhoodOf(options);
  float* errors = result.layerCount > 1 ? result.Column(1, 0) : nullptr;
  std::vector<std::uint8_t> empty(result.NodeCount(), 0);

  LocalPrediction prediction;
  const LocalKrigingType type = LocalTypeOf(options);
  if (state.HasSecondary())
    prediction = CokrigeLocally(state, neighbourhood, layout, result.Column(0, 0), errors, empty.data(), feedback);
  else
    prediction = PredictGridLocally(primary, primary.Model(), type, neighbourhood, layout, result.Column(0, 0), errors,
                                    empty.data(), feedback, state.drift, options.Block());
  LocalRunResult run;
  run.outcome = prediction.grid.outcome;
  if (!run.outcome.Done()) return run;
  if (prediction.grid.emptyNodes > 0)
    result.emptyNodes = std::move(empty);
  else
    result.emptyNodes.clear();

  // The nodes where an external drift has no value are empty whatever their
  // neighbours: they are counted apart.
  std::size_t outside = 0;
  if (state.drift && !state.HasSecondary()) {
    const std::vector<std::uint8_t> mask = NodesWithoutDrift(*state.drift, layout, options.Block());
    outside = static_cast<std::size_t>(std::count(mask.begin(), mask.end(), std::uint8_t{1}));
  }
  const std::size_t tooFew = prediction.grid.emptyNodes - std::min(outside, prediction.grid.emptyNodes);
  run.message = fmt::sprintf("Prediction by local kriging completed, each node from %s.", NeighbourhoodText(options));
  if (tooFew > 0)
    run.message += fmt::sprintf(" %s had fewer than %d neighbours (or no solution) and are left empty.",
                                Counted(tooFew, "node", "nodes"), neighbourhood.minimumNeighbours);
  if (outside > 0)
    run.message += fmt::sprintf(" %s outside the drift rasters %s left empty.", Counted(outside, "node", "nodes"),
                                outside == 1 ? "is" : "are");
  if (prediction.mergedPoints > 0)
    run.message += fmt::sprintf(" %s merged into another at the same position (their mean value).",
                                Counted(prediction.mergedPoints, "point", "points"));
  run.message += state.HasSecondary()
                     ? " Files written: none; the local mode writes none of the kriging matrix files."
                     : " Files written: verification.txt; the local mode writes none of the kriging matrix files.";
  return run;
}

Outcome CrossValidateLocalRun(const KrigingState& state, int folds, unsigned seed, CrossValidation& result,
                              Feedback* feedback) {
  const VariogramModel& primary = *state.primary;
  return CrossValidateLocally(state, primary.Model(), LocalTypeOf(primary.options), NeighbourhoodOf(primary.options),
                              folds, seed, result, feedback, state.drift.get());
}

void WriteLocalRunFiles(const KrigingState& state) {
  if (state.HasSecondary()) return;
  const VariogramModel& primary = *state.primary;
  const KrigingOptions& options = primary.options;
  const LocalKrigingType type = LocalTypeOf(options);
  WriteLocalVerification(primary, primary.Model(), type, NeighbourhoodOf(options), state.drift);
}

}  // namespace gridora
