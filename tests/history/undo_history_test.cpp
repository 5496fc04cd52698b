// Undo and redo through the batch mode, the modified mark, and the bounds on what the
// history keeps.
#include <gtest/gtest.h>

#include <fmt/format.h>

#include <memory>
#include <string>
#include <vector>

#include "history/document_history.h"
#include "support/batch_run.h"

namespace gridora {
namespace {

using test::BatchRun;

// 200 points on a 20 x 10 lattice of spacing 1 with z = x + 2 y: a block reduction with
// cells of 5 keeps one point per 5 x 5 cell (4 x 2 of them).
std::string LatticeFile() {
  std::string text;
  for (int j = 0; j < 10; ++j)
    for (int i = 0; i < 20; ++i) text += fmt::format("{} {} {}\n", i, j, i + 2 * j);
  return text;
}

std::vector<DataPoint> Points(const RandomData& data) {
  return std::vector<DataPoint>(data.points.get(), data.points.get() + data.count);
}

bool SamePoints(const std::vector<DataPoint>& a, const std::vector<DataPoint>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (a[i].x != b[i].x || a[i].y != b[i].y || a[i].z != b[i].z) return false;
  return true;
}

struct UndoRun : BatchRun {
  UndoRun() { test::WriteFileBytes(folder / "wells.xyz", LatticeFile()); }
};

TEST(UndoHistory, BlockReduceIsUndoneAndRedone) {
  UndoRun run;
  ASSERT_EQ(run.Run("open-random wells.xyz\n"), 0) << run.err.str();
  const std::vector<DataPoint> original = Points(*run.doc.primaryData);
  ASSERT_EQ(original.size(), 200u);

  ASSERT_EQ(run.Run("block-reduce cell=5\n"), 0) << run.err.str();
  const std::vector<DataPoint> reduced = Points(*run.doc.primaryData);
  ASSERT_EQ(reduced.size(), 8u);

  ASSERT_EQ(run.Run("undo\n"), 0) << run.err.str();
  EXPECT_TRUE(SamePoints(Points(*run.doc.primaryData), original));
  EXPECT_EQ(run.doc.primaryData->xMaximum, 19.0);
  ASSERT_EQ(run.Run("redo\n"), 0) << run.err.str();
  EXPECT_TRUE(SamePoints(Points(*run.doc.primaryData), reduced));
  // Undo past the reduction and the import: the empty document the script started with.
  ASSERT_EQ(run.Run("undo\nundo\n"), 0) << run.err.str();
  EXPECT_EQ(run.doc.primaryData->count, 0);
}

TEST(UndoHistory, UndoAfterGriddingRestoresThePreviousGrid) {
  UndoRun run;
  ASSERT_EQ(run.Run("open-random wells.xyz\nmin-curvature dx=1 dy=1\n"), 0) << run.err.str();
  const GridModel first = *run.doc.grid;
  const float maximumBefore = run.doc.contourMaximum;
  ASSERT_EQ(first.NX, 20);
  ASSERT_EQ(run.Run("contour-setup min=0 max=40 int=5\nmin-curvature dx=0.5 dy=0.5\n"), 0) << run.err.str();
  ASSERT_EQ(run.doc.grid->NX, 39);

  ASSERT_EQ(run.Run("undo\n"), 0) << run.err.str();
  EXPECT_EQ(run.doc.grid->NX, first.NX);
  EXPECT_EQ(run.doc.grid->DX, first.DX);
  EXPECT_EQ(run.doc.grid->values, first.values);
  EXPECT_EQ(run.doc.grid->dataDistance, first.dataDistance);
  // The levels set before the second gridding stay; one more undo takes them back.
  EXPECT_EQ(run.doc.contourMaximum, 40.0f);
  ASSERT_EQ(run.Run("undo\n"), 0) << run.err.str();
  EXPECT_EQ(run.doc.contourMaximum, maximumBefore);
  EXPECT_EQ(run.doc.grid->values, first.values);
}

TEST(UndoHistory, NothingToUndoOrRedoIsDisabled) {
  struct Case {
    const char* script;
    const char* err;
  } cases[] = {
      {"undo\n", "script.txt:1: undo is disabled now"},
      {"redo\n", "script.txt:1: redo is disabled now"},
      {"open-random wells.xyz\nundo\nredo\nredo\n", "script.txt:4: redo is disabled now"},
      // A new document has nothing to undo.
      {"open-random wells.xyz\nnew\nundo\n", "script.txt:3: undo is disabled now"},
      // A new command drops what could be redone.
      {"open-random wells.xyz\nblock-reduce cell=5\nundo\nblock-reduce cell=4\nredo\n",
       "script.txt:5: redo is disabled now"},
  };
  for (const auto& c : cases) {
    UndoRun run;
    EXPECT_EQ(run.Run(c.script), 2) << c.script;
    EXPECT_NE(run.err.str().find(c.err), std::string::npos) << c.script << run.err.str();
  }
}

TEST(UndoHistory, ModifiedMarkFollowsChangesSavesAndNew) {
  struct Case {
    const char* script;
    bool modified;
  } cases[] = {
      {"", false},
      {"open-random wells.xyz\n", true},
      {"open-random wells.xyz\nsave wells.snp\n", false},
      {"open-random wells.xyz\nsave wells.snp\ncolor-target\n", true},
      {"open-random wells.xyz\nsave wells.snp\nshow-random-data\n", true},
      // The scales are the view's, not the document's: zooming changes nothing to save.
      {"open-random wells.xyz\nsave wells.snp\nzoom-x-in\nkey-up\n", false},
      // Undo back to the state saved leaves nothing unsaved; past it, or redo, does.
      {"open-random wells.xyz\nsave wells.snp\nblock-reduce cell=5\nundo\n", false},
      {"open-random wells.xyz\nsave wells.snp\nblock-reduce cell=5\nundo\nredo\n", true},
      {"open-random wells.xyz\nsave wells.snp\nundo\n", true},
      {"open-random wells.xyz\nblock-reduce cell=5\nsave wells.snp\nundo\nblock-reduce cell=4\nundo\n", true},
      {"open-random wells.xyz\nnew\n", false},
      {"open-random wells.xyz\nsave wells.snp\nnew\nopen wells.snp\n", false},
  };
  for (const auto& c : cases) {
    UndoRun run;
    ASSERT_EQ(run.Run(c.script), 0) << c.script << run.err.str();
    EXPECT_EQ(run.doc.modified, c.modified) << c.script;
  }
}

TEST(UndoHistory, NewEmptiesTheDocument) {
  UndoRun run;
  ASSERT_EQ(run.Run("open-random wells.xyz\nmin-curvature dx=1 dy=1\nnew\n"), 0) << run.err.str();
  EXPECT_EQ(run.doc.primaryData->count, 0);
  EXPECT_FALSE(run.doc.grid->HasValues());
  EXPECT_TRUE(run.doc.pathName.empty());
}

TEST(UndoHistory, StepsThatLeaveTheGridAloneShareIt) {
  UndoRun run;
  ASSERT_EQ(run.Run("open-random wells.xyz\nmin-curvature dx=0.25 dy=0.25\n"), 0) << run.err.str();
  const GridModel& g = *run.doc.grid;
  const std::size_t gridBytes = (g.values.size() + g.dataDistance.size()) * sizeof(float) + g.emptyNodes.size();
  // Twenty toggles: twenty steps, every one holding the same grid.
  std::string toggles;
  for (int i = 0; i < 20; ++i) toggles += "contour-labels\n";
  ASSERT_EQ(run.Run(toggles), 0) << run.err.str();
  ASSERT_TRUE(run.doc.history);
  EXPECT_EQ(run.doc.history->UndoSteps(), 22u);
  // The empty grid and points before the gridding, the gridded one, and the points.
  EXPECT_LE(run.doc.history->Bytes(), gridBytes + 2 * 200 * sizeof(DataPoint));
}

TEST(UndoHistory, StepsStayWithinTheBounds) {
  UndoRun run;
  ASSERT_EQ(run.Run("open-random wells.xyz\nmin-curvature dx=1 dy=1\n"), 0) << run.err.str();
  const std::size_t grid = run.doc.grid->values.size() * sizeof(float) * 2;
  struct Case {
    std::size_t steps, bytes, expectedSteps;
  } cases[] = {
      {3, DocumentHistory::kDefaultBytes, 3},
      // A document larger than the bytes allowed is not followed: no steps at all.
      {50, grid + 2 * 200 * sizeof(DataPoint) + grid / 2, 0},
  };
  for (const auto& c : cases) {
    run.doc.history = std::make_shared<DocumentHistory>(c.steps, c.bytes);
    for (double spacing : {0.5, 1.0, 0.5, 1.0}) {
      ASSERT_EQ(run.Run(fmt::format("min-curvature dx={} dy={}\n", spacing, spacing)), 0) << run.err.str();
    }
    EXPECT_LE(run.doc.history->UndoSteps(), c.expectedSteps) << c.steps;
    EXPECT_LE(run.doc.history->Bytes(), c.bytes) << c.steps;
  }
}

}  // namespace
}  // namespace gridora
