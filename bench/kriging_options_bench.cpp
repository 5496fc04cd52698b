// The kriging options at the sizes they are meant for:
//
//   kriging_options_bench --benchmark_filter=OrdinaryWithErrors  "Variogram" with the
//       least-squares fit and ordinary kriging, then "Prediction" with its standard-error
//       layer: 2,000 points onto 200 x 200 nodes, the whole commands with their files
//   kriging_options_bench --benchmark_filter=StandardErrorGrid   the standard errors of
//       200 x 200 nodes from the ordinary kriging inverse of 2,000 points alone
//   kriging_options_bench --benchmark_filter=LeaveOneOut         cross-validation of
//       4,000 points from the inverse the fit left (the inversion is not timed)
//
// peak_MB is the process's peak resident memory: run one case per process to read it.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "bench_support.h"
#include "commands/command_ids.h"
#include "commands/command_table.h"
#include "menus/command_catalogue.h"
#include "dialogs/dialogs.h"
#include "geostat/cross_validation.h"
#include "geostat/kriging_options.h"
#include "geostat/kriging_state.h"
#include "geostat/kriging_variance.h"
#include "platform/profile.h"
#include "batch/quiet_user_interface.h"
#include "batch/quiet_view_host.h"
#include "view/document.h"

namespace gridora {
namespace {

struct Folder {
  Folder() {
    path = std::filesystem::temp_directory_path() / ("gridora-options-bench-" + std::to_string(::getpid()));
    std::filesystem::create_directories(path);
    previous = std::filesystem::current_path();
    std::filesystem::current_path(path);
  }
  ~Folder() {
    std::filesystem::current_path(previous);
    std::error_code error;
    std::filesystem::remove_all(path, error);
  }
  std::filesystem::path path, previous;
};

std::vector<DataPoint> RandomPoints(int n, double extent) {
  std::mt19937 random(12345);
  std::uniform_real_distribution<double> position(0.0, extent), noise(-0.5, 0.5);
  std::vector<DataPoint> points(static_cast<std::size_t>(n));
  for (DataPoint& p : points) {
    p.x = position(random);
    p.y = position(random);
    p.z = 100.0 + 20.0 * std::sin(p.x / 150.0) * std::cos(p.y / 200.0) + noise(random);
  }
  return points;
}

void Load(Document& doc, const std::vector<DataPoint>& points) {
  doc.primaryData->StartRanges();
  for (const DataPoint& p : points) {
    doc.primaryData->points[doc.primaryData->count++] = p;
    doc.primaryData->ExtendRanges(p);
  }
}

void OrdinaryWithErrors(benchmark::State& state) {
  constexpr int kNodes = 200;
  constexpr float kSpacing = 5.0f;
  const std::vector<DataPoint> points = RandomPoints(2000, (kNodes - 1) * double(kSpacing));
  Folder folder;
  CommandTable table = BuildCommandTable();
  QuietUserInterface ui;
  QuietViewHost view;
  for (auto _ : state) {
    MemoryProfile profile;
    Document doc(profile);
    doc.dataFolder = folder.path.string();
    Load(doc, points);
    KrigingOptions options;
    options.fit = VariogramFitMethod::WeightedLeastSquares;
    options.fitNugget = true;
    options.type = KrigingType::Ordinary;
    doc.krigingOptions = std::make_unique<KrigingOptions>(options);
    CommandContext context{doc, ui, view, profile};
    ui.editDialog = nullptr;
    if (table.Execute(ID_VARIOGRAM, context) != CommandStatus::Done) {
      state.SkipWithError("Variogram failed");
      break;
    }
    ui.editDialog = [&](DialogData& dialog) {
      if (auto* origin = dynamic_cast<GridOriginDialog*>(&dialog)) {
        origin->xMinimum = origin->yMinimum = 0.0;
        origin->xMaximum = origin->yMaximum = (kNodes - 1) * double(kSpacing);
      } else if (auto* area = dynamic_cast<GridSpacingDialog*>(&dialog)) {
        area->dx = area->dy = kSpacing;
      }
    };
    if (table.Execute(ID_PREDICTION, context) != CommandStatus::Done || doc.grid->layerCount != 2) {
      state.SkipWithError("Prediction failed");
      break;
    }
    benchmark::DoNotOptimize(doc.grid->Value(1, kNodes / 2, kNodes / 2));
  }
  state.counters["peak_MB"] = bench::PeakMegabytes();
}
BENCHMARK(OrdinaryWithErrors)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

// An ordinary kriging state of n random points over [0, 1000]^2 with its inverse.
std::unique_ptr<KrigingState> OrdinaryState(int n, const std::string& folder) {
  const std::vector<DataPoint> points = RandomPoints(n, 1000.0);
  auto kriging = std::make_unique<KrigingState>(folder, 0);
  kriging->LoadVariable(n, points.data(), 0, nullptr);
  kriging->primary->options.type = KrigingType::Ordinary;
  kriging->primary->options.nugget = 0.05;
  kriging->primary->a = 150.0;
  kriging->primary->c = 0.9;
  kriging->primary->covarianceMatrix = kriging->primary->CovarianceFor(150.0, 0.9);
  SystemInverse inverse = InvertSystemMatrix(kriging->OrdinarySystem(), nullptr);
  if (!inverse.outcome.Done()) return nullptr;
  kriging->inverse = std::make_unique<DenseMatrix>(std::move(inverse.inverse));
  return kriging;
}

void StandardErrorGrid(benchmark::State& state) {
  Folder folder;
  std::unique_ptr<KrigingState> kriging = OrdinaryState(2000, folder.path.string());
  if (!kriging) {
    state.SkipWithError("the system is singular");
    return;
  }
  const NodeLayout layout{0.0f, 0.0f, 5.0f, 5.0f, 200, 200};
  std::vector<float> errors(200 * 200);
  for (auto _ : state) {
    if (!StandardErrorGrid(*kriging, layout, errors.data(), nullptr).outcome.Done()) {
      state.SkipWithError("standard errors failed");
      break;
    }
    benchmark::DoNotOptimize(errors[20100]);
  }
  state.counters["peak_MB"] = bench::PeakMegabytes();
}
BENCHMARK(StandardErrorGrid)->Unit(benchmark::kMillisecond)->UseRealTime();

void LeaveOneOut(benchmark::State& state) {
  Folder folder;
  std::unique_ptr<KrigingState> kriging = OrdinaryState(4000, folder.path.string());
  if (!kriging) {
    state.SkipWithError("the system is singular");
    return;
  }
  for (auto _ : state) {
    CrossValidation cv;
    if (!CrossValidate(*kriging, 0, 0, cv, nullptr).Done()) {
      state.SkipWithError("cross-validation failed");
      break;
    }
    benchmark::DoNotOptimize(cv.rootMeanSquareError);
  }
  state.counters["peak_MB"] = bench::PeakMegabytes();
}
BENCHMARK(LeaveOneOut)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace gridora
