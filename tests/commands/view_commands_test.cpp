#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

#include "commands/command_ids.h"
#include "commands/key_commands.h"
#include "dialogs/dialogs.h"
#include "support/test_support.h"

namespace gridora {
namespace {

using test::DocumentFixture;

TEST(Zoom, ThreeEnlargementsStoreTheFloatScaleAsPercentF) {
  DocumentFixture f;
  for (int i = 0; i < 3; ++i) ASSERT_EQ(f.Run(ID_ZOOM_X_IN), CommandStatus::Done);
  float expected = 1.0f;
  for (int i = 0; i < 3; ++i) expected = static_cast<float>(static_cast<double>(expected) * std::sqrt(2.0));
  EXPECT_EQ(f.doc->grid->scaleX, expected);
  EXPECT_EQ(f.doc->grid->scaleY, 1.0f);
  EXPECT_EQ(f.profile.Raw("General", "ScaleX"), "2.828427");
  EXPECT_EQ(f.view.updates, 3);
}

TEST(Zoom, EachButtonChangesItsOwnAxis) {
  DocumentFixture f;
  f.Run(ID_ZOOM_X_OUT);
  f.Run(ID_ZOOM_Y_IN);
  EXPECT_LT(f.doc->grid->scaleX, 1.0f);
  EXPECT_GT(f.doc->grid->scaleY, 1.0f);
  f.Run(ID_ZOOM_Y_OUT);
  EXPECT_NEAR(f.doc->grid->scaleY, 1.0f, 1e-6);
}

TEST(ArrowKeys, UpAndDownScaleBothAxesOthersDoNothing) {
  DocumentFixture f;
  EXPECT_TRUE(OnViewKeyDown(f.context, ViewKey::Up));
  EXPECT_FLOAT_EQ(f.doc->grid->scaleX, std::sqrt(2.0f));
  EXPECT_FLOAT_EQ(f.doc->grid->scaleY, std::sqrt(2.0f));
  EXPECT_FALSE(OnViewKeyDown(f.context, ViewKey::Other));
  EXPECT_TRUE(OnViewKeyDown(f.context, ViewKey::Down));
  EXPECT_NEAR(f.doc->grid->scaleX, 1.0f, 1e-6);
  EXPECT_TRUE(f.profile.Has("General", "ScaleZ"));
}

TEST(AxisSetup, TickCountsFromTheInterval) {
  // An interval of 0 or less is refused by the dialog (ticks 0 here): the user gives up.
  struct Case {
    const char* interval;
    int ticks;
  } cases[] = {{"10", 11}, {"30", 4}, {"0.2", 501}, {"0", 0}, {"-10", 0}};
  for (const auto& c : cases) {
    DocumentFixture f;
    ASSERT_TRUE(f.doc->grid->Reshape(1, 2, 2));
    EXPECT_TRUE(f.State(ID_AXIS_SETUP).enabled);
    f.ui.dialogHandlers.push_back([&](DialogData& d) {
      return test::SetField(d, "xstart", "0") && test::SetField(d, "xend", "100") &&
             test::SetField(d, "xint", c.interval) && test::SetField(d, "ystart", "0") &&
             test::SetField(d, "yend", "100") && test::SetField(d, "yint", c.interval);
    });
    if (c.ticks == 0) {
      EXPECT_EQ(f.Run(ID_AXIS_SETUP), CommandStatus::Canceled);
      EXPECT_EQ(f.ui.messages.size(), 1u);
      EXPECT_EQ(f.doc->grid->axisFixed, 0);
      continue;
    }
    ASSERT_EQ(f.Run(ID_AXIS_SETUP), CommandStatus::Done);
    EXPECT_EQ(f.doc->grid->xTickCount, c.ticks);
    EXPECT_EQ(f.doc->grid->yTickCount, c.ticks);
    EXPECT_EQ(f.doc->grid->axisFixed, 1);
  }
}

TEST(AxisSetup, CancelChangesNothingAndEmptyGridDisablesIt) {
  DocumentFixture f;
  EXPECT_FALSE(f.State(ID_AXIS_SETUP).enabled);
  EXPECT_FALSE(f.State(ID_DATA_PROPERTY).enabled);
  ASSERT_TRUE(f.doc->grid->Reshape(1, 2, 2));
  f.doc->mapBitmapDirty = 0;
  f.ui.dialogHandlers.push_back([](DialogData& d) {
    test::SetField(d, "xend", "55");
    return false;
  });
  EXPECT_EQ(f.Run(ID_AXIS_SETUP), CommandStatus::Canceled);
  EXPECT_EQ(f.doc->grid->xEnd, 0.0f);
  EXPECT_EQ(f.doc->grid->axisFixed, 0);
  EXPECT_EQ(f.doc->mapBitmapDirty, 0);
}

TEST(Property, WritesGeometryButNotNodeCounts) {
  DocumentFixture f;
  ASSERT_TRUE(f.doc->grid->Reshape(1, 3, 4));
  f.ui.dialogHandlers.push_back([](DialogData& d) {
    auto& size = static_cast<GridSizeDialog&>(d);
    EXPECT_EQ(size.nx, 3);
    EXPECT_EQ(size.ny, 4);
    size.nx = 99;  // read-only in the window; never taken
    return test::SetField(d, "dx", "10") && test::SetField(d, "ystart", "-5");
  });
  ASSERT_EQ(f.Run(ID_DATA_PROPERTY), CommandStatus::Done);
  EXPECT_EQ(f.doc->grid->NX, 3);
  EXPECT_EQ(f.doc->grid->DX, 10.0f);
  EXPECT_EQ(f.doc->grid->y0, -5.0f);
}

TEST(DeleteAll, AsksFirstAndNoKeepsEverything) {
  DocumentFixture f;
  f.doc->primaryData->count = 4;
  f.ui.answers = {false, true};
  EXPECT_EQ(f.Run(ID_DELETE_ALL), CommandStatus::Canceled);
  EXPECT_EQ(f.ui.questions.at(0), "Are you sure to delete all current data?");
  EXPECT_EQ(f.doc->primaryData->count, 4);
  EXPECT_EQ(f.Run(ID_DELETE_ALL), CommandStatus::Done);
  EXPECT_EQ(f.doc->primaryData->count, 0);
  EXPECT_EQ(f.view.invalidations, 1);
}

TEST(VariableSelection, UpdateRules) {
  DocumentFixture f;
  EXPECT_FALSE(f.State(ID_PRIMARY_VARIABLE).enabled);
  EXPECT_TRUE(f.State(ID_PRIMARY_VARIABLE).checked);
  EXPECT_FALSE(f.State(ID_SECONDARY_VARIABLE).enabled);
  f.doc->secondaryData = CreateRandomData();
  EXPECT_FALSE(f.State(ID_SECONDARY_VARIABLE).enabled);  // no point yet
  f.doc->secondaryData->count = 1;
  EXPECT_TRUE(f.State(ID_SECONDARY_VARIABLE).enabled);
  ASSERT_EQ(f.Run(ID_SECONDARY_VARIABLE), CommandStatus::Done);
  EXPECT_EQ(f.doc->variableSelection, 1);
  EXPECT_TRUE(f.State(ID_SECONDARY_VARIABLE).checked);
  EXPECT_TRUE(f.State(ID_PRIMARY_VARIABLE).enabled);
  EXPECT_FALSE(f.State(ID_CROSS_VARIANCE).enabled);
}

TEST(CommandTable, CommandsWithoutHandlerAreDisabled) {
  DocumentFixture f;
  for (int id : {ID_EDIT_COPY_STANDARD, ID_EDIT_CUT, ID_EDIT_PASTE, ID_EDIT_UNDO, ID_NEXT_PANE}) {
    EXPECT_FALSE(f.State(id).enabled) << id;
    EXPECT_EQ(f.Run(id), CommandStatus::Failed) << id;
  }
  EXPECT_TRUE(f.State(ID_EDIT_COPY).enabled);
  EXPECT_TRUE(f.State(ID_CONTOUR).enabled);
  EXPECT_TRUE(f.State(ID_DELETE_ALL).enabled);
}

TEST(CommandTable, RunningOutOfMemoryIsReportedNotFatal) {
  DocumentFixture f;
  // A table of its own: the full table already holds ID_CONTOUR.
  f.table = CommandTable();
  f.table.Add({ID_CONTOUR, CommandOwner::View, [](CommandContext&) -> CommandStatus { throw std::bad_alloc(); }});
  EXPECT_EQ(f.Run(ID_CONTOUR), CommandStatus::Failed);
  ASSERT_EQ(f.ui.messages.size(), 1u);
  EXPECT_NE(f.ui.messages[0].find("memory"), std::string::npos);
}

TEST(CommandTable, RefusesASecondRegistrationOfAnId) {
  CommandTable table;
  auto done = [](CommandContext&) { return CommandStatus::Done; };
  table.Add({ID_CONTOUR, CommandOwner::View, done});
  EXPECT_THROW(table.Add({ID_CONTOUR, CommandOwner::View, done}), std::logic_error);
  EXPECT_THROW(table.Add({ID_CONTOUR, CommandOwner::Document, done}), std::logic_error);
  EXPECT_NO_THROW(BuildCommandTable());
}

TEST(CommandTable, CheckMarksComeFromTheEntries) {
  const CommandTable table = BuildCommandTable();
  for (int id :
       {ID_VIEW_TOOLBAR, ID_VIEW_STATUS_BAR, ID_COLOR_MODE_0, ID_COLOR_MODE_1, ID_COLOR_MODE_2, ID_PRIMARY_VARIABLE,
        ID_SECONDARY_VARIABLE, ID_CROSS_VARIANCE, ID_COLOR_TARGET, ID_LOG, ID_SHOW_RANDOM_DATA, ID_HIDE_FAR_NODES})
    EXPECT_TRUE(table.IsCheckable(id)) << id;
  for (int id : {ID_CONTOUR, ID_FILE_NEW, ID_VARIOGRAM, ID_PREDICTION}) EXPECT_FALSE(table.IsCheckable(id)) << id;
  EXPECT_FALSE(table.IsCheckable(0));  // no entry
}

}  // namespace
}  // namespace gridora
