#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <initializer_list>
#include <sstream>
#include <string>

#include "batch/batch_runner.h"
#include "batch/batch_view_host.h"
#include "batch/scripted_user_interface.h"
#include "commands/command_ids.h"
#include "dialogs/dialogs.h"
#include "support/fake_memory.h"
#include "support/test_support.h"

namespace gridora {
namespace {

using test::DocumentFixture;

const std::string kCompleted = "Interporation by minimum curvature completed! flag=";

void SetPoints(Document& doc, std::initializer_list<DataPoint> points) {
  RandomData& data = *doc.primaryData;
  data.count = 0;
  data.StartRanges();
  for (const DataPoint& p : points) {
    data.points[data.count++] = p;
    data.ExtendRanges(p);
  }
}

// Runs every test in a fresh current folder: the command writes its log there.
class MinimumCurvatureCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(folder_.Path());
  }
  void TearDown() override { std::filesystem::current_path(previous_); }

  // Answers the origin dialog, then the area dialog, with the given keys.
  using Keys = std::vector<std::pair<const char*, const char*>>;
  void Answer(DocumentFixture& f, Keys origin, Keys area = {}) {
    f.ui.dialogHandlers.push_back([origin](DialogData& d) {
      for (auto [key, value] : origin) EXPECT_TRUE(test::SetField(d, key, value)) << key;
      return true;
    });
    f.ui.dialogHandlers.push_back([area](DialogData& d) {
      for (auto [key, value] : area) EXPECT_TRUE(test::SetField(d, key, value)) << key;
      return true;
    });
  }

  std::string Log() { return test::ReadFileBytes(folder_ / "interpolation_0.txt"); }
  bool LogExists() { return std::filesystem::exists(folder_ / "interpolation_0.txt"); }

  test::TempFolder folder_;
  std::filesystem::path previous_;
};

// A grid that a refused or cancelled run must leave exactly as it was.
void MakeOldGrid(Document& doc) {
  GridModel& grid = *doc.grid;
  ASSERT_TRUE(grid.Reshape(1, 3, 4));
  for (std::size_t k = 0; k < grid.values.size(); ++k) grid.values[k] = static_cast<float>(k) * 0.5f;
  grid.x0 = -7.0f;
  grid.DX = 3.0f;
  grid.layerMinimum[0] = 0.0f;
  grid.layerMaximum[0] = 5.5f;
}

void ExpectOldGrid(const Document& doc) {
  const GridModel& grid = *doc.grid;
  EXPECT_EQ(grid.NX, 3);
  EXPECT_EQ(grid.NY, 4);
  EXPECT_EQ(grid.x0, -7.0f);
  EXPECT_EQ(grid.DX, 3.0f);
  ASSERT_EQ(grid.values.size(), 12u);
  for (std::size_t k = 0; k < grid.values.size(); ++k) EXPECT_EQ(grid.values[k], static_cast<float>(k) * 0.5f);
  EXPECT_EQ(grid.layerMaximum[0], 5.5f);
}

TEST_F(MinimumCurvatureCommand, EnabledWithMoreThanOnePoint) {
  DocumentFixture f;
  EXPECT_FALSE(f.State(ID_MINIMUM_CURVATURE).enabled);
  SetPoints(*f.doc, {{1, 1, 1}});
  EXPECT_FALSE(f.State(ID_MINIMUM_CURVATURE).enabled);
  EXPECT_EQ(f.Run(ID_MINIMUM_CURVATURE), CommandStatus::Failed);
  EXPECT_TRUE(f.ui.dialogTitles.empty());
  SetPoints(*f.doc, {{1, 1, 1}, {2, 3, 4}});
  EXPECT_TRUE(f.State(ID_MINIMUM_CURVATURE).enabled);
}

TEST_F(MinimumCurvatureCommand, GridsThePointsAndReportsTheFlag) {
  DocumentFixture f;
  SetPoints(*f.doc, {{100, 200, 5}, {110, 210, 15}, {104, 203, 8}, {107, 208, -10000}});
  f.ui.dialogHandlers.push_back([](DialogData& d) {
    auto& origin = dynamic_cast<GridOriginDialog&>(d);
    EXPECT_EQ(origin.xMinimum, 100.0);
    EXPECT_EQ(origin.yMaximum, 210.0);
    EXPECT_EQ(origin.maxData, 0.0f);
    return true;
  });
  f.ui.dialogHandlers.push_back([](DialogData& d) {
    auto& area = dynamic_cast<GridSpacingDialog&>(d);
    EXPECT_EQ(area.mode, 1);
    EXPECT_EQ(area.W, 10.0f);
    EXPECT_EQ(area.H, 10.0f);
    EXPECT_EQ(area.nx, 11);
    EXPECT_EQ(area.ny, 11);
    EXPECT_EQ(area.dx, 1.0f);
    EXPECT_EQ(area.nz, 0);
    return test::SetField(d, "dx", "2") && test::SetField(d, "dy", "2.5");
  });
  f.doc->mapBitmapDirty = 0;
  ASSERT_EQ(f.Run(ID_MINIMUM_CURVATURE), CommandStatus::Done);

  EXPECT_EQ(f.ui.dialogTitles, (std::vector<std::string>{"Origin for interpolation", "Area for interpolation"}));
  EXPECT_EQ(f.ui.messages, (std::vector<std::string>{kCompleted + "0"}));
  const GridModel& grid = *f.doc->grid;
  EXPECT_EQ(grid.layerCount, 1);
  EXPECT_EQ(grid.NX, 6);
  EXPECT_EQ(grid.NY, 5);
  EXPECT_EQ(grid.x0, 100.0f);
  EXPECT_EQ(grid.y0, 200.0f);
  EXPECT_EQ(grid.DX, 2.0f);
  EXPECT_EQ(grid.DY, 2.5f);
  // The data pull the corner nodes; the excluded point is still in the distances.
  EXPECT_NEAR(grid.Value(0, 0, 0), 5.0f, 0.5f);
  EXPECT_NEAR(grid.Value(0, 5, 4), 15.0f, 0.5f);
  EXPECT_EQ(grid.Distance(0, 0), 0.0f);
  EXPECT_FLOAT_EQ(grid.Distance(3, 3), std::sqrt(1.25f));  // node (106, 207.5), excluded point (107, 208)
  float low = 1e30f, high = -1e30f;
  for (float v : grid.values) low = std::min(low, v), high = std::max(high, v);
  EXPECT_EQ(grid.layerMinimum[0], low);
  EXPECT_EQ(grid.layerMaximum[0], high);
  EXPECT_GT(low, -10.0f);  // the -10000 value took no part

  EXPECT_EQ(f.doc->mapBitmapDirty, 1);
  EXPECT_EQ(f.view.updates, 1);
  EXPECT_EQ(f.profile.Raw("General", "CellSizeXOrg"), "2.000000");
  EXPECT_EQ(f.profile.Raw("General", "CellSizeYOrg"), "2.500000");
  EXPECT_EQ(Log().rfind("np=4\r\n1 0.000000 0.000000 5.000000 \r\n2 10.000000 10.000000 15.000000 \r\n"
                        "3 4.000000 3.000000 8.000000 \r\n0 yg=0.000000 \r\n",
                        0),
            0u);
  // The stored points are not shifted.
  EXPECT_EQ(f.doc->primaryData->points[0].x, 100.0);
}

TEST_F(MinimumCurvatureCommand, NodeCountsFromExtentAndSpacing) {
  struct Case {
    const char* xmax;
    const char* dx;
    int nx;
  } cases[] = {
      {"10", "1", 11},      // a multiple: the last node lies on the edge
      {"10.5", "1", 12},    // otherwise one node beyond
      {"9.9995", "1", 11},  // less than 0.001 cells short counts as the multiple
      {"10", "2.5", 5},    {"10", "3", 5},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.xmax);
    DocumentFixture f;
    SetPoints(*f.doc, {{0, 0, 1}, {10, 4, 2}});
    Answer(f, {{"xmin", "0"}, {"xmax", c.xmax}}, {{"dx", c.dx}});
    ASSERT_EQ(f.Run(ID_MINIMUM_CURVATURE), CommandStatus::Done);
    EXPECT_EQ(f.doc->grid->NX, c.nx);
    EXPECT_EQ(f.doc->grid->NY, 5);
    EXPECT_EQ(f.doc->primaryData->xMaximum, std::stod(c.xmax));
  }
}

TEST_F(MinimumCurvatureCommand, LogFileLinesInOrder) {
  DocumentFixture f;
  SetPoints(*f.doc, {{0, 0, 5}, {0.5, 0.5, -10000}, {1, 1, 5}});
  ASSERT_EQ(f.Run(ID_MINIMUM_CURVATURE), CommandStatus::Done);
  EXPECT_EQ(Log(),
            "np=3\r\n"
            "1 0.000000 0.000000 5.000000 \r\n"
            "3 1.000000 1.000000 5.000000 \r\n"
            "0 yg=0.000000 \r\n1 yg=1.000000 \r\n"
            "0 yg=0.000000 \r\n1 yg=1.000000 \r\n"
            " 0 0 5.000000 \r\n 0 1 5.000000 \r\n 1 0 5.000000 \r\n 1 1 5.000000 \r\n");
}

TEST_F(MinimumCurvatureCommand, ALogThatCannotBeCreatedDoesNotStopTheGridding) {
  DocumentFixture f;
  SetPoints(*f.doc, {{0, 0, 5}, {3, 2, 7}});
  std::filesystem::create_directory("interpolation_0.txt");  // in the way of the log
  ASSERT_EQ(f.Run(ID_MINIMUM_CURVATURE), CommandStatus::Done);
  EXPECT_EQ(f.ui.messages, (std::vector<std::string>{kCompleted + "0"}));
  EXPECT_EQ(f.doc->grid->NX, 4);
  EXPECT_NEAR(f.doc->grid->Value(0, 3, 2), 7.0f, 0.5f);
}

TEST_F(MinimumCurvatureCommand, NoPointInsideTheGridGivesZeros) {
  DocumentFixture f;
  SetPoints(*f.doc, {{0, 0, 5}, {1, 1, 7}});
  Answer(f, {{"xmin", "50"}, {"ymin", "50"}, {"xmax", "60"}, {"ymax", "55"}});
  ASSERT_EQ(f.Run(ID_MINIMUM_CURVATURE), CommandStatus::Done);
  // Nothing pins the grid down: the factorisation meets a zero pivot.
  EXPECT_EQ(f.ui.messages, (std::vector<std::string>{kCompleted + "-2"}));
  for (float v : f.doc->grid->values) EXPECT_EQ(v, 0.0f);
  EXPECT_EQ(f.doc->grid->layerMaximum[0], 0.0f);
  EXPECT_NEAR(f.doc->grid->Distance(0, 0), std::hypot(49.0f, 49.0f), 1e-3);
}

TEST_F(MinimumCurvatureCommand, CancelledDialogsChangeNoGrid) {
  DocumentFixture f;
  SetPoints(*f.doc, {{0, 0, 5}, {4, 3, 7}});
  MakeOldGrid(*f.doc);

  f.ui.dialogHandlers.push_back([](DialogData& d) { return test::SetField(d, "xmax", "9") && false; });
  EXPECT_EQ(f.Run(ID_MINIMUM_CURVATURE), CommandStatus::Canceled);
  EXPECT_EQ(f.doc->primaryData->xMaximum, 4.0f);

  // A confirmed origin is forgotten when the area is cancelled: the next run proposes
  // the points' ranges again.
  f.ui.dialogHandlers.push_back([](DialogData& d) { return test::SetField(d, "xmax", "9"); });
  f.ui.dialogHandlers.push_back([](DialogData&) { return false; });
  EXPECT_EQ(f.Run(ID_MINIMUM_CURVATURE), CommandStatus::Canceled);
  EXPECT_EQ(f.doc->primaryData->xMaximum, 4.0f);

  ExpectOldGrid(*f.doc);
  EXPECT_TRUE(f.ui.messages.empty());
  EXPECT_FALSE(LogExists());
  EXPECT_FALSE(f.profile.Has("General", "CellSizeXOrg"));
}

// Cancels at the n-th poll of the progress.
class CancelAtPoll : public Feedback {
 public:
  CancelAtPoll(int n, int& polls) : n_(n), polls_(polls) {}
  void SetProgress(double) override {}
  bool IsCanceled() const override { return polls_++ >= n_; }

 private:
  int n_;
  int& polls_;
};

class CancellingInterface : public test::FakeUserInterface {
 public:
  std::unique_ptr<Feedback> BeginProgress(const std::string&) override {
    polls = 0;
    return std::make_unique<CancelAtPoll>(cancelAt, polls);
  }
  int cancelAt = 0;
  int polls = 0;
};

TEST_F(MinimumCurvatureCommand, CancelAtAnyStageLeavesTheGridAsItWas) {
  DocumentFixture f;
  CancellingInterface ui;
  CommandContext context{*f.doc, ui, f.view, f.profile};
  SetPoints(*f.doc, {{0, 0, 5}, {40, 30, 7}, {12, 20, -3}});
  MakeOldGrid(*f.doc);
  // Every poll in turn, until the run gets through all of them.
  for (ui.cancelAt = 0;; ++ui.cancelAt) {
    SCOPED_TRACE(ui.cancelAt);
    ui.dialogHandlers.push_back([](DialogData&) { return true; });
    ui.dialogHandlers.push_back([](DialogData& d) { return test::SetField(d, "dx", "0.5"); });
    const CommandStatus status = f.table.Execute(ID_MINIMUM_CURVATURE, context);
    if (status == CommandStatus::Done) break;
    ASSERT_EQ(status, CommandStatus::Canceled);
    ExpectOldGrid(*f.doc);
    EXPECT_EQ(f.doc->primaryData->xMaximum, 40.0f);
    EXPECT_TRUE(ui.messages.empty());
    EXPECT_EQ(f.view.Repaints(), 0);
    ASSERT_LT(ui.cancelAt, 1000);
  }
  EXPECT_GE(ui.cancelAt, 4);  // assembly, ordering, factorisation and distances all poll
  EXPECT_EQ(f.doc->grid->NX, 81);
  EXPECT_EQ(ui.messages, (std::vector<std::string>{kCompleted + "0"}));
}

TEST_F(MinimumCurvatureCommand, DegenerateInputIsRefusedBeforeAnythingChanges) {
  // The dialogs refuse what they can judge while open (the user then gives up: Cancel),
  // the memory a grid needs among it; the node count limit is judged by the command.
  const CommandStatus inDialog = CommandStatus::Canceled, byCommand = CommandStatus::Failed;
  struct Case {
    const char* what;
    std::vector<std::pair<const char*, const char*>> origin, area;
    const char* message;
    CommandStatus status;
  } cases[] = {
      {"no extent in X", {{"xmax", "0"}}, {}, "The area is empty", inDialog},
      {"maximum below minimum in Y", {{"ymin", "5"}, {"ymax", "1"}}, {}, "The area is empty", inDialog},
      {"zero spacing", {}, {{"dx", "0"}}, "DX must be greater than 0", inDialog},
      {"negative spacing", {}, {{"dy", "-1"}}, "DY must be greater than 0", inDialog},
      {"a spacing too small to count", {}, {{"dx", "1e-30"}}, "DX=1e-30 and DY=1 give about", inDialog},
      {"more memory than the machine can spare",
       {{"xmax", "9000"}, {"ymax", "9000"}},
       {},
       "Cannot interpolate: a grid of 9001 x 9001 nodes needs about",
       inDialog},
      {"more nodes than a computed grid may have",
       {{"xmax", "40000"}, {"ymax", "40000"}},
       {},
       "Cannot interpolate: DX=1 and DY=1 give a grid of 40001 x 40001 nodes (1,600,080,001)",
       byCommand},
  };
  const test::FakeMemory memory({4 * test::kGiB, std::nullopt, std::nullopt});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    DocumentFixture f;
    SetPoints(*f.doc, {{0, 0, 5}, {4, 3, 7}});
    MakeOldGrid(*f.doc);
    f.ui.dialogHandlers.push_back([&c](DialogData& d) {
      for (auto [key, value] : c.origin) EXPECT_TRUE(test::SetField(d, key, value)) << key;
      return true;
    });
    if (!c.area.empty())
      f.ui.dialogHandlers.push_back([&c](DialogData& d) {
        for (auto [key, value] : c.area) EXPECT_TRUE(test::SetField(d, key, value)) << key;
        return true;
      });
    EXPECT_EQ(f.Run(ID_MINIMUM_CURVATURE), c.status);
    ASSERT_EQ(f.ui.messages.size(), 1u);
    EXPECT_EQ(f.ui.messages[0].rfind(c.message, 0), 0u) << f.ui.messages[0];
    ExpectOldGrid(*f.doc);
    const RandomData& data = *f.doc->primaryData;
    EXPECT_EQ(data.xMinimum, 0.0f);
    EXPECT_EQ(data.xMaximum, 4.0f);
    EXPECT_EQ(data.yMaximum, 3.0f);
    EXPECT_FALSE(LogExists());
    EXPECT_FALSE(f.profile.Has("General", "CellSizeXOrg"));
    EXPECT_EQ(f.view.Repaints(), 0);
  }
}

TEST_F(MinimumCurvatureCommand, BatchCommandTakesTheDialogKeys) {
  MemoryProfile profile;
  Document doc{profile};
  std::ostringstream out, err;
  ScriptedUserInterface ui{out};
  BatchViewHost view{ui};
  SetPoints(doc, {{0, 0, 5}, {4, 3, 7}, {1, 2, 6}});
  test::WriteFileBytes("script.txt", "min-curvature xmax=6 ymax=4 dx=2 dy=0.5\nmin-curvature cancel=yes\n");
  EXPECT_EQ(RunBatchScript("script.txt", doc, profile, ui, view, err), 0) << err.str();
  EXPECT_EQ(out.str(), kCompleted + "0\n");
  EXPECT_EQ(doc.grid->NX, 4);
  EXPECT_EQ(doc.grid->NY, 9);

  SetPoints(doc, {{0, 0, 5}});
  test::WriteFileBytes("script.txt", "min-curvature\n");
  EXPECT_EQ(RunBatchScript("script.txt", doc, profile, ui, view, err), 2);
}

}  // namespace
}  // namespace gridora
