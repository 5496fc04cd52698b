// The Grid menu's commands as the window runs them: the file dialog before the
// operation's dialog, the constant and level hidden beside a second grid, cancels that
// change nothing, and a standard error layer that goes with the values it belonged to.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "commands/command_ids.h"
#include "dialogs/grid_dialogs.h"
#include "document/grid_model.h"
#include "support/test_support.h"

namespace gridora {
namespace {

using test::DocumentFixture;

// 2 x 2 nodes with a second layer (a kriging's standard errors) shown.
void SetTwoLayerGrid(DocumentFixture& f) {
  GridModel& grid = *f.doc->grid;
  ASSERT_TRUE(grid.Reshape(2, 2, 2));
  grid.SetLayout({0, 0, 1, 1, 2, 2});
  grid.values = {1, 2, 3, 4, 0.5f, 0.5f, 0.5f, 0.5f};
  grid.ComputeLayerRange(0);
  grid.ComputeLayerRange(1);
  f.doc->layerIndex = 1;
}

bool ConstantShown(DialogData& dialog) {
  for (const DialogField& field : dialog.Fields())
    if (field.batchKey == "value" || field.batchKey == "level") return !field.hidden;
  return false;
}

TEST(GridCommandsWindow, ASecondGridIsChosenBeforeTheOperationWhoseConstantIsHidden) {
  DocumentFixture f;
  SetTwoLayerGrid(f);
  // Cancel in the file dialog, then in the operation's dialog: nothing changes.
  EXPECT_EQ(f.Run(ID_GRID_MATH_GRID), CommandStatus::Canceled);
  f.ui.files.push_back("second.snp");
  f.ui.dialogHandlers.push_back([](DialogData&) { return false; });
  EXPECT_EQ(f.Run(ID_GRID_MATH_GRID), CommandStatus::Canceled);
  ASSERT_EQ(f.ui.filters.size(), 2u);
  EXPECT_NE(f.ui.filters[0].pattern.find("*.snp"), std::string::npos);
  EXPECT_NE(f.ui.filters[0].pattern.find("*.tif"), std::string::npos);
  EXPECT_EQ(f.doc->grid->layerCount, 2);

  // A file that cannot be read: told, and the grid is as it was.
  bool hidden = false;
  f.ui.files.push_back("no-such-file.snp");
  f.ui.dialogHandlers.push_back([&hidden](DialogData& dialog) {
    hidden = !ConstantShown(dialog);
    return true;
  });
  EXPECT_EQ(f.Run(ID_GRID_MATH_GRID), CommandStatus::Failed);
  EXPECT_TRUE(hidden);
  ASSERT_FALSE(f.ui.messages.empty());
  EXPECT_NE(f.ui.messages.back().find("no-such-file.snp"), std::string::npos);
  EXPECT_EQ(f.doc->grid->values, (std::vector<float>{1, 2, 3, 4, 0.5f, 0.5f, 0.5f, 0.5f}));
  EXPECT_EQ(f.view.Repaints(), 0);
}

TEST(GridCommandsWindow, ANewGridDropsTheStandardErrorLayerAndIsRepainted) {
  DocumentFixture f;
  SetTwoLayerGrid(f);
  bool shown = false;
  f.ui.dialogHandlers.push_back([&shown](DialogData& dialog) {
    shown = ConstantShown(dialog);
    auto& math = dynamic_cast<GridMathDialog&>(dialog);
    math.operation = 2;  // multiply
    math.value = 10;
    return true;
  });
  ASSERT_EQ(f.Run(ID_GRID_MATH_CONSTANT), CommandStatus::Done);
  EXPECT_TRUE(shown);
  const GridModel& grid = *f.doc->grid;
  EXPECT_EQ(grid.layerCount, 1);
  EXPECT_EQ(grid.values, (std::vector<float>{10, 20, 30, 40}));
  EXPECT_EQ(grid.layerMinimum, (std::vector<float>{10}));
  EXPECT_EQ(grid.layerMaximum, (std::vector<float>{40}));
  EXPECT_EQ(f.doc->layerIndex, 0);
  EXPECT_EQ(f.doc->mapBitmapDirty, 1);
  EXPECT_GT(f.view.Repaints(), 0);
}

TEST(GridCommandsWindow, TheVolumeIsShownAndChangesNothing) {
  DocumentFixture f;
  SetTwoLayerGrid(f);
  test::TempFolder folder;
  f.doc->dataFolder = folder.Path().string();
  ASSERT_EQ(f.Run(ID_VOLUME_LEVEL), CommandStatus::Done);
  ASSERT_FALSE(f.ui.messages.empty());
  // Level 0 under the values 1 2 3 4 of one cell: the mean 2.5 times the area 1.
  EXPECT_NE(f.ui.messages.back().find("above: 2.5\n"), std::string::npos) << f.ui.messages.back();
  EXPECT_EQ(f.doc->grid->layerCount, 2);
  EXPECT_EQ(f.view.Repaints(), 0);
  EXPECT_EQ(test::ReadFileBytes(folder / "volume.csv"),
            "method,positive,negative,net,area_positive,area_negative\r\ntrapezoid,2.5,0,2.5,1,0\r\n");
}

}  // namespace
}  // namespace gridora
