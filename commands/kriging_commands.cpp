// Interpolation > Kriging: "Variogram" fits the variogram models and inverts the kriging
// system, "Prediction" grids the primary variable with them, "Set experimental
// variogram" edits a model's range and sill and inverts the system again.
//
// Each command builds its result beside the document's state and hands it over only at
// the end, so a cancel or a refusal anywhere leaves the kriging state, the grid and the
// chart as they were.
#include <fmt/printf.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <memory>
#include <new>
#include <optional>

#include "commands/batch_keys.h"
#include "commands/command_ids.h"
#include "commands/command_modules.h"
#include "commands/command_table.h"
#include "commands/grid_layout.h"
#include "commands/gridding_run.h"
#include "commands/local_kriging_run.h"
#include "dialogs/dialogs.h"
#include "dialogs/value_rules.h"
#include "geostat/kriging_checks.h"
#include "geostat/kriging_file_size.h"
#include "geostat/kriging_prediction.h"
#include "geostat/kriging_state.h"
#include "geostat/kriging_variance.h"
#include "geostat/sampled_cloud.h"
#include "gridops/grid_summary.h"
#include "linalg/matrix_text.h"
#include "platform/count_text.h"
#include "platform/diagnostic_file.h"
#include "platform/memory_budget.h"
#include "platform/profile.h"
#include "platform/user_interface.h"
#include "platform/view_host.h"
#include "trend/external_drift.h"
#include "trend/kriging_transform.h"
#include "trend/polynomial_drift.h"
#include "variography/automatic_model.h"
#include "view/document.h"
#include "view/document_kriging_options.h"

namespace gridora {
namespace {

// The step factor and iteration limits of the fits: a few short steps from the start.
constexpr double kFitStep = 0.1;
constexpr int kPrimaryIterations = 3;
constexpr int kSecondaryIterations = 5;

std::filesystem::path InFolder(const std::string& folder, const char* name) {
  return std::filesystem::path(folder) / name;
}

bool MoreThanOnePoint(const CommandContext& c) { return c.doc.primaryData && c.doc.primaryData->count > 1; }

bool HasInverse(const CommandContext& c) { return c.doc.krigingState && c.doc.krigingState->inverse; }

// A local run has models but no inverse.
bool Local(const KrigingState& state) { return state.primary && LocalKrigingChosen(state.primary->options); }
bool CanPredict(const CommandContext& c) { return HasInverse(c) || (c.doc.krigingState && Local(*c.doc.krigingState)); }

std::string SingularMessage(int size) {
  return fmt::sprintf(
      "The kriging system of %d equations cannot be inverted: it is singular. Points very close to each other, "
      "or a range far larger than the data's extent, make it so. Nothing was changed.",
      size);
}

// Tells the user why the inversion of a system of `size` equations stopped (nothing for
// a cancel); the command's status then.
CommandStatus InversionStopped(const Outcome& inverted, int size, UserInterface& ui) {
  if (inverted.kind == OutcomeKind::Canceled) return CommandStatus::Canceled;
  ui.Message(SingularMessage(size));
  return CommandStatus::Failed;
}

// The lag width of one variogram: the variable named in the prompt, and the batch key.
struct LagWidthOf {
  const char* variable;
  const char* batchKey;
};

// A system inverted without complaint can still be singular to working accuracy: its
// estimates then miss the data they must honour (MisfitAtData). The message, or nullopt
// when the estimates give the data back.
std::optional<std::string> MisfitProblem(const KrigingState& state, int size) {
  const DataMisfit misfit = MisfitAtData(state);
  if (!(misfit.Relative() > kLargestRelativeMisfit)) return std::nullopt;
  return fmt::sprintf(
      "The kriging system of %d equations cannot be solved to working accuracy: its estimates at the data points, "
      "which it must give back, miss them by up to %g (point No.%d, counted from 1) where the data span %g. A "
      "Gaussian model without nugget, or a range far beyond the distances between the points, makes the system "
      "singular in all but name. Give the model a small nugget (Kriging options, e.g. 0.001) or choose another "
      "model. Nothing was changed.",
      size, misfit.largest, misfit.point + 1, misfit.dataRange);
}

// Said after a fit whose range lies far beyond the data; the fit is kept.
void TellFarRange(UserInterface& ui, const char* what, const VariogramModel& model) {
  if (const std::optional<std::string> notice = FarRangeNotice(what, model)) ui.Message(*notice);
}

constexpr LagWidthOf kPrimaryLag{"primary variable", "lag"};
constexpr LagWidthOf kSecondaryLag{"secondary variable", "lag2"};
constexpr LagWidthOf kCrossLag{"cross variogram", "lag12"};

FloatDialog LagWidthDialog(LagWidthOf lag) {
  FloatDialog dialog;
  dialog.prompt = std::string("Lag width (") + lag.variable + ")";
  dialog.valueKey = lag.batchKey;
  dialog.rule = [](float v) { return CheckPositiveLength("The lag width", v); };
  return dialog;
}

// Asks for the lag width of one variogram, proposing `value`. nullopt on Cancel.
std::optional<float> AskLagWidth(UserInterface& ui, LagWidthOf lag, float value) {
  FloatDialog dialog = LagWidthDialog(lag);
  dialog.value = value;
  if (!ui.RunDialog(dialog)) return std::nullopt;
  return dialog.value;
}

// With options beyond the plain model, a line after the model's own names them: the
// structure, nugget, smoothness, angle and ratio. The plain model's file stays as it was.
void WriteModelLine(DiagnosticFile& file, const char* name, const VariogramModel& model) {
  const KrigingOptions& o = model.options;
  if (o == KrigingOptions{}) return;
  static const char* const kinds[] = {"exponential", "spherical", "gaussian", "matern"};
  file.Printf("%s model : %s %f %f %f %f\n", name, kinds[static_cast<int>(o.model)],
              model.pairMode == 1 ? 0.0 : o.nugget, o.smoothness, o.angleDegrees, o.ratio);
}

float ProposedLagWidth(const VariogramModel& model) { return static_cast<float>(model.cloudMaximumDistance / 20.0); }

// Below kAskAboveBytes the matrix files are written without a word, as always; above it
// the user chooses. true: write them.
bool AgreeToMatrixFiles(UserInterface& ui, std::size_t n1, std::size_t n2) {
  const std::optional<std::string> question = MatrixFilesQuestion(n1, n2);
  return !question || ui.Question(*question);
}

CommandStatus RunVariogram(CommandContext& c) {
  Document& doc = c.doc;
  UserInterface& ui = c.ui;
  const RandomData& primaryData = *doc.primaryData;
  const bool withSecondary = doc.secondaryData && doc.secondaryData->count >= 1;
  const int n1 = primaryData.count, n2 = withSecondary ? doc.secondaryData->count : 0;

  const KrigingOptions& options = DocumentKrigingOptions(doc, c.profile);
  // The local mode has no n x n system: no matrices, no inverse, none of their files, and
  // a sampled variogram cloud.
  const bool local = LocalKrigingChosen(options);
  // The log transform and the indicator krige other values than z: the variogram is theirs.
  std::optional<std::string> problem = TransformRefusal(options, n1, primaryData.points.get());
  std::vector<DataPoint> krigedValues;
  const DataPoint* primaryPoints = primaryData.points.get();
  if (!problem && TransformsValues(options)) {
    if (withSecondary)
      problem = std::string(
          "The log transform and the indicator are for the kriging of the primary variable alone. Delete the "
          "secondary points or switch them off. Nothing was changed.");
    krigedValues = KrigedValues(options, n1, primaryPoints);
    primaryPoints = krigedValues.data();
  }
  if (!problem) problem = CheckVariogramData("primary", n1, primaryPoints);
  if (!problem && withSecondary) problem = CheckVariogramData("secondary", n2, doc.secondaryData->points.get());
  if (!problem) {
    const std::size_t a = static_cast<std::size_t>(n1), b = static_cast<std::size_t>(n2);
    problem = CheckMemory(fmt::sprintf("Kriging %d data points", n1 + n2),
                          local ? LocalVariogramMemoryNeed(a, b) : VariogramMemoryNeed(a, b));
  }
  if (!problem && options.drift != DriftKind::None && withSecondary)
    problem = std::string(
        "A linear or quadratic drift is for the kriging of the primary variable alone; cokriging keeps its means "
        "constant. Delete the secondary points or choose drift=none. Nothing was changed.");
  if (!problem) problem = ExternalDriftRefusal(doc.driftRasters, options, withSecondary, n1, primaryData.points.get());
  if (problem) {
    ui.Message(*problem);
    return CommandStatus::Failed;
  }

  // The first run creates the state with the data folder of the moment; later runs keep
  // that folder. The state itself appears only when the run completes.
  KrigingState run(doc.krigingState ? doc.krigingState->folder : doc.dataFolder, 1);
  run.writeMatrixFiles = !local && AgreeToMatrixFiles(ui, static_cast<std::size_t>(n1), static_cast<std::size_t>(n2));
  DiagnosticFile variogramFile(InFolder(doc.dataFolder, "variogram.txt"), DiagnosticFile::Encoding::Utf16LittleEndian);
  std::string refusal;
  auto refuse = [&]() {
    ui.Message(refusal + " Nothing was changed.");
    return CommandStatus::Failed;
  };

  run.LoadVariable(n1, primaryPoints, 0, &ui, !local);
  VariogramModel& primary = *run.primary;
  primary.options = options;
  primary.writeMatrixFiles = run.writeMatrixFiles;
  // With a drift the variogram is that of the residuals of the drift's least-squares
  // fit: the raw values' variogram carries the drift's squared differences, which grow
  // without bound and run the fitted range off beyond the data.
  std::vector<double> residuals;
  if (options.drift != DriftKind::None || !doc.driftRasters.empty()) {
    run.drift = MakeKrigingDrift(options.drift, doc.driftRasters, static_cast<std::size_t>(n1), primary.x.data(),
                                 primary.y.data());
    if (!DriftResiduals(*run.drift, static_cast<std::size_t>(n1), primary.x.data(), primary.y.data(),
                        primary.values.data(), residuals)) {
      if (doc.driftRasters.empty())
        ui.Message(fmt::sprintf(
            "The %d points do not determine a %s drift: there are too few of them, or they lie on one line. Choose "
            "drift=none or a lower order. Nothing was changed.",
            n1, options.drift == DriftKind::Linear ? "linear" : "quadratic"));
      else
        ui.Message(fmt::sprintf(
            "The %d points do not determine the drift of %d raster(s): there are too few of them, or a raster's "
            "values at them are constant or follow the other drift functions. Clear the drift or add other rasters. "
            "Nothing was changed.",
            n1, static_cast<int>(doc.driftRasters.size())));
      return CommandStatus::Failed;
    }
  }
  if (!residuals.empty()) {
    primary.values.swap(residuals);  // the cloud of the residuals; the values come back below
    if (local) {
      BuildSampledCloud(primary);
    } else {
      primary.dissimilarityMatrix = HalfSquaredDifferences(n1, primary.values.data());
      primary.BuildCloud(false);
    }
    primary.values.swap(residuals);
  } else if (local) {
    BuildSampledCloud(primary);
  } else {
    primary.BuildCloud(false);
  }
  const std::optional<float> lag = AskLagWidth(ui, kPrimaryLag, ProposedLagWidth(primary));
  if (!lag) return CommandStatus::Canceled;
  if (options.automaticModel) {
    const AutomaticModelFit chosen = FitEveryFamily(primary, *lag, &refusal);
    if (chosen.chosen < 0) return refuse();
    ui.Message(AutomaticModelTable(chosen));
  } else if (!primary.FitVariogram(*lag, kFitStep, kPrimaryIterations, &ui, &refusal)) {
    return refuse();
  }
  // The secondary and cross models take the family the automatic choice kept.
  KrigingOptions familyOptions = options;
  if (options.automaticModel) {
    familyOptions.model = primary.options.model;
    familyOptions.fit = VariogramFitMethod::WeightedLeastSquares;
  }
  TellFarRange(ui, "primary", primary);
  if (const std::optional<std::string> tooLarge = CheckStandardErrorSize(primary)) {
    refusal = *tooLarge;
    return refuse();
  }
  variogramFile.Printf("C11 : %f %f %f %f %f %f\n", *lag, primary.mean, primary.standardDeviation, primary.residualMean,
                       primary.a, primary.c);
  WriteModelLine(variogramFile, "C11", primary);
  if (!local) primary.BuildKrigingMatrix();

  DenseMatrix cokrigingSystem;
  if (withSecondary) {
    run.LoadVariable(n2, doc.secondaryData->points.get(), 1, &ui, !local);
    VariogramModel& secondary = *run.secondary;
    secondary.options = familyOptions;
    secondary.writeMatrixFiles = run.writeMatrixFiles;
    if (local)
      BuildSampledCloud(secondary);
    else
      secondary.BuildCloud(false);
    const std::optional<float> lag2 = AskLagWidth(ui, kSecondaryLag, ProposedLagWidth(secondary));
    if (!lag2) return CommandStatus::Canceled;
    if (!secondary.FitVariogram(*lag2, kFitStep, kSecondaryIterations, &ui, &refusal)) return refuse();
    TellFarRange(ui, "secondary", secondary);
    variogramFile.Printf("C22 : %f %f %f %f %f %f\n", *lag2, secondary.mean, secondary.standardDeviation,
                         secondary.residualMean, secondary.a, secondary.c);
    WriteModelLine(variogramFile, "C22", secondary);
    if (!local) secondary.BuildKrigingMatrix();

    run.cross = std::make_unique<VariogramModel>(run.folder, run.showMessages);
    VariogramModel& cross = *run.cross;
    cross.options = familyOptions;
    cross.writeMatrixFiles = run.writeMatrixFiles;
    if (local) {
      BuildSampledCrossCloud(cross, primary, secondary);
    } else {
      cross.SetCross(&primary, &secondary);
      cross.BuildCloud(run.writeMatrixFiles);
    }
    const std::optional<float> lag12 = AskLagWidth(ui, kCrossLag, *lag2);
    if (!lag12) return CommandStatus::Canceled;
    if (!cross.FitVariogram(*lag12, kFitStep, kSecondaryIterations, &ui, &refusal)) return refuse();
    TellFarRange(ui, "cross", cross);
    variogramFile.Printf("C12 : %f %f %f\n", *lag12, cross.a, cross.c);
    WriteModelLine(variogramFile, "C12", cross);
    if (!local) cross.BuildKrigingMatrix();

    if (!local) cokrigingSystem = run.CokrigingSystem();
    if (run.writeMatrixFiles)
      WriteMatrixText(cokrigingSystem, InFolder(doc.dataFolder, "cokriging_matrix.txt"),
                      MatrixTextKind::MatrixLayoutOne);
  }

  if (!local) {
    if (run.Ordinary()) cokrigingSystem = run.OrdinarySystem();
    const DenseMatrix& system = withSecondary || run.Ordinary() ? cokrigingSystem : primary.covarianceMatrix;
    Outcome inverted;
    {
      auto progress = ui.BeginProgress("Inverting the kriging system");
      inverted = run.InvertSystem(system, progress.get(), false);
    }
    if (!inverted.Done()) return InversionStopped(inverted, system.rows, ui);
    if (const std::optional<std::string> misfit = MisfitProblem(run, system.rows)) {
      ui.Message(*misfit);
      return CommandStatus::Failed;
    }
    run.WriteInverseFiles();
  }

  if (!doc.krigingState) doc.krigingState = std::make_unique<KrigingState>(run.folder, run.showMessages);
  doc.krigingState->AdoptRun(std::move(run));
  variogramFile.Close();
  doc.chartMode = ChartMode::Variogram;
  c.view.Invalidate();
  return CommandStatus::Done;
}

CommandStatus Variogram(CommandContext& c) {
  try {
    return RunVariogram(c);
  } catch (const std::bad_alloc&) {
    c.ui.Message(
        "There is not enough memory for the variogram and kriging matrices of these data. Nothing was changed.");
    return CommandStatus::Failed;
  }
}

// The "Float data" dialog of a model's range and sill.
TwoFloatsDialog RangeSillDialog() {
  TwoFloatsDialog dialog;
  dialog.prompt1 = "Range";
  dialog.prompt2 = "Sill";
  dialog.key1 = "range";
  dialog.key2 = "sill";
  dialog.rule1 = [](float v) { return CheckPositiveLength("The range", v); };
  dialog.rule2 = [](float v) { return CheckPositiveLength("The sill", v); };
  return dialog;
}

// The local mode has no system to invert: each estimate solves the system of its own
// neighbourhood from the model at the time, so the edited range and sill are the whole
// update. A local state has no distance matrices either, so it cannot turn into a
// global one here.
CommandStatus SetLocalVariogram(CommandContext& c, VariogramModel& model, const KrigingOptions& options, double range,
                                double sill) {
  model.a = range;
  model.c = sill;
  model.options = options;
  c.view.Invalidate();
  return CommandStatus::Done;
}

CommandStatus SetExperimentalVariogram(CommandContext& c) {
  KrigingState& state = *c.doc.krigingState;
  const int selection = c.doc.variableSelection;
  VariogramModel* model = selection == 1   ? state.secondary.get()
                          : selection == 2 ? state.cross.get()
                                           : state.primary.get();
  if (!model) return CommandStatus::Canceled;
  // The options of the moment apply; a nugget that the last fit found stays.
  KrigingOptions options = DocumentKrigingOptions(c.doc, c.profile);
  if (options.fit == VariogramFitMethod::WeightedLeastSquares && options.fitNugget)
    options.nugget = model->options.nugget;
  // The automatic choice's family stays with the model it was chosen for.
  if (options.automaticModel) options.model = model->options.model;
  const bool local = Local(state);
  if (local && !LocalKrigingChosen(options)) {
    c.ui.Message(
        "The variogram was fitted for kriging from neighbourhoods, which keeps no matrices of all the points; the "
        "kriging options now ask for every point in every estimate. Run \"Variogram\" again. Nothing was changed.");
    return CommandStatus::Failed;
  }

  TwoFloatsDialog dialog = RangeSillDialog();
  dialog.value1 = static_cast<float>(model->a);
  dialog.value2 = static_cast<float>(model->c);
  if (!c.ui.RunDialog(dialog)) return CommandStatus::Canceled;
  const double range = dialog.value1, sill = dialog.value2;
  if (!(range > 0.0) || !(sill > 0.0) || !std::isfinite(range) || !std::isfinite(sill)) {
    c.ui.Message(fmt::sprintf(
        "The range and the sill must both be greater than 0 (range %g, sill %g). Nothing was changed.", range, sill));
    return CommandStatus::Failed;
  }
  if (local) return SetLocalVariogram(c, *model, options, range, sill);

  try {
    // The edited model's covariance and the new inverse are built aside and taken over
    // together, so a singular or cancelled inversion keeps the old model and inverse.
    const KrigingOptions before = model->options;
    model->options = options;
    DenseMatrix covariance = model->CovarianceFor(range, sill);
    model->options = before;
    const bool ordinary = !state.HasSecondary() && options.type == KrigingType::Ordinary;
    DenseMatrix system;
    if (ordinary) system = BorderedSystem(covariance, state.drift.get(), model->x, model->y);
    if (state.HasSecondary()) {
      const DenseMatrix& k11 = model == state.primary.get() ? covariance : state.primary->covarianceMatrix;
      const DenseMatrix& k22 = model == state.secondary.get() ? covariance : state.secondary->covarianceMatrix;
      const DenseMatrix& k12 = model == state.cross.get() ? covariance : state.cross->covarianceMatrix;
      system = BlockMatrix(k11, k22, k12);
    }
    const DenseMatrix& toInvert = state.HasSecondary() || ordinary ? system : covariance;
    SystemInverse inverse;
    {
      auto progress = c.ui.BeginProgress("Inverting the kriging system");
      inverse = InvertSystemMatrix(toInvert, progress.get());
    }
    if (!inverse.outcome.Done()) return InversionStopped(inverse.outcome, toInvert.rows, c.ui);

    // The new model and inverse must give the data back before they are kept: tried in
    // the state, the old ones put back on a refusal.
    auto newInverse = std::make_unique<DenseMatrix>(std::move(inverse.inverse));
    const double oldRange = model->a, oldSill = model->c;
    model->a = range;
    model->c = sill;
    model->options = options;
    state.inverse.swap(newInverse);
    auto putBack = [&] {
      state.inverse.swap(newInverse);
      model->a = oldRange;
      model->c = oldSill;
      model->options = before;
    };
    std::optional<std::string> misfit;
    try {
      misfit = MisfitProblem(state, toInvert.rows);
    } catch (const std::bad_alloc&) {
      putBack();
      throw;
    }
    if (misfit) {
      putBack();
      c.ui.Message(*misfit);
      return CommandStatus::Failed;
    }

    model->covarianceMatrix = std::move(covariance);
    if (state.writeMatrixFiles)
      WriteMatrixText(model->covarianceMatrix, InFolder(model->folder, model->KrigingMatrixFileName().c_str()),
                      MatrixTextKind::MatrixLayoutOne);
    if (state.HasSecondary()) {
      // The cross model's matrix is rebuilt from its (possibly unchanged) range and sill.
      if (model != state.cross.get()) state.cross->BuildKrigingMatrix();
      if (state.writeMatrixFiles)
        WriteMatrixText(system, InFolder(c.doc.dataFolder, "cokriging_matrix.txt"), MatrixTextKind::MatrixLayoutOne);
    }
    state.WriteInverseFiles();
  } catch (const std::bad_alloc&) {
    c.ui.Message("There is not enough memory to rebuild the kriging system. Nothing was changed.");
    return CommandStatus::Failed;
  }
  c.view.Invalidate();
  return CommandStatus::Done;
}

// The prediction's steps: the estimates, then the standard errors.
enum class PredictionStep { Estimates, StandardErrors };

// How a step of the prediction ended, as the gridding run takes it: a cancel, or the
// text that says why the grid is unchanged.
GriddingOutcome PredictionOutcome(const Outcome& outcome, PredictionStep step) {
  switch (outcome.kind) {
    case OutcomeKind::Done: return {};
    case OutcomeKind::Canceled: return {CommandStatus::Canceled, {}};
    default: break;
  }
  if (step == PredictionStep::Estimates)
    return {CommandStatus::Failed,
            fmt::sprintf("Kriging gave no finite estimate at node (%d, %d): the kriging system is too badly "
                         "conditioned for these data. The grid is unchanged.",
                         outcome.column, outcome.row)};
  return {CommandStatus::Failed,
          "Kriging gave no finite standard error: the kriging system is too badly conditioned for these data. "
          "The grid is unchanged."};
}

// Fills `result` by the kriging prediction: layer 0 the estimate and, `withErrors`,
// layer 1 the standard error. The one place where the prediction method is called.
// Nodes where a drift raster has no value (one flag a node; empty when there are none).
std::vector<std::uint8_t> OutsideTheDrift(const KrigingState& state, const NodeLayout& layout) {
  if (!state.drift || state.HasSecondary()) return {};
  return NodesWithoutDrift(*state.drift, layout, state.primary->options.Block());
}

std::size_t CountMarked(const std::vector<std::uint8_t>& mask) {
  return static_cast<std::size_t>(std::count(mask.begin(), mask.end(), std::uint8_t{1}));
}

std::string OutsideTheDriftText(std::size_t count) {
  return fmt::sprintf(" %s %s outside the drift rasters %s left empty.", GroupedCount(count),
                      count == 1 ? "node" : "nodes", count == 1 ? "is" : "are");
}

GriddingOutcome FillByKriging(const KrigingState& state, bool withErrors, const GriddingRun& run, GridModel& result) {
  // Nodes where an external drift has no value stay empty, as the quick gridders leave
  // theirs: the lowest estimate, and a mark in the grid's empty-node mask.
  std::vector<std::uint8_t> outside = OutsideTheDrift(state, run.layout);
  const std::size_t outsideCount = CountMarked(outside);
  if (outsideCount > 0 && outsideCount == run.layout.NodeCount())
    return {CommandStatus::Failed,
            "Every node of the grid lies outside the drift rasters: kriging with external drift has no estimate on "
            "them. The grid is unchanged."};
  const std::uint8_t* skip = outside.empty() ? nullptr : outside.data();
  const Outcome estimates = PredictGrid(state, run.layout, result.Column(0, 0), run.feedback, skip);
  if (!estimates.Done()) return PredictionOutcome(estimates, PredictionStep::Estimates);
  if (withErrors) {
    if (run.feedback) run.feedback->SetStage("Standard errors");
    const StandardErrors errors = StandardErrorGrid(state, run.layout, result.Column(1, 0), run.feedback, skip);
    if (!errors.outcome.Done()) return PredictionOutcome(errors.outcome, PredictionStep::StandardErrors);
    result.ComputeLayerRange(1);
  }
  if (outsideCount == 0) return {CommandStatus::Done, "Prediction by Kriging completed!"};
  float* values = result.Column(0, 0);
  float lowest = HUGE_VALF;
  for (std::size_t k = 0; k < outside.size(); ++k)
    if (!outside[k]) lowest = std::min(lowest, values[k]);
  for (std::size_t k = 0; k < outside.size(); ++k)
    if (outside[k]) values[k] = lowest;
  result.emptyNodes = std::move(outside);
  return {CommandStatus::Done, "Prediction by Kriging completed!" + OutsideTheDriftText(outsideCount)};
}

// The same from local neighbourhoods; its completion message says which files it writes.
GriddingOutcome FillByLocalKriging(const KrigingState& state, bool withErrors, const GriddingRun& run,
                                   GridModel& result) {
  const LocalRunResult localRun = PredictLocalGrid(state, run.layout, result, run.feedback);
  if (!localRun.outcome.Done()) return PredictionOutcome(localRun.outcome, PredictionStep::Estimates);
  if (withErrors) result.ComputeLayerRange(1);
  return {CommandStatus::Done, localRun.message};
}

// Trans-Gaussian kriging of ln z: the estimates and standard errors back in z's units
// (trend/kriging_transform.h), globally or from neighbourhoods; a node whose
// neighbourhood is too small stays empty.
GriddingOutcome FillByLogKriging(const KrigingState& state, bool local, bool withErrors, const GriddingRun& run,
                                 GridModel& result) {
  const NodeLayout& layout = run.layout;
  const std::size_t nodes = layout.NodeCount();
  std::vector<double> xs(nodes), ys(nodes), estimates(nodes), errors(nodes);
  for (int i = 0; i < layout.nx; ++i)
    for (int j = 0; j < layout.ny; ++j) {
      xs[static_cast<std::size_t>(i) * layout.ny + j] = layout.X(i);
      ys[static_cast<std::size_t>(i) * layout.ny + j] = layout.Y(j);
    }
  const int count = static_cast<int>(nodes);
  const Outcome done =
      local ? LocalLogKrigingAt(state, count, xs.data(), ys.data(), estimates.data(), errors.data(), run.feedback)
            : LogKrigingAt(state, count, xs.data(), ys.data(), estimates.data(), errors.data(), run.feedback);
  if (!done.Done()) return PredictionOutcome(done, PredictionStep::Estimates);
  std::vector<std::uint8_t> empty(nodes, 0);
  std::size_t emptyCount = 0;
  float* values = result.Column(0, 0);
  float* standardErrors = withErrors ? result.Column(1, 0) : nullptr;
  for (std::size_t k = 0; k < nodes; ++k) {
    const bool known = std::isfinite(estimates[k]);
    empty[k] = known ? 0 : 1;
    emptyCount += known ? 0 : 1;
    values[k] = known ? static_cast<float>(estimates[k]) : 0.0f;
    if (standardErrors) standardErrors[k] = known ? static_cast<float>(errors[k]) : 0.0f;
  }
  if (emptyCount > 0)
    result.emptyNodes = std::move(empty);
  else
    result.emptyNodes.clear();
  if (withErrors) result.ComputeLayerRange(1);
  return {CommandStatus::Done,
          local ? "Prediction by local log-normal kriging completed!" : "Prediction by log-normal kriging completed!"};
}

// The standard errors are computed in double precision and stored in single: a nugget
// far beyond the data's variance gives errors beyond the grid's largest number, which
// would be stored as infinite. Refused then, with the cause.
GriddingOutcome ErrorsStored(const KrigingState& state, const GridModel& result) {
  const std::size_t nodes = result.NodeCount();
  const float* errors = result.Column(1, 0);
  for (std::size_t k = 0; k < nodes; ++k) {
    if (std::isfinite(errors[k])) continue;
    const VariogramModel& primary = *state.primary;
    return {CommandStatus::Failed,
            fmt::sprintf("The standard error at node (%d, %d) is too large for the grid's numbers: the nugget %g with "
                         "the sill %g makes the kriging variance of these data overflow. Choose a smaller nugget "
                         "(Kriging options). The grid is unchanged.",
                         static_cast<int>(k / static_cast<std::size_t>(result.NY)),
                         static_cast<int>(k % static_cast<std::size_t>(result.NY)), primary.options.nugget, primary.c)};
  }
  return {};
}

CommandStatus PredictionFlow(CommandContext& c) {
  Document& doc = c.doc;
  const KrigingState& state = *doc.krigingState;
  const bool local = Local(state);
  if (!state.primary || (!local && (!state.inverse || state.inverse->rows != state.SystemSize()))) {
    c.ui.Message("The kriging system does not belong to the variogram models. Run \"Variogram\" again.");
    return CommandStatus::Failed;
  }
  float cellX = 1.0f, cellY = 1.0f;
  ReadProfileFloat(c.profile, "CellSizeXOrg", cellX);
  ReadProfileFloat(c.profile, "CellSizeYOrg", cellY);
  // The standard-error grid is kept as layer 1 once the kriging is more than the plain
  // simple exponential kriging, or when the user asked to see it.
  const bool withErrors = doc.showStandardError != 0 || !(state.primary->options == KrigingOptions{});

  GriddingMethod method;
  method.progressTitle = "Prediction by kriging";
  // The stored spacing, but at most a tenth of either extent.
  method.spacing = SpacingProposal{cellX, true};
  method.layerCount = withErrors ? 2 : 1;
  const KrigingOptions& options = state.primary->options;
  method.fill = [&state, &options, withErrors, local](const GriddingRun& run, GridModel& result) {
    GriddingOutcome outcome = options.transform == ValueTransform::Log
                                  ? FillByLogKriging(state, local, withErrors, run, result)
                              : local ? FillByLocalKriging(state, withErrors, run, result)
                                      : FillByKriging(state, withErrors, run, result);
    // The indicator's estimate is the probability of exceeding the threshold.
    if (outcome.status == CommandStatus::Done && options.indicator) {
      float* values = result.Column(0, 0);
      const bool withEmpty = result.emptyNodes.size() == result.NodeCount();
      for (std::size_t k = 0; k < result.NodeCount(); ++k)
        if (!(withEmpty && result.emptyNodes[k])) values[k] = static_cast<float>(ClampProbability(values[k]));
    }
    if (outcome.status == CommandStatus::Done && withErrors) {
      GriddingOutcome stored = ErrorsStored(state, result);
      if (stored.status != CommandStatus::Done) return stored;
    }
    return outcome;
  };
  const GriddingOutcome outcome = RunGridding(c, method);
  if (outcome.status != CommandStatus::Done) return outcome.status;

  // The diagnostic files only once the grid is taken: a cancel leaves them as they were.
  if (local)
    WriteLocalRunFiles(state);
  else
    WriteVerification(state);
  c.ui.Message(outcome.message);
  doc.chartMode = ChartMode::None;
  if (withErrors) doc.layerIndex = doc.showStandardError ? 1 : 0;
  ShowNewGrid(c);
  return CommandStatus::Done;
}

CommandStatus RunPrediction(CommandContext& c) {
  try {
    return PredictionFlow(c);
  } catch (const std::bad_alloc&) {
    c.ui.Message("There is not enough memory for this prediction. The grid is unchanged.");
    return CommandStatus::Failed;
  }
}

}  // namespace

void RegisterKrigingCommands(CommandTable& table) {
  using O = CommandOwner;
  // The submenu's place in the Interpolation menu: interpolation_commands.cpp.
  constexpr const char* kKriging = "Interpolation/Kriging";
  table.Add({.id = ID_VARIOGRAM,
             .owner = O::View,
             .run = Variogram,
             .update = [](const CommandContext& c, CommandState& s) { s.enabled = MoreThanOnePoint(c); },
             .menu = {kKriging, "Variogram"},
             // "answer": whether to write the large matrix files.
             .batch = {.name = "variogram",
                       .keys = Keys(LagWidthDialog(kPrimaryLag), LagWidthDialog(kSecondaryLag),
                                    LagWidthDialog(kCrossLag), "answer", "cancel")}});
  table.Add(
      {.id = ID_PREDICTION,
       .owner = O::View,
       .run = RunPrediction,
       .update = [](const CommandContext& c, CommandState& s) { s.enabled = MoreThanOnePoint(c) && CanPredict(c); },
       .menu = {kKriging, "Prediction"},
       // The layout dialogs of RunGridding.
       .batch = {.name = "prediction", .keys = Keys(GridOriginDialog{}, GridSpacingDialog{}, "cancel")}});
  table.Add({.id = ID_SET_VARIOGRAM,
             .owner = O::View,
             .run = SetExperimentalVariogram,
             .update =
                 [](const CommandContext& c, CommandState& s) {
                   s.enabled = MoreThanOnePoint(c) && c.doc.chartMode == ChartMode::Variogram && CanPredict(c);
                 },
             .menu = {kKriging, "Set experimental variogram", kSeparatorBefore},
             .batch = {.name = "set-variogram", .keys = Keys(RangeSillDialog(), "cancel")}});
}

}  // namespace gridora
