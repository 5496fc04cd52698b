// Interpolation > Sequential Gaussian simulation: realisations of the primary variable
// conditioned on its points, with the fitted variogram model (its nugget and sill scaled
// to the unit variance of the normal scores), the kriging options' neighbourhood and the
// normal-score transform. Every realisation goes into one GeoTIFF (band k = realisation
// k); the document's grid becomes their mean, its error layer their standard deviation.
#include "variocommands/simulation_command.h"

#include <fmt/printf.h>

#include <new>
#include <vector>

#include "commands/batch_keys.h"
#include "commands/command_ids.h"
#include "commands/command_table.h"
#include "commands/gridding_run.h"
#include "dialogs/dialogs.h"
#include "document/grid_model.h"
#include "exchange/band_stack_export.h"
#include "geostat/kriging_state.h"
#include "platform/dialog_fields.h"
#include "platform/profile.h"
#include "platform/user_interface.h"
#include "simulation/sequential_gaussian.h"
#include "view/document.h"

namespace gridora {
namespace {

// Neighbours of each node when the kriging options take every point (0): a simulation
// conditions each node on its neighbourhood, never on every point and node.
constexpr int kDefaultSimulationNeighbours = 24;

class SimulationDialog : public DialogData {
 public:
  std::string Title() const override { return "Sequential Gaussian simulation"; }
  int ResourceId() const override { return 407; }
  std::vector<DialogField> Fields() override {
    return {MakeField(4071, "Realisations", FieldKind::Int, &realisations, "realisations"),
            MakeField(4072, "Seed", FieldKind::Int, &seed, "seed")};
  }
  std::optional<std::string> Validate() const override {
    if (realisations < 1 || realisations > 10000)
      return fmt::sprintf("The number of realisations must be between 1 and 10000 (it is %d).", realisations);
    return std::nullopt;
  }

  int realisations = 10;
  int seed = 1;
};

bool CanSimulate(const CommandContext& c) {
  return c.doc.primaryData && c.doc.primaryData->count > 1 && c.doc.krigingState && c.doc.krigingState->primary;
}

CommandStatus SimulationFlow(CommandContext& c) {
  Document& doc = c.doc;
  const VariogramModel& fitted = *doc.krigingState->primary;
  const auto path = c.ui.SaveFileName("", {"GeoTIFF (*.tif)", "*.tif"});
  if (!path) return CommandStatus::Canceled;
  SimulationDialog dialog;
  if (!c.ui.RunDialog(dialog)) return CommandStatus::Canceled;

  SimulationSetup setup;
  setup.model = ScoreModel(fitted.Model());
  setup.neighbours = fitted.options.neighbours > 0 ? fitted.options.neighbours : kDefaultSimulationNeighbours;
  setup.maximumDistance = fitted.options.maximumDistance;
  setup.realisations = dialog.realisations;
  setup.seed = static_cast<std::uint64_t>(static_cast<std::uint32_t>(dialog.seed));
  const int n = doc.primaryData->count;
  std::vector<double> x(static_cast<std::size_t>(n)), y(x.size()), z(x.size());
  for (int i = 0; i < n; ++i) {
    const DataPoint& p = doc.primaryData->points[static_cast<std::size_t>(i)];
    x[static_cast<std::size_t>(i)] = p.x;
    y[static_cast<std::size_t>(i)] = p.y;
    z[static_cast<std::size_t>(i)] = p.z;
  }

  float cellX = 1.0f;
  ReadProfileFloat(c.profile, "CellSizeXOrg", cellX);
  GriddingMethod method;
  method.progressTitle = "Sequential Gaussian simulation";
  method.spacing = SpacingProposal{cellX, true};
  method.layerCount = 2;
  method.fill = [&](const GriddingRun& run, GridModel& result) -> GriddingOutcome {
    const SimulationResult simulated =
        SimulateSequentialGaussian(run.layout, x.data(), y.data(), z.data(), x.size(), setup, run.feedback);
    if (simulated.outcome.kind == OutcomeKind::Canceled) return {CommandStatus::Canceled, {}};
    if (!simulated.outcome.Done()) return {CommandStatus::Failed, simulated.outcome.text + " The grid is unchanged."};
    if (run.feedback) run.feedback->SetStage("Writing the realisations");
    std::string problem;
    if (!ExportBandStack(run.layout, simulated.values.data(), simulated.realisations, "realisation", *path, problem))
      return {CommandStatus::Failed, problem + " The grid is unchanged."};
    std::vector<float> mean, deviation;
    RealisationMoments(simulated, mean, deviation);
    for (int ix = 0; ix < run.layout.nx; ++ix) {
      float* m = result.Column(0, ix);
      float* s = result.Column(1, ix);
      for (int iy = 0; iy < run.layout.ny; ++iy) {
        m[iy] = mean[run.layout.Index(ix, iy)];
        s[iy] = deviation[run.layout.Index(ix, iy)];
      }
    }
    result.ComputeLayerRange(1);
    std::string message = fmt::sprintf(
        "Sequential Gaussian simulation completed! %d realisations written to %s; the grid is their mean, the "
        "standard error their standard deviation.",
        simulated.realisations, *path);
    if (simulated.unsolvedNodes > 0)
      message += fmt::sprintf(" %zu node(s) had no kriging solution and were drawn from the unconditional law.",
                              simulated.unsolvedNodes);
    return {CommandStatus::Done, message};
  };
  const GriddingOutcome outcome = RunGridding(c, method);
  if (outcome.status != CommandStatus::Done) return outcome.status;
  c.ui.Message(outcome.message);
  doc.chartMode = ChartMode::None;
  doc.layerIndex = doc.showStandardError ? 1 : 0;
  ShowNewGrid(c);
  return CommandStatus::Done;
}

CommandStatus RunSimulation(CommandContext& c) {
  try {
    return SimulationFlow(c);
  } catch (const std::bad_alloc&) {
    c.ui.Message("There is not enough memory for this simulation. The grid is unchanged.");
    return CommandStatus::Failed;
  }
}

}  // namespace

void RegisterSimulationCommand(CommandTable& table) {
  table.Add({.id = ID_SIMULATE,
             .owner = CommandOwner::View,
             .run = RunSimulation,
             .update = [](const CommandContext& c, CommandState& s) { s.enabled = CanSimulate(c); },
             .menu = {"Interpolation", "Sequential Gaussian simulation"},
             .batch = {.name = "simulate",
                       .keys = Keys(GridOriginDialog{}, GridSpacingDialog{}, SimulationDialog{}, "cancel"),
                       .takesArgument = true}});
}

}  // namespace gridora
