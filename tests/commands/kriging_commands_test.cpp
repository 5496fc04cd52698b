#include <fmt/printf.h>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <set>
#include <sstream>

#include "../geostat/kriging_test_support.h"
#include "batch/batch_runner.h"
#include "batch/batch_view_host.h"
#include "batch/scripted_user_interface.h"
#include "commands/command_ids.h"
#include "dialogs/dialogs.h"
#include "geostat/kriging_state.h"
#include "platform/number_text.h"
#include "support/test_support.h"

namespace gridora {
namespace {

using test::CrLfLines;
using test::FromUtf16;

const DataPoint kPoints[] = {{0, 0, 1}, {4, 0, 3}, {0, 4, 2}, {4, 4, 6}, {2, 1, 4}, {1, 3, 2.5}};
const DataPoint kSecondary[] = {{1, 1, 10}, {3, 1, 12}, {2, 3, 15}, {3.5, 3.5, 11}};

void Fill(RandomData& data, std::initializer_list<DataPoint> points) {
  data.count = 0;
  data.StartRanges();
  for (const DataPoint& p : points) {
    data.points[data.count++] = p;
    data.ExtendRanges(p);
  }
}

template <std::size_t N>
void Fill(RandomData& data, const DataPoint (&points)[N]) {
  data.count = 0;
  data.StartRanges();
  for (const DataPoint& p : points) {
    data.points[data.count++] = p;
    data.ExtendRanges(p);
  }
}

// Accepts a "Float data" dialog with the given value; records what it proposed.
std::function<bool(DialogData&)> Lag(float value, std::vector<float>* proposed = nullptr) {
  return [value, proposed](DialogData& dialog) {
    auto& input = dynamic_cast<FloatDialog&>(dialog);
    if (proposed) proposed->push_back(input.value);
    input.value = value;
    return true;
  };
}

std::function<bool(DialogData&)> Cancel() {
  return [](DialogData&) { return false; };
}

// The numbers of one line.
std::vector<double> Numbers(const std::string& line) {
  std::vector<double> numbers;
  std::size_t pos = 0;
  double v = 0;
  while (true) {
    while (pos < line.size() && !(std::isdigit(static_cast<unsigned char>(line[pos])) || line[pos] == '-')) ++pos;
    if (pos >= line.size() || !ScanDouble(line, pos, v)) break;
    numbers.push_back(v);
  }
  return numbers;
}

class KrigingCommands : public test::InTempFolderTest {
 protected:
  void SetUp() override {
    test::InTempFolderTest::SetUp();
    f.doc->dataFolder = Folder();
    Fill(*f.doc->primaryData, kPoints);
  }
  void AddSecondary() {
    f.doc->secondaryData = CreateRandomData();
    Fill(*f.doc->secondaryData, kSecondary);
  }
  CommandStatus Variogram(float lag = 1.5f) {
    f.ui.dialogHandlers.push_back(Lag(lag));
    return f.Run(ID_VARIOGRAM);
  }
  CommandStatus CoVariogram(float lag = 1.5f, float lag2 = 1.2f, float lag12 = 1.3f) {
    f.ui.dialogHandlers.push_back(Lag(lag));
    f.ui.dialogHandlers.push_back(Lag(lag2));
    f.ui.dialogHandlers.push_back(Lag(lag12));
    return f.Run(ID_VARIOGRAM);
  }
  KrigingState& State() { return *f.doc->krigingState; }

  test::DocumentFixture f;
};

TEST_F(KrigingCommands, VariogramFitsInvertsWritesItsFilesAndShowsTheChart) {
  std::vector<float> proposed;
  f.ui.dialogHandlers.push_back(Lag(1.5f, &proposed));
  ASSERT_EQ(f.Run(ID_VARIOGRAM), CommandStatus::Done);
  ASSERT_EQ(proposed.size(), 1u);
  EXPECT_FLOAT_EQ(proposed[0], static_cast<float>(std::sqrt(32.0) / 20.0));
  ASSERT_EQ(f.ui.messages.size(), 2u);
  EXPECT_EQ(f.ui.messages[0].rfind("Number of data=6 Mean=3.083333 SD=", 0), 0u) << f.ui.messages[0];
  const VariogramModel& model = *State().primary;
  EXPECT_EQ(f.ui.messages[1], fmt::sprintf("Range=%f Sill=%f", model.a, model.c));
  EXPECT_EQ(f.doc->chartMode, ChartMode::Variogram);
  EXPECT_EQ(f.view.invalidations, 1);
  ASSERT_TRUE(State().inverse);
  EXPECT_EQ(State().inverse->rows, 6);
  EXPECT_EQ(State().folder, Folder());

  const auto variogram = CrLfLines(FromUtf16(Bytes("variogram.txt")));
  ASSERT_EQ(variogram.size(), 1u);
  EXPECT_EQ(variogram[0], fmt::sprintf("C11 : %f %f %f %f %f %f", 1.5, model.mean, model.standardDeviation,
                                       model.residualMean, model.a, model.c));
  EXPECT_EQ(CrLfLines(Bytes("kriging_matrix.txt"))[0], "6 6");
  EXPECT_EQ(CrLfLines(Bytes("kriging_matrix_inv.txt")).size(), 7u);
  EXPECT_EQ(CrLfLines(FromUtf16(Bytes("inverse_matrix.txt"))).size(), 6u);  // the system's, the last inverted
  EXPECT_TRUE(Exists("variogram_optimization.txt"));
  EXPECT_FALSE(Exists("variogram_cloud.txt"));

  EXPECT_TRUE(f.State(ID_PREDICTION).enabled);
  EXPECT_TRUE(f.State(ID_SET_VARIOGRAM).enabled);
  EXPECT_FALSE(f.State(ID_CROSS_VARIANCE).enabled);  // no cross model
}

TEST_F(KrigingCommands, NothingGoesToTheConsoleWithoutTheVerbositySwitch) {
  testing::internal::CaptureStdout();
  ASSERT_EQ(Variogram(), CommandStatus::Done);
  ASSERT_EQ(f.Run(ID_PREDICTION), CommandStatus::Done);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TEST_F(KrigingCommands, UpdateRules) {
  EXPECT_TRUE(f.State(ID_VARIOGRAM).enabled);
  EXPECT_FALSE(f.State(ID_PREDICTION).enabled);
  EXPECT_FALSE(f.State(ID_SET_VARIOGRAM).enabled);
  ASSERT_EQ(Variogram(), CommandStatus::Done);
  f.doc->chartMode = ChartMode::None;
  EXPECT_TRUE(f.State(ID_PREDICTION).enabled);
  EXPECT_FALSE(f.State(ID_SET_VARIOGRAM).enabled);  // only while the chart shows
  f.doc->primaryData->count = 1;
  EXPECT_FALSE(f.State(ID_VARIOGRAM).enabled);
  EXPECT_FALSE(f.State(ID_PREDICTION).enabled);
}

TEST_F(KrigingCommands, DegenerateDataAreRefusedAndNothingIsLeftHalfFitted) {
  // A lag width of 0 or less is refused by the dialog itself (the user then gives up).
  struct Case {
    std::vector<DataPoint> points;
    float lag;
    const char* says;
    CommandStatus status = CommandStatus::Failed;
  };
  const Case cases[] = {
      {{{0, 0, 1}, {1, 0, 2}, {0, 0, 3}}, 0.5f, "No.1 and No.3"},
      {{{0, 0, 5}, {1, 0, 5}, {0, 1, 5}}, 0.5f, "are equal"},
      {{{0, 0, 1}, {1, 0, 2}, {0, 1, 3}}, 0.0f, "greater than 0", CommandStatus::Canceled},
      {{{0, 0, 1}, {1, 0, 2}, {0, 1, 3}}, -2.0f, "greater than 0", CommandStatus::Canceled},
      {{{0, 0, 1}, {2, 0, 2}}, 1.0f, "No pair"},  // the only pair sits at hMax = 2w
  };
  for (const Case& c : cases) {
    test::DocumentFixture g;
    g.doc->dataFolder = Folder();
    g.doc->primaryData->count = 0;
    for (const DataPoint& p : c.points) g.doc->primaryData->points[g.doc->primaryData->count++] = p;
    g.ui.dialogHandlers.push_back(Lag(c.lag));
    EXPECT_EQ(g.Run(ID_VARIOGRAM), c.status);
    ASSERT_FALSE(g.ui.messages.empty());
    EXPECT_NE(g.ui.messages.back().find(c.says), std::string::npos) << g.ui.messages.back();
    EXPECT_FALSE(g.doc->krigingState);
    EXPECT_EQ(g.doc->chartMode, ChartMode::None);
  }
}

TEST_F(KrigingCommands, ACancelledRunLeavesTheModelsAndTheInverseOfTheLastRun) {
  ASSERT_EQ(Variogram(1.5f), CommandStatus::Done);
  const VariogramModel* model = State().primary.get();
  const DenseMatrix* inverse = State().inverse.get();
  const double a = model->a;
  f.doc->chartMode = ChartMode::None;
  Fill(*f.doc->primaryData, {{0, 0, 9}, {5, 5, 1}, {9, 0, 4}});

  f.ui.dialogHandlers.push_back(Cancel());
  EXPECT_EQ(f.Run(ID_VARIOGRAM), CommandStatus::Canceled);
  f.ui.cancelProgress = true;  // the inversion's cancel
  f.ui.dialogHandlers.push_back(Lag(2.0f));
  EXPECT_EQ(f.Run(ID_VARIOGRAM), CommandStatus::Canceled);

  EXPECT_EQ(State().primary.get(), model);
  EXPECT_EQ(State().primary->count, 6);
  EXPECT_EQ(State().primary->a, a);
  EXPECT_EQ(State().inverse.get(), inverse);
  EXPECT_EQ(f.doc->chartMode, ChartMode::None);
}

TEST_F(KrigingCommands, PredictionProposesItsSpacingGridsReproducesTheDataAndShowsTheMap) {
  Fill(*f.doc->primaryData, {{0, 0, 1}, {20, 0, 3}, {0, 100, 2}, {20, 100, 6}, {10, 50, 4}, {5, 80, 2.5}});
  WriteProfileFloat(f.profile, "CellSizeXOrg", 5.0f);
  ASSERT_EQ(Variogram(20.0f), CommandStatus::Done);
  GridSpacingDialog shown;
  f.ui.dialogHandlers.push_back([](DialogData&) { return true; });  // the origin as proposed
  f.ui.dialogHandlers.push_back([&shown](DialogData& d) {
    shown = dynamic_cast<GridSpacingDialog&>(d);
    return true;
  });
  ASSERT_EQ(f.Run(ID_PREDICTION), CommandStatus::Done);
  EXPECT_EQ(shown.mode, 1);
  EXPECT_EQ(shown.dx, 2.0f);  // min(5, 20 * 0.1, 100 * 0.1)
  EXPECT_EQ(shown.dy, 2.0f);
  EXPECT_EQ(shown.nx, 11);
  EXPECT_EQ(shown.ny, 51);

  const GridModel& grid = *f.doc->grid;
  EXPECT_EQ(grid.layerCount, 1);
  EXPECT_EQ(grid.NX, 11);
  EXPECT_EQ(grid.NY, 51);
  EXPECT_EQ(grid.DX, 2.0f);
  EXPECT_NEAR(grid.Value(0, 0, 0), 1.0, 1e-4);    // (0, 0)
  EXPECT_NEAR(grid.Value(0, 10, 50), 6.0, 1e-4);  // (20, 100)
  EXPECT_NEAR(grid.Value(0, 5, 25), 4.0, 1e-4);   // (10, 50)
  EXPECT_EQ(grid.Distance(0, 0), 0.0f);
  EXPECT_LE(grid.layerMinimum[0], 1.0f + 1e-4f);
  EXPECT_GE(grid.layerMaximum[0], 6.0f - 1e-4f);
  EXPECT_EQ(f.ui.messages.back(), "Prediction by Kriging completed!");
  EXPECT_EQ(f.doc->chartMode, ChartMode::None);
  EXPECT_EQ(f.doc->mapBitmapDirty, 1);
  EXPECT_GE(f.view.updates, 1);
  EXPECT_EQ(f.profile.Raw("General", "CellSizeXOrg"), "2.000000");

  const auto verification = CrLfLines(FromUtf16(Bytes("verification.txt")));
  ASSERT_EQ(verification.size(), 6u);
  for (const std::string& line : verification) {
    const auto n = Numbers(line);
    ASSERT_EQ(n.size(), 5u) << line;
    EXPECT_NEAR(n[3], n[4], 1e-5) << line;
  }
  EXPECT_EQ(verification[4], fmt::sprintf(" 4 %f %f %f %f ", 10.0, 50.0, 4.0, 4.0));
}

TEST_F(KrigingCommands, FarFromTheDataTheEstimateTendsToTheMean) {
  Fill(*f.doc->primaryData, {{0, 0, 1}, {1, 0, 3}, {0, 1, 2}, {1, 1, 6}});
  ASSERT_EQ(Variogram(0.5f), CommandStatus::Done);
  f.ui.dialogHandlers.push_back([](DialogData& d) {
    auto& origin = dynamic_cast<GridOriginDialog&>(d);
    origin.xMaximum = 1000;
    origin.yMaximum = 1000;
    return true;
  });
  f.ui.dialogHandlers.push_back([](DialogData& d) {
    auto& area = dynamic_cast<GridSpacingDialog&>(d);
    area.dx = area.dy = 100;
    return true;
  });
  ASSERT_EQ(f.Run(ID_PREDICTION), CommandStatus::Done);
  EXPECT_NEAR(f.doc->grid->Value(0, 10, 10), 3.0, 1e-4);
}

TEST_F(KrigingCommands, CancelledPredictionLeavesGridRangesAndProfileAlone) {
  ASSERT_EQ(Variogram(), CommandStatus::Done);
  const float xMaximum = f.doc->primaryData->xMaximum;
  f.ui.dialogHandlers.push_back([](DialogData& d) {
    dynamic_cast<GridOriginDialog&>(d).xMaximum = 50;
    return true;
  });
  f.ui.cancelProgress = true;
  EXPECT_EQ(f.Run(ID_PREDICTION), CommandStatus::Canceled);
  EXPECT_EQ(f.doc->grid->layerCount, 0);
  EXPECT_FALSE(f.doc->grid->HasValues());
  EXPECT_EQ(f.doc->primaryData->xMaximum, xMaximum);
  EXPECT_FALSE(f.profile.Has("General", "CellSizeXOrg"));
  EXPECT_EQ(f.doc->chartMode, ChartMode::Variogram);
  EXPECT_FALSE(Exists("verification.txt"));

  // Cancel in the area dialog: the confirmed origin is forgotten, the grid does not change.
  f.ui.cancelProgress = false;
  f.ui.dialogHandlers.push_back([](DialogData& d) {
    dynamic_cast<GridOriginDialog&>(d).xMaximum = 50;
    return true;
  });
  f.ui.dialogHandlers.push_back(Cancel());
  EXPECT_EQ(f.Run(ID_PREDICTION), CommandStatus::Canceled);
  EXPECT_EQ(f.doc->primaryData->xMaximum, xMaximum);
  EXPECT_EQ(f.doc->grid->layerCount, 0);
}

TEST_F(KrigingCommands, PredictionRefusesAnEmptyAreaAndANonPositiveSpacing) {
  ASSERT_EQ(Variogram(), CommandStatus::Done);
  f.ui.dialogHandlers.push_back([](DialogData& d) {
    auto& origin = dynamic_cast<GridOriginDialog&>(d);
    origin.xMaximum = origin.xMinimum;
    return true;
  });
  // Both dialogs refuse these values while open; the user then gives up.
  EXPECT_EQ(f.Run(ID_PREDICTION), CommandStatus::Canceled);
  EXPECT_NE(f.ui.messages.back().find("empty"), std::string::npos);

  f.ui.dialogHandlers.push_back([](DialogData&) { return true; });
  f.ui.dialogHandlers.push_back([](DialogData& d) {
    dynamic_cast<GridSpacingDialog&>(d).dx = 0;
    return true;
  });
  EXPECT_EQ(f.Run(ID_PREDICTION), CommandStatus::Canceled);
  EXPECT_NE(f.ui.messages.back().find("DX must be greater than 0"), std::string::npos);
  EXPECT_EQ(f.doc->grid->layerCount, 0);
  EXPECT_EQ(f.doc->primaryData->xMaximum, 4.0f);  // the ranges are back
}

TEST_F(KrigingCommands, SetExperimentalVariogramRebuildsTheSystemFromTheNewRangeAndSill) {
  ASSERT_EQ(Variogram(), CommandStatus::Done);
  const DenseMatrix* before = State().inverse.get();
  f.ui.dialogHandlers.push_back([this](DialogData& d) {
    auto& input = dynamic_cast<TwoFloatsDialog&>(d);
    EXPECT_EQ(input.prompt1, "Range");
    EXPECT_EQ(input.prompt2, "Sill");
    EXPECT_EQ(input.value1, static_cast<float>(State().primary->a));
    input.value1 = 3.0f;
    input.value2 = 0.8f;
    return true;
  });
  ASSERT_EQ(f.Run(ID_SET_VARIOGRAM), CommandStatus::Done);
  const VariogramModel& model = *State().primary;
  EXPECT_EQ(model.a, 3.0);
  EXPECT_EQ(model.c, static_cast<double>(0.8f));
  EXPECT_DOUBLE_EQ(model.covarianceMatrix(0, 1), std::exp(-4.0 / 3.0) * static_cast<double>(0.8f));
  ASSERT_NE(State().inverse.get(), before);
  EXPECT_EQ(CrLfLines(Bytes("kriging_matrix.txt"))[1].rfind(fmt::sprintf("%e ", static_cast<double>(0.8f)), 0), 0u);
  EXPECT_EQ(f.view.invalidations, 2);

  // Refused values (the dialog refuses them; the user gives up) and an absent model
  // change nothing.
  const DenseMatrix* kept = State().inverse.get();
  f.ui.dialogHandlers.push_back([](DialogData& d) {
    dynamic_cast<TwoFloatsDialog&>(d).value1 = 0.0f;
    return true;
  });
  EXPECT_EQ(f.Run(ID_SET_VARIOGRAM), CommandStatus::Canceled);
  EXPECT_EQ(State().primary->a, 3.0);
  EXPECT_EQ(State().inverse.get(), kept);
  f.doc->variableSelection = 1;
  const std::size_t dialogs = f.ui.dialogTitles.size();
  EXPECT_EQ(f.Run(ID_SET_VARIOGRAM), CommandStatus::Canceled);
  EXPECT_EQ(f.ui.dialogTitles.size(), dialogs);
}

TEST_F(KrigingCommands, CokrigingFitsThreeModelsInvertsTheBlockSystemAndPredicts) {
  AddSecondary();
  std::vector<float> proposed;
  f.ui.dialogHandlers.push_back(Lag(1.5f));
  f.ui.dialogHandlers.push_back(Lag(1.2f));
  f.ui.dialogHandlers.push_back([&proposed](DialogData& d) {
    proposed.push_back(dynamic_cast<FloatDialog&>(d).value);
    return true;  // accepted unchanged: the secondary width
  });
  ASSERT_EQ(f.Run(ID_VARIOGRAM), CommandStatus::Done);
  ASSERT_EQ(proposed.size(), 1u);
  EXPECT_EQ(proposed[0], 1.2f);
  EXPECT_EQ(f.ui.messages.size(), 5u);  // two data summaries, three fits
  ASSERT_TRUE(State().HasSecondary());
  ASSERT_TRUE(State().cross);
  EXPECT_EQ(State().inverse->rows, 10);

  const auto variogram = CrLfLines(FromUtf16(Bytes("variogram.txt")));
  ASSERT_EQ(variogram.size(), 3u);
  EXPECT_EQ(variogram[0].rfind("C11 : 1.500000 ", 0), 0u);
  EXPECT_EQ(variogram[1].rfind("C22 : 1.200000 ", 0), 0u);
  EXPECT_EQ(variogram[2], fmt::sprintf("C12 : %f %f %f", 1.2, State().cross->a, State().cross->c));
  EXPECT_EQ(CrLfLines(Bytes("cokriging_matrix.txt"))[0], "10 10");
  EXPECT_EQ(CrLfLines(Bytes("kriging_matrix_c12.txt"))[0], "6 4");
  EXPECT_EQ(CrLfLines(FromUtf16(Bytes("variogram_cloud_cross.txt"))).size(), 24u);
  EXPECT_TRUE(Exists("cross_distance_matrix.txt"));

  EXPECT_TRUE(f.State(ID_CROSS_VARIANCE).enabled);
  ASSERT_EQ(f.Run(ID_CROSS_VARIANCE), CommandStatus::Done);
  EXPECT_TRUE(f.State(ID_CROSS_VARIANCE).checked);
  EXPECT_FALSE(f.State(ID_CROSS_VARIANCE).enabled);

  ASSERT_EQ(f.Run(ID_PREDICTION), CommandStatus::Done);
  const auto verification = CrLfLines(FromUtf16(Bytes("cokriging_verification.txt")));
  ASSERT_EQ(verification.size(), 6u);
  for (const std::string& line : verification) {
    const auto n = Numbers(line);
    ASSERT_EQ(n.size(), 5u);
    EXPECT_NEAR(n[3], n[4], 1e-5) << line;
  }
  EXPECT_FALSE(Exists("verification.txt"));
  f.doc->variableSelection = 0;
  EXPECT_FALSE(f.State(ID_CROSS_VARIANCE).enabled);  // the map shows again
}

TEST_F(KrigingCommands, ModelsAndInverseStayTogetherAcrossRunsWithAndWithoutSecondaryData) {
  AddSecondary();
  ASSERT_EQ(CoVariogram(), CommandStatus::Done);
  const DenseMatrix* cokrigingInverse = State().inverse.get();

  // Cancelling the cross dialog of a later run keeps the whole earlier run.
  f.ui.dialogHandlers.push_back(Lag(1.0f));
  f.ui.dialogHandlers.push_back(Lag(1.0f));
  f.ui.dialogHandlers.push_back(Cancel());
  EXPECT_EQ(f.Run(ID_VARIOGRAM), CommandStatus::Canceled);
  EXPECT_EQ(State().inverse.get(), cokrigingInverse);
  EXPECT_EQ(State().SystemSize(), State().inverse->rows);

  // A run without secondary points drops the secondary and cross models.
  f.doc->secondaryData.reset();
  ASSERT_EQ(Variogram(), CommandStatus::Done);
  EXPECT_FALSE(State().secondary);
  EXPECT_FALSE(State().cross);
  EXPECT_EQ(State().inverse->rows, 6);
  ASSERT_EQ(f.Run(ID_PREDICTION), CommandStatus::Done);
  EXPECT_TRUE(Exists("verification.txt"));
}

TEST_F(KrigingCommands, SetExperimentalVariogramOnTheCrossModelRebuildsTheBlockSystem) {
  AddSecondary();
  ASSERT_EQ(CoVariogram(), CommandStatus::Done);
  f.doc->variableSelection = 2;
  f.ui.dialogHandlers.push_back([](DialogData& d) {
    auto& input = dynamic_cast<TwoFloatsDialog&>(d);
    input.value1 = 2.0f;
    input.value2 = 0.1f;
    return true;
  });
  ASSERT_EQ(f.Run(ID_SET_VARIOGRAM), CommandStatus::Done);
  EXPECT_EQ(State().cross->a, 2.0);
  EXPECT_EQ(State().inverse->rows, 10);
  const DenseMatrix system = State().CokrigingSystem();
  // The new inverse belongs to the new system.
  double s = 0;
  for (int k = 0; k < 10; ++k) s += system(0, k) * (*State().inverse)(k, 7);
  EXPECT_NEAR(s, 0.0, 1e-9);
}

// Each diagnostic file has its own place: the variogram summary and the block system go
// to the data folder of the moment, the models' files and the verification to the folder
// the kriging state was created with, the inverse dump to the current directory.
TEST_F(KrigingCommands, DiagnosticFilesGoToTheFolderEachBelongsTo) {
  namespace fs = std::filesystem;
  const fs::path first = folder_ / "first", second = folder_ / "second";
  fs::create_directory(first);
  fs::create_directory(second);
  AddSecondary();
  f.doc->dataFolder = first.string();
  ASSERT_EQ(CoVariogram(), CommandStatus::Done);
  EXPECT_EQ(State().folder, first.string());
  for (const fs::path& folder : {first, folder_.Path()})
    for (const auto& entry : fs::directory_iterator(folder))
      if (entry.is_regular_file()) fs::remove(entry.path());

  // A later data folder does not move the state's files.
  f.doc->dataFolder = second.string();
  ASSERT_EQ(CoVariogram(), CommandStatus::Done);
  f.ui.dialogHandlers.push_back([](DialogData&) { return true; });
  f.ui.dialogHandlers.push_back([](DialogData&) { return true; });
  ASSERT_EQ(f.Run(ID_PREDICTION), CommandStatus::Done);

  auto names = [](const fs::path& folder) {
    std::set<std::string> found;
    for (const auto& entry : fs::directory_iterator(folder))
      if (entry.is_regular_file()) found.insert(entry.path().filename().string());
    return found;
  };
  EXPECT_EQ(names(second), (std::set<std::string>{"variogram.txt", "cokriging_matrix.txt"}));
  EXPECT_EQ(names(first), (std::set<std::string>{
                              "variogram_optimization.txt", "kriging_matrix.txt", "kriging_matrix_c22.txt",
                              "kriging_matrix_c12.txt", "cross_distance_matrix.txt", "cross_dissimilarity_matrix.txt",
                              "variogram_cloud_cross.txt", "kriging_matrix_inv.txt", "cokriging_verification.txt"}));
  EXPECT_EQ(names(folder_.Path()).count("inverse_matrix.txt"), 1u);
  EXPECT_EQ(names(folder_.Path()).count("interpolation_0.txt"), 0u);
  EXPECT_EQ(CrLfLines(FromUtf16(Bytes("second/variogram.txt"))).size(), 3u);
}

TEST_F(KrigingCommands, BatchCommandsTakeTheirKeys) {
  std::ostringstream out, err;
  ScriptedUserInterface ui(out);
  BatchViewHost view(ui);
  test::WriteFileBytes(folder_ / "script.txt",
                       "variogram lag=1.5\nset-variogram range=2.5 sill=0.9\nprediction xmax=8 dx=0.5 dy=0.25\n"
                       "variogram cancel=yes\n");
  ASSERT_EQ(RunBatchScript((folder_ / "script.txt").string(), *f.doc, f.profile, ui, view, err), 0) << err.str();
  EXPECT_EQ(State().primary->a, 2.5);
  EXPECT_EQ(f.doc->grid->NX, 17);
  EXPECT_EQ(f.doc->grid->NY, 17);
  EXPECT_NE(out.str().find("Prediction by Kriging completed!\n"), std::string::npos);
  EXPECT_EQ(f.doc->chartMode, ChartMode::None);
}

TEST_F(KrigingCommands, BatchCokrigingTakesTheSecondaryAndCrossLagWidths) {
  AddSecondary();
  std::ostringstream out, err;
  ScriptedUserInterface ui(out);
  BatchViewHost view(ui);
  test::WriteFileBytes(folder_ / "script.txt", "variogram lag=1.5 lag2=1.2 lag12=1.3\n");
  ASSERT_EQ(RunBatchScript((folder_ / "script.txt").string(), *f.doc, f.profile, ui, view, err), 0) << err.str();
  const auto variogram = CrLfLines(FromUtf16(Bytes("variogram.txt")));
  ASSERT_EQ(variogram.size(), 3u);
  EXPECT_EQ(variogram[0].rfind("C11 : 1.500000 ", 0), 0u);
  EXPECT_EQ(variogram[1].rfind("C22 : 1.200000 ", 0), 0u);
  EXPECT_EQ(variogram[2], fmt::sprintf("C12 : %f %f %f", 1.3f, State().cross->a, State().cross->c));
  // Every message box goes to the output: two data summaries and three fits.
  EXPECT_NE(out.str().find("Number of data=6 Mean=3.083333 SD="), std::string::npos) << out.str();
  EXPECT_NE(out.str().find("\nNumber of data=4 Mean=12.000000 SD="), std::string::npos) << out.str();
  EXPECT_NE(out.str().find(fmt::sprintf("\nRange=%f Sill=%f\n", State().cross->a, State().cross->c)), std::string::npos)
      << out.str();
}

}  // namespace
}  // namespace gridora
