#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "batch/batch_runner.h"
#include "batch/batch_script.h"
#include "batch/batch_view_host.h"
#include "batch/scripted_user_interface.h"
#include "platform/profile.h"
#include "support/batch_run.h"
#include "support/test_support.h"
#include "view/document.h"

namespace gridora {
namespace {

TEST(BatchScript, ParsesNamesArgumentsQuotedValuesAndComments) {
  std::string error;
  EXPECT_FALSE(ParseBatchLine("   ", 1, error));
  EXPECT_FALSE(ParseBatchLine("# comment", 1, error));
  auto line = ParseBatchLine("open \"my file.csv\" colskip=2 xtitle=\"Distance (m)\"", 3, error);
  ASSERT_TRUE(line) << error;
  EXPECT_EQ(line->name, "open");
  EXPECT_EQ(line->argument, "my file.csv");
  EXPECT_EQ(line->keys.at("colskip"), "2");
  EXPECT_EQ(line->keys.at("xtitle"), "Distance (m)");
  EXPECT_FALSE(ParseBatchLine("open \"unbalanced", 4, error));
  EXPECT_FALSE(error.empty());
}

using test::BatchRun;

TEST(BatchRunner, RunsViewCommandsWithDialogKeys) {
  BatchRun run;
  ASSERT_TRUE(run.doc.grid->Reshape(1, 3, 3));
  EXPECT_EQ(run.Run("# scales\nzoom-x-in\nkey-up\naxis-setup xstart=0 xend=100 xint=30 ystart=0 yend=10 yint=1 "
                    "xtitle=\"Distance (m)\"\nproperty dx=2.5\n"),
            0)
      << run.err.str();
  EXPECT_EQ(run.doc.grid->xTickCount, 4);
  EXPECT_EQ(run.doc.grid->xTitle, "Distance (m)");
  EXPECT_EQ(run.doc.grid->DX, 2.5f);
  EXPECT_FLOAT_EQ(run.doc.grid->scaleX, 2.0f);
}

TEST(BatchRunner, FieldsWithoutKeysRoundTripThroughTheirDisplayFormat) {
  BatchRun run;
  ASSERT_TRUE(run.doc.grid->Reshape(1, 3, 3));
  run.doc.grid->x0 = 222.038223f;
  EXPECT_EQ(run.Run("property\n"), 0);
  EXPECT_EQ(run.doc.grid->x0, 222.038223f);
}

TEST(BatchRunner, StopsWithStatusTwoAtTheFirstBadLine) {
  struct Case {
    std::string script;
    std::string stdoutText;
    std::string errPart;
  } cases[] = {
      {"property dx=abc\n", "Enter a number.\n", "script.txt:1:"},
      {"zoom-x-in\nfrobnicate\nzoom-x-in\n", "", "script.txt:2: unknown command"},
      {"property bogus=1\n", "", "unknown key 'bogus'"},
      {"axis-setup\n", "", "disabled"},
      {"delete-all answer=maybe\n", "Are you sure to delete all current data?\n", "answer"},
  };
  for (const auto& c : cases) {
    BatchRun run;
    if (c.script.rfind("property", 0) == 0) {
      ASSERT_TRUE(run.doc.grid->Reshape(1, 2, 2));
    }
    EXPECT_EQ(run.Run(c.script), 2) << c.script;
    EXPECT_EQ(run.out.str(), c.stdoutText) << c.script;
    EXPECT_NE(run.err.str().find(c.errPart), std::string::npos) << run.err.str();
  }
  BatchRun stopped;
  stopped.Run("zoom-x-in\nfrobnicate\nzoom-x-in\n");
  EXPECT_FLOAT_EQ(stopped.doc.grid->scaleX, std::sqrt(2.0f));  // nothing after the bad line ran
}

TEST(BatchRunner, QuestionsPrintAndTakeTheirAnswer) {
  BatchRun run;
  run.doc.primaryData->count = 3;
  EXPECT_EQ(run.Run("delete-all answer=no\n"), 0);
  EXPECT_EQ(run.doc.primaryData->count, 3);
  EXPECT_EQ(run.out.str(), "Are you sure to delete all current data?\n");
  EXPECT_EQ(run.Run("delete-all\n"), 0);
  EXPECT_EQ(run.doc.primaryData->count, 0);
}

TEST(BatchRunner, CancelKeepsTheDocument) {
  BatchRun run;
  ASSERT_TRUE(run.doc.grid->Reshape(1, 2, 2));
  EXPECT_EQ(run.Run("property dx=9 cancel=yes\n"), 0);
  EXPECT_EQ(run.doc.grid->DX, 1.0f);
}

}  // namespace
}  // namespace gridora

namespace gridora {
namespace {

// A 13 x 3 grid with values 0..12 along X, in the run's folder.
void ThirteenColumns(test::BatchRun& run) {
  GridModel& grid = *run.doc.grid;
  ASSERT_TRUE(grid.Reshape(1, 13, 3));
  for (int ix = 0; ix < 13; ++ix)
    for (int iy = 0; iy < 3; ++iy) grid.Value(0, ix, iy) = static_cast<float>(ix);
  grid.ComputeLayerRange(0);
  run.doc.dataFolder = run.folder.Path().string();
}

TEST(BatchRunner, CommandsThatReadTheDrawingSeeThePaintedView) {
  test::BatchRun painted, unpainted;
  ThirteenColumns(painted);
  ThirteenColumns(unpainted);
  // As the window leaves it after drawing the whole 13-column grid.
  painted.view.TakeRepaint();
  painted.doc.grid->xLastDrawn = 12.0f;
  ASSERT_EQ(painted.Run("average-x xmin=0 xint=4\n"), 0) << painted.err.str();
  // No render: the batch mode paints its view first, as the window always has.
  ASSERT_EQ(unpainted.Run("average-x xmin=0 xint=4\n"), 0) << unpainted.err.str();
  EXPECT_EQ(unpainted.doc.grid->xLastDrawn, 12.0f);
  EXPECT_EQ(test::ReadFileBytes(unpainted.folder / "average_x.csv"),
            test::ReadFileBytes(painted.folder / "average_x.csv"));
}

}  // namespace
}  // namespace gridora
