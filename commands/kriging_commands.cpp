// Interpolation > Kriging: "Variogram" fits the variogram models and inverts the kriging
// system, "Prediction" grids the primary variable with them, "Set experimental
// variogram" edits a model's range and sill and inverts the system again; and the view's
// "Cross variance" choice, whose rule needs the kriging state.
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

#include "commands/command_ids.h"
#include "commands/command_modules.h"
#include "commands/command_table.h"
#include "commands/document_kriging_options.h"
#include "commands/grid_layout.h"
#include "commands/gridding_run.h"
#include "commands/local_kriging_run.h"
#include "dialogs/dialogs.h"
#include "dialogs/value_rules.h"
#include "gridops/grid_summary.h"
#include "geostat/kriging_checks.h"
#include "geostat/kriging_file_size.h"
#include "geostat/kriging_prediction.h"
#include "geostat/kriging_state.h"
#include "geostat/kriging_variance.h"
#include "linalg/matrix_text.h"
#include "geostat/sampled_cloud.h"
#include "platform/diagnostic_file.h"
#include "platform/memory_budget.h"
#include "platform/profile.h"
#include "platform/user_interface.h"
#include "platform/view_host.h"
#include "view/document.h"

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

// Shows the inversion's outcome; true when the run may go on.
bool Inverted(SystemInverseStatus status, int size, UserInterface& ui) {
  if (status == SystemInverseStatus::Singular) ui.Message(SingularMessage(size));
  return status == SystemInverseStatus::Inverted;
}

CommandStatus StatusOf(SystemInverseStatus status) {
  return status == SystemInverseStatus::Canceled ? CommandStatus::Canceled : CommandStatus::Failed;
}

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

// Asks for the lag width of one variogram ("primary variable", "cross variogram"), proposing
// `value`. nullopt on Cancel.
std::optional<float> AskLagWidth(UserInterface& ui, const std::string& variable, const std::string& batchKey,
                                 float value) {
  FloatDialog dialog;
  dialog.prompt = "Lag width (" + variable + ")";
  dialog.value = value;
  dialog.valueKey = batchKey;
  dialog.rule = [](float v) { return CheckPositiveLength("The lag width", v); };
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
  std::optional<std::string> problem = CheckVariogramData("primary", n1, primaryData.points.get());
  if (!problem && withSecondary) problem = CheckVariogramData("secondary", n2, doc.secondaryData->points.get());
  if (!problem) {
    const std::size_t a = static_cast<std::size_t>(n1), b = static_cast<std::size_t>(n2);
    problem = CheckMemory(fmt::sprintf("Kriging %d data points", n1 + n2),
                          local ? LocalVariogramMemoryNeed(a, b) : VariogramMemoryNeed(a, b));
  }
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

  run.LoadVariable(n1, primaryData.points.get(), 0, &ui, !local);
  VariogramModel& primary = *run.primary;
  primary.options = options;
  primary.writeMatrixFiles = run.writeMatrixFiles;
  if (local)
    BuildSampledCloud(primary);
  else
    primary.BuildCloud(false);
  const std::optional<float> lag = AskLagWidth(ui, "primary variable", "lag", ProposedLagWidth(primary));
  if (!lag) return CommandStatus::Canceled;
  if (!primary.FitVariogram(*lag, kFitStep, kPrimaryIterations, &ui, &refusal)) return refuse();
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
    secondary.options = options;
    secondary.writeMatrixFiles = run.writeMatrixFiles;
    if (local)
      BuildSampledCloud(secondary);
    else
      secondary.BuildCloud(false);
    const std::optional<float> lag2 = AskLagWidth(ui, "secondary variable", "lag2", ProposedLagWidth(secondary));
    if (!lag2) return CommandStatus::Canceled;
    if (!secondary.FitVariogram(*lag2, kFitStep, kSecondaryIterations, &ui, &refusal)) return refuse();
    TellFarRange(ui, "secondary", secondary);
    variogramFile.Printf("C22 : %f %f %f %f %f %f\n", *lag2, secondary.mean, secondary.standardDeviation,
                         secondary.residualMean, secondary.a, secondary.c);
    WriteModelLine(variogramFile, "C22", secondary);
    if (!local) secondary.BuildKrigingMatrix();

    run.cross = std::make_unique<VariogramModel>(run.folder, run.showMessages);
    VariogramModel& cross = *run.cross;
    cross.options = options;
    cross.writeMatrixFiles = run.writeMatrixFiles;
    if (local) {
      BuildSampledCrossCloud(cross, primary, secondary);
    } else {
      cross.SetCross(&primary, &secondary);
      cross.BuildCloud(run.writeMatrixFiles);
    }
    const std::optional<float> lag12 = AskLagWidth(ui, "cross variogram", "lag12", *lag2);
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
    SystemInverseStatus inverted;
    {
      auto progress = ui.BeginProgress("Inverting the kriging system");
      inverted = run.InvertSystem(system, progress.get(), false);
    }
    if (!Inverted(inverted, system.rows, ui)) return StatusOf(inverted);
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
  const bool local = Local(state);
  if (local && !LocalKrigingChosen(options)) {
    c.ui.Message(
        "The variogram was fitted for kriging from neighbourhoods, which keeps no matrices of all the points; the "
        "kriging options now ask for every point in every estimate. Run \"Variogram\" again. Nothing was changed.");
    return CommandStatus::Failed;
  }

  TwoFloatsDialog dialog;
  dialog.prompt1 = "Range";
  dialog.value1 = static_cast<float>(model->a);
  dialog.prompt2 = "Sill";
  dialog.value2 = static_cast<float>(model->c);
  dialog.key1 = "range";
  dialog.key2 = "sill";
  dialog.rule1 = [](float v) { return CheckPositiveLength("The range", v); };
  dialog.rule2 = [](float v) { return CheckPositiveLength("The sill", v); };
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
    if (ordinary) system = BorderedSystem(covariance);
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
    if (!Inverted(inverse.status, toInvert.rows, c.ui)) return StatusOf(inverse.status);

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

// Fills `result` by the kriging prediction: layer 0 the estimate and, `withErrors`,
// layer 1 the standard error. The one place where the prediction method is called.
GriddingOutcome FillByKriging(const KrigingState& state, bool withErrors, const GriddingRun& run, GridModel& result) {
  const NodeLayout nodeLayout{result.x0, result.y0, result.DX, result.DY, result.NX, result.NY};
  const GridPrediction prediction = PredictGrid(state, nodeLayout, result.Column(0, 0), run.feedback);
  if (prediction.status == PredictionStatus::Canceled) return {CommandStatus::Canceled, {}};
  if (prediction.status == PredictionStatus::NotFinite)
    return {CommandStatus::Failed,
            fmt::sprintf("Kriging gave no finite estimate at node (%d, %d): the kriging system is too badly "
                         "conditioned for these data. The grid is unchanged.",
                         prediction.badColumn, prediction.badRow)};
  if (withErrors) {
    if (run.feedback) run.feedback->SetStage("Standard errors");
    const StandardErrors errors = StandardErrorGrid(state, nodeLayout, result.Column(1, 0), run.feedback);
    if (errors.status == PredictionStatus::Canceled) return {CommandStatus::Canceled, {}};
    if (errors.status == PredictionStatus::NotFinite)
      return {CommandStatus::Failed,
              "Kriging gave no finite standard error: the kriging system is too badly conditioned for these data. "
              "The grid is unchanged."};
    result.ComputeLayerRange(1);
  }
  return {};
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
  method.proposeSpacing = [cellX](float W, float H) {
    float spacing = cellX;
    spacing = std::min(spacing, static_cast<float>(W * 0.1));
    return std::min(spacing, static_cast<float>(H * 0.1));
  };
  method.layerCount = withErrors ? 2 : 1;
  method.bytesNeeded = [withErrors](const GridLayout& layout, std::optional<std::uint64_t>) {
    const std::uint64_t nodes = static_cast<std::uint64_t>(layout.NX) * static_cast<std::uint64_t>(layout.NY);
    return nodes * (withErrors ? 3 : 2) * sizeof(float);
  };
  method.memoryRefusal = [](const GridLayout& layout, std::uint64_t needed, std::uint64_t spare) {
    return fmt::sprintf(
        "Cannot interpolate: a grid of %d x %d nodes needs about %s of memory, more than the %s this computer can "
        "spare now. Choose a larger spacing.",
        layout.NX, layout.NY, NeededMemoryText(needed), SpareMemoryText(spare));
  };
  // The local mode has no global system: it says in its message which files it writes.
  std::string completed = "Prediction by Kriging completed!";
  method.fill = [&state, withErrors, local, &completed](const GriddingRun& run, GridModel& result) -> GriddingOutcome {
    if (!local) {
      GriddingOutcome outcome = FillByKriging(state, withErrors, run, result);
      if (outcome.status == CommandStatus::Done && withErrors) outcome = ErrorsStored(state, result);
      return outcome;
    }
    const LocalRunOutcome outcome = PredictLocalGrid(state, result, run.feedback);
    if (outcome.status == PredictionStatus::Canceled) return {CommandStatus::Canceled, {}};
    if (withErrors) {
      const GriddingOutcome stored = ErrorsStored(state, result);
      if (stored.status != CommandStatus::Done) return stored;
      result.ComputeLayerRange(1);
    }
    completed = outcome.message;
    return {};
  };
  method.beforeCommit = [&state, local] {
    if (local)
      WriteLocalRunFiles(state);
    else
      WriteVerification(state);
  };
  method.finish = [withErrors, &completed](CommandContext& context) {
    context.ui.Message(completed);
    context.doc.chartMode = ChartMode::None;
    if (withErrors) context.doc.layerIndex = context.doc.showStandardError ? 1 : 0;
  };
  return RunGridding(c, method);
}

CommandStatus RunPrediction(CommandContext& c) {
  try {
    return PredictionFlow(c);
  } catch (const std::bad_alloc&) {
    c.ui.Message("There is not enough memory for this prediction. The grid is unchanged.");
    return CommandStatus::Failed;
  }
}

CommandStatus SelectCross(CommandContext& c) {
  c.doc.variableSelection = 2;
  c.view.Invalidate();
  return CommandStatus::Done;
}

}  // namespace

void RegisterKrigingCommands(CommandTable& table) {
  using O = CommandOwner;
  table.Add({ID_VARIOGRAM, O::View, Variogram,
             [](const CommandContext& c, CommandState& s) { s.enabled = MoreThanOnePoint(c); }});
  table.Add({ID_PREDICTION, O::View, RunPrediction,
             [](const CommandContext& c, CommandState& s) { s.enabled = MoreThanOnePoint(c) && CanPredict(c); }});
  table.Add({ID_SET_VARIOGRAM, O::View, SetExperimentalVariogram, [](const CommandContext& c, CommandState& s) {
               s.enabled = MoreThanOnePoint(c) && c.doc.chartMode == ChartMode::Variogram && CanPredict(c);
             }});
  // Here rather than with the other variables: its rule needs the kriging state.
  table.Add({ID_CROSS_VARIANCE, O::View, SelectCross,
             [](const CommandContext& c, CommandState& s) {
               const KrigingState* state = c.doc.krigingState.get();
               s.checked = c.doc.variableSelection == 2;
               s.enabled = c.doc.variableSelection != 2 && c.doc.chartMode == ChartMode::Variogram && state &&
                           state->cross && state->cross->classCount >= 1;
             },
             true});

  table.AddBatch({"variogram", ID_VARIOGRAM, {"lag", "lag2", "lag12", "answer", "cancel"}});
  table.AddBatch({"prediction", ID_PREDICTION, {"xmin", "ymin", "xmax", "ymax", "dx", "dy", "cancel"}});
  table.AddBatch({"set-variogram", ID_SET_VARIOGRAM, {"range", "sill", "cancel"}});
}

}  // namespace gridora
