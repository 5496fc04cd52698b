#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "batch/batch_runner.h"
#include "batch/batch_view_host.h"
#include "batch/scripted_user_interface.h"
#include "commands/command_ids.h"
#include "dialogs/dialogs.h"
#include "render/color_scale.h"
#include "support/batch_run.h"
#include "support/test_support.h"
#include "view/contour_map.h"

namespace gridora {
namespace {

using test::DocumentFixture;
using test::SetField;

// A 2 x 2 grid whose layer 0 runs from `low` to `high`.
void MakeGrid(Document& doc, float low, float high) {
  GridModel& g = *doc.grid;
  ASSERT_TRUE(g.Reshape(1, 2, 2));
  g.Value(0, 0, 0) = low;
  g.Value(0, 1, 1) = high;
  g.layerMinimum[0] = low;
  g.layerMaximum[0] = high;
}

struct Shown {
  float minimum = 0, maximum = 0, interval = 0;
};

// Records what the dialog shows, then types the given values (nullptr: keep).
std::function<bool(DialogData&)> ContourDialog(Shown* shown, const char* minimum, const char* maximum,
                                               const char* interval, bool ok = true) {
  return [=](DialogData& d) {
    auto& dialog = dynamic_cast<ContourSetupDialog&>(d);
    if (shown) *shown = {dialog.minimum, dialog.maximum, dialog.interval};
    if (minimum) {
      EXPECT_TRUE(SetField(d, "min", minimum));
    }
    if (maximum) {
      EXPECT_TRUE(SetField(d, "max", maximum));
    }
    if (interval) {
      EXPECT_TRUE(SetField(d, "int", interval));
    }
    return ok;
  };
}

TEST(ContourSetup, PrimesFromTheDataThenStoresTheLevels) {
  DocumentFixture f;
  MakeGrid(*f.doc, 2.0f, 36.0f);
  f.doc->mapBitmapDirty = 0;
  Shown shown;
  f.ui.dialogHandlers.push_back(ContourDialog(&shown, "0", "10", "1"));
  ASSERT_EQ(f.Run(ID_CONTOUR_SETUP), CommandStatus::Done);
  EXPECT_EQ(f.ui.dialogTitles, (std::vector<std::string>{"Contour setup"}));
  EXPECT_EQ(shown.minimum, 2.0f);
  EXPECT_EQ(shown.interval, 1.0f);  // (36 - 2) / 34
  EXPECT_EQ(shown.maximum, 37.0f);  // minimum + 35 intervals

  const GridModel& g = *f.doc->grid;
  EXPECT_EQ(g.userLevels, 1);
  EXPECT_EQ(f.doc->mapBitmapDirty, 1);
  EXPECT_EQ(f.view.invalidations, 1);
  EXPECT_EQ(f.doc->contourMinimum, 0.0f);
  EXPECT_EQ(f.doc->contourMaximum, 10.0f);
  EXPECT_EQ(f.doc->contourInterval, 1.0f);
  ASSERT_EQ(g.contourLevels.count, 11);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(g.contourLevels.levels[i], static_cast<float>(i));
  EXPECT_EQ(g.contourLevels.levels[10], static_cast<float>(10.0 - 0.000001));
  EXPECT_LT(g.contourLevels.levels[10], 10.0f);

  // The next drawing colours with levels 0..9 and the open top.
  float low = 0, high = 0;
  SetupColorLevels(*f.doc, low, high);
  const ColorScale& scale = *f.doc->colorScale;
  ASSERT_EQ(scale.levelCount, 11);
  EXPECT_EQ(scale.levels[9], 9.0f);
  EXPECT_EQ(scale.levels[10], 1e8f);
  EXPECT_EQ(scale.LevelColor(3), Rgb(scale.redTable[10], scale.greenTable[10], scale.blueTable[10]));

  // Opened again, the dialog shows the user's values unchanged.
  f.ui.dialogHandlers.push_back(ContourDialog(&shown, nullptr, nullptr, nullptr, false));
  EXPECT_EQ(f.Run(ID_CONTOUR_SETUP), CommandStatus::Canceled);
  EXPECT_EQ(shown.minimum, 0.0f);
  EXPECT_EQ(shown.maximum, 10.0f);
  EXPECT_EQ(shown.interval, 1.0f);
  EXPECT_EQ(f.doc->grid->contourLevels.count, 11);
}

TEST(ContourSetup, PrimingWithLogUsesTheLogarithmsOfTheRange) {
  DocumentFixture f;
  MakeGrid(*f.doc, 10.0f, 1000.0f);
  f.doc->logScale = 1;
  Shown shown;
  f.ui.dialogHandlers.push_back(ContourDialog(&shown, nullptr, nullptr, nullptr, false));
  EXPECT_EQ(f.Run(ID_CONTOUR_SETUP), CommandStatus::Canceled);
  EXPECT_EQ(shown.minimum, 1.0f);
  EXPECT_EQ(shown.interval, 2.0f / 34.0f);
  // Cancel keeps only the priming.
  EXPECT_EQ(f.doc->grid->contourLevels.count, 36);
  EXPECT_EQ(f.doc->grid->userLevels, 0);
  EXPECT_EQ(f.view.invalidations, 0);
}

TEST(ContourSetup, LevelCountIsCappedAt37) {
  DocumentFixture f;
  MakeGrid(*f.doc, 0.0f, 1.0f);
  f.ui.dialogHandlers.push_back(ContourDialog(nullptr, "0", "100", "1"));
  ASSERT_EQ(f.Run(ID_CONTOUR_SETUP), CommandStatus::Done);
  EXPECT_EQ(f.doc->grid->contourLevels.count, 37);
  EXPECT_EQ(f.doc->grid->contourLevels.levels[35], 35.0f);
  f.ui.dialogHandlers.push_back(ContourDialog(nullptr, "5", "5", "1"));
  ASSERT_EQ(f.Run(ID_CONTOUR_SETUP), CommandStatus::Done);
  EXPECT_EQ(f.doc->grid->contourLevels.count, 1);
}

TEST(ContourSetup, RefusedValuesKeepTheDialogOpenUntilCorrected) {
  struct Case {
    const char *minimum, *maximum, *interval;
  } cases[] = {{"0", "10", "0"}, {"0", "10", "-1"}, {"10", "0", "1"}, {"0", "inf", "1"}, {"nan", "1", "1"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.minimum << " " << c.maximum << " " << c.interval);
    DocumentFixture f;
    MakeGrid(*f.doc, 0.0f, 1.0f);
    f.doc->mapBitmapDirty = 0;
    Shown again;
    f.ui.dialogHandlers.push_back(ContourDialog(nullptr, c.minimum, c.maximum, c.interval));
    f.ui.dialogHandlers.push_back(ContourDialog(&again, "0", "4", "2"));
    ASSERT_EQ(f.Run(ID_CONTOUR_SETUP), CommandStatus::Done);
    ASSERT_EQ(f.ui.messages.size(), 1u);
    EXPECT_EQ(f.ui.messages[0],
              "The interval must be greater than 0, and the maximum must not be less than the minimum.");
    EXPECT_EQ(f.ui.dialogTitles.size(), 1u);  // one dialog, kept open
    EXPECT_EQ(f.doc->grid->contourLevels.count, 3);
    EXPECT_EQ(f.doc->contourInterval, 2.0f);
  }
}

TEST(ContourSetup, GivingUpOnRefusedValuesChangesNothing) {
  DocumentFixture f;
  MakeGrid(*f.doc, 0.0f, 1.0f);
  f.doc->mapBitmapDirty = 0;
  f.ui.dialogHandlers.push_back(ContourDialog(nullptr, "0", "10", "0"));
  // No further answer: the user leaves the dialog with Cancel.
  EXPECT_EQ(f.Run(ID_CONTOUR_SETUP), CommandStatus::Canceled);
  EXPECT_EQ(f.ui.messages.size(), 1u);
  EXPECT_EQ(f.doc->grid->userLevels, 0);
  EXPECT_EQ(f.doc->grid->contourLevels.count, 36);
  EXPECT_EQ(f.doc->mapBitmapDirty, 0);
  EXPECT_EQ(f.view.invalidations, 0);
}

TEST(ColorCommands, UpdateRules) {
  DocumentFixture f;
  for (int id : {ID_CONTOUR_SETUP, ID_DEFAULT_CONTOUR, ID_LOG, ID_SHOW_RANDOM_DATA, ID_COLOR_MODE_1})
    EXPECT_FALSE(f.State(id).enabled) << id;
  for (int id : {ID_COLOR_TARGET, ID_HIDE_FAR_NODES, ID_MAX_DISTANCE, ID_CONTOUR})
    EXPECT_TRUE(f.State(id).enabled) << id;

  ASSERT_TRUE(f.doc->grid->Reshape(1, 1, 1));
  EXPECT_TRUE(f.State(ID_DEFAULT_CONTOUR).enabled);
  EXPECT_FALSE(f.State(ID_CONTOUR_SETUP).enabled);

  MakeGrid(*f.doc, 0.0f, 5.0f);
  EXPECT_TRUE(f.State(ID_CONTOUR_SETUP).enabled);
  EXPECT_FALSE(f.State(ID_LOG).enabled);  // minimum 0
  f.doc->grid->layerMinimum[0] = 0.5f;
  EXPECT_TRUE(f.State(ID_LOG).enabled);
  f.doc->grid->layerMaximum[0] = -1.0f;
  EXPECT_FALSE(f.State(ID_LOG).enabled);

  EXPECT_TRUE(f.State(ID_COLOR_MODE_0).checked);
  EXPECT_FALSE(f.State(ID_COLOR_MODE_0).enabled);
  EXPECT_TRUE(f.State(ID_COLOR_MODE_2).enabled);
  EXPECT_FALSE(f.State(ID_COLOR_MODE_2).checked);

  EXPECT_TRUE(f.State(ID_SHOW_RANDOM_DATA).checked);
  f.doc->primaryData->count = 1;
  EXPECT_TRUE(f.State(ID_SHOW_RANDOM_DATA).enabled);
}

TEST(ColorCommands, TogglesMarkThePixelMapAndRedraw) {
  struct Case {
    int id;
    int Document::*docFlag;
    int GridModel::*gridFlag;
    bool dirties;
  } cases[] = {{ID_COLOR_TARGET, nullptr, &GridModel::reverseColors, true},
               {ID_LOG, &Document::logScale, nullptr, true},
               {ID_HIDE_FAR_NODES, nullptr, &GridModel::hideFarNodes, true},
               {ID_SHOW_RANDOM_DATA, nullptr, &GridModel::showRandomData, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    DocumentFixture f;
    MakeGrid(*f.doc, 1.0f, 5.0f);
    f.doc->primaryData->count = 1;
    int& flag = c.docFlag ? f.doc.get()->*c.docFlag : f.doc->grid.get()->*c.gridFlag;
    const int before = flag;
    f.doc->mapBitmapDirty = 0;
    ASSERT_EQ(f.Run(c.id), CommandStatus::Done);
    EXPECT_EQ(flag, 1 - before);
    EXPECT_TRUE(f.State(c.id).checked == (flag == 1));
    EXPECT_EQ(f.doc->mapBitmapDirty, c.dirties ? 1 : 0);
    EXPECT_EQ(f.view.invalidations, 1);
    ASSERT_EQ(f.Run(c.id), CommandStatus::Done);
    EXPECT_EQ(flag, before);
  }
}

TEST(ColorCommands, DefaultContourReturnsToTheDataLevels) {
  DocumentFixture f;
  MakeGrid(*f.doc, 1.0f, 5.0f);
  f.doc->grid->userLevels = 1;
  f.doc->mapBitmapDirty = 0;
  ASSERT_EQ(f.Run(ID_DEFAULT_CONTOUR), CommandStatus::Done);
  EXPECT_EQ(f.doc->grid->userLevels, 0);
  EXPECT_EQ(f.doc->mapBitmapDirty, 1);
  EXPECT_EQ(f.view.invalidations, 1);
}

TEST(ColorCommands, MaximumDistanceDialog) {
  DocumentFixture f;
  f.doc->mapBitmapDirty = 0;
  f.ui.dialogHandlers.push_back([](DialogData& d) {
    auto& dialog = dynamic_cast<FloatDialog&>(d);
    EXPECT_EQ(dialog.prompt, "Setup maximum distance to be shown");
    EXPECT_EQ(dialog.value, 10000000.0f);
    return SetField(d, "value", "25.5");
  });
  ASSERT_EQ(f.Run(ID_MAX_DISTANCE), CommandStatus::Done);
  EXPECT_EQ(f.doc->grid->maxDistance, 25.5f);
  EXPECT_EQ(f.doc->mapBitmapDirty, 1);
  f.ui.dialogHandlers.push_back([](DialogData& d) {
    SetField(d, "value", "1");
    return false;
  });
  EXPECT_EQ(f.Run(ID_MAX_DISTANCE), CommandStatus::Canceled);
  EXPECT_EQ(f.doc->grid->maxDistance, 25.5f);
}

TEST(ColorCommands, ColourModeButtonsWriteTheProfileAndKeepTheCache) {
  DocumentFixture f;
  MakeGrid(*f.doc, 1.0f, 5.0f);
  f.doc->mapBitmapDirty = 0;
  ASSERT_EQ(f.Run(ID_COLOR_MODE_2), CommandStatus::Done);
  EXPECT_EQ(f.doc->grid->mapColorMode, 2);
  EXPECT_EQ(f.profile.ReadInt("General", "iMapColorMode", -1), 2);
  EXPECT_EQ(f.doc->mapBitmapDirty, 0);
  EXPECT_EQ(f.view.invalidations, 1);
  EXPECT_TRUE(f.State(ID_COLOR_MODE_2).checked);
  EXPECT_FALSE(f.State(ID_COLOR_MODE_2).enabled);
  EXPECT_EQ(f.Run(ID_COLOR_MODE_2), CommandStatus::Failed);  // disabled while selected
}

using test::BatchRun;

TEST(ColorBatch, CommandsAndTheirKeys) {
  BatchRun run;
  MakeGrid(run.doc, 1.0f, 100.0f);
  run.doc.primaryData->count = 1;
  ASSERT_EQ(run.Run("color-mode 2\ncontour-setup min=0 max=10 int=1\ncolor-target\nlog\nhide-far\n"
                    "max-distance value=3\nshow-random-data\ndefault-contour\ncontour\n"),
            0)
      << run.err.str();
  const GridModel& g = *run.doc.grid;
  EXPECT_EQ(g.mapColorMode, 2);
  EXPECT_EQ(g.contourLevels.count, 11);
  EXPECT_EQ(g.reverseColors, 1);
  EXPECT_EQ(run.doc.logScale, 1);
  EXPECT_EQ(g.hideFarNodes, 1);
  EXPECT_EQ(g.maxDistance, 3.0f);
  EXPECT_EQ(g.showRandomData, 0);
  EXPECT_EQ(g.userLevels, 0);
}

TEST(ColorBatch, BadModesAndRefusedLevelsStopTheScript) {
  BatchRun modes;
  MakeGrid(modes.doc, 1.0f, 100.0f);
  EXPECT_EQ(modes.Run("color-mode 3\n"), 2);
  EXPECT_NE(modes.err.str().find("bad argument"), std::string::npos);

  BatchRun levels;
  MakeGrid(levels.doc, 1.0f, 100.0f);
  EXPECT_EQ(levels.Run("contour-setup min=0 max=10 int=0\ncolor-mode 1\n"), 2);
  EXPECT_EQ(levels.out.str(),
            "The interval must be greater than 0, and the maximum must not be less than the minimum.\n");
  EXPECT_EQ(levels.doc.grid->userLevels, 0);
  EXPECT_EQ(levels.doc.grid->mapColorMode, 0);
}

}  // namespace
}  // namespace gridora
