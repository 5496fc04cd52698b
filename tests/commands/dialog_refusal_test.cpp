// Every dialog refuses values that are not meaningful while it is open: the user sees
// why, the dialog comes back with the input, and nothing reaches the document or the
// profile when the user then gives up.
#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "commands/command_ids.h"
#include "dialogs/dialogs.h"
#include "geostat/kriging_state.h"
#include "support/current_folder.h"
#include "support/test_support.h"

namespace gridora {
namespace {

const DataPoint kPoints[] = {{0, 0, 1}, {4, 0, 3}, {0, 4, 2}, {4, 4, 6}, {2, 1, 4}, {1, 3, 2.5}};

bool HasKey(DialogData& dialog, const std::string& key) {
  for (const DialogField& field : dialog.Fields())
    if (field.batchKey == key) return true;
  return false;
}

// A 3 x 2 grid drawn once (window and ticks set) and six points.
struct RefusalFixture : test::DocumentFixture {
  test::InTempFolder folder;

  RefusalFixture() {
    GridModel& g = *doc->grid;
    EXPECT_TRUE(g.Reshape(1, 3, 2));
    for (int ix = 0; ix < 3; ++ix)
      for (int iy = 0; iy < 2; ++iy) g.Value(0, ix, iy) = 1.0f + static_cast<float>(ix + iy);
    g.ComputeLayerRange(0);
    g.xLastDrawn = 2.0f;
    g.xStart = 0.0f, g.xEnd = 2.0f, g.xInterval = 1.0f;
    g.yStart = 0.0f, g.yEnd = 1.0f, g.yInterval = 1.0f;
    RandomData& data = *doc->primaryData;
    data.StartRanges();
    for (const DataPoint& p : kPoints) {
      data.points[data.count++] = p;
      data.ExtendRanges(p);
    }
    doc->dataFolder = folder.folder().Path().string();
    test::WriteFileBytes(folder.folder() / "table.csv", "1,2,3\r\n4,5,6\r\n");
  }
};

struct Case {
  int command;
  std::string key;                                 // the field given the refused text
  std::string text;                                // as the user types it
  std::map<std::string, std::string> others = {};  // typed first, in whichever dialog has them
};

TEST(DialogRefusal, BadValuesAreRefusedWhileTheDialogIsOpen) {
  const std::vector<std::string> nonPositive = {"nan", "inf", "-inf", "0", "-1", "1e38"};
  std::vector<Case> cases;
  for (const std::string& text : nonPositive) {
    for (const char* key : {"dx", "dy"}) cases.push_back({ID_DATA_PROPERTY, key, text});
    cases.push_back({ID_MAX_DISTANCE, "value", text});
    cases.push_back({ID_AVERAGE_X, "xint", text});
    for (const char* key : {"xint", "yint"}) cases.push_back({ID_AXIS_SETUP, key, text});
    for (const char* key : {"dx", "dy"}) cases.push_back({ID_MINIMUM_CURVATURE, key, text});
    cases.push_back({ID_VARIOGRAM, "lag", text});
    for (const char* key : {"range", "sill"}) cases.push_back({ID_SET_VARIOGRAM, key, text});
  }
  for (const std::string text : {"nan", "inf", "-1e38"}) {
    cases.push_back({ID_DATA_PROPERTY, "xstart", text});
    cases.push_back({ID_AXIS_SETUP, "xend", text});
    cases.push_back({ID_AVERAGE_X, "xmin", text});
    cases.push_back({ID_MINIMUM_CURVATURE, "xmin", text});
    cases.push_back({ID_STATISTICS, "min", text == "-1e38" ? "-inf" : text});
  }
  // Values that are numbers but leave nothing to do, or far too much.
  cases.push_back({ID_STATISTICS, "max", "1", {{"min", "5"}}});
  cases.push_back({ID_AVERAGE_X, "xint", "1e-7"});                      // 2e7 windows
  cases.push_back({ID_AXIS_SETUP, "xint", "0.01", {{"xend", "100"}}});  // 10,001 ticks
  cases.push_back({ID_MINIMUM_CURVATURE, "xmax", "0"});                 // empty area
  cases.push_back({ID_MINIMUM_CURVATURE, "dx", "1e-9"});                // 4e9 columns
  cases.push_back({ID_FILE_OPEN, "colskip", "3"});                      // of 3 columns
  cases.push_back({ID_FILE_OPEN, "rowskip", "2"});                      // of 2 rows
  cases.push_back({ID_FILE_OPEN, "rowskip", "-1"});

  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << "command " << c.command << ": " << c.key << "=" << c.text);
    RefusalFixture f;
    if (c.command == ID_SET_VARIOGRAM) {
      f.ui.dialogHandlers.push_back([](DialogData& d) { return test::SetField(d, "lag", "1.5"); });
      ASSERT_EQ(f.Run(ID_VARIOGRAM), CommandStatus::Done);
      f.ui.messages.clear();
    }
    if (c.command == ID_FILE_OPEN) f.ui.files.push_back((f.folder.folder() / "table.csv").string());
    const GridModel before = *f.doc->grid;
    const double rangeBefore = f.doc->krigingState ? f.doc->krigingState->primary->a : 0.0;

    // The user types the text, is told, sees the same dialog again and gives up.
    DialogData* refusing = nullptr;
    bool cameBack = false;
    for (int i = 0; i < 8; ++i)
      f.ui.dialogHandlers.push_back([&](DialogData& d) {
        if (refusing) {
          cameBack = &d == refusing;
          return false;
        }
        for (const auto& [key, text] : c.others)
          if (HasKey(d, key)) {
            EXPECT_TRUE(test::SetField(d, key, text));
          }
        if (!HasKey(d, c.key)) return true;
        EXPECT_TRUE(test::SetField(d, c.key, c.text));
        refusing = &d;
        return true;
      });
    const std::size_t messagesBefore = f.ui.messages.size();
    EXPECT_EQ(f.Run(c.command), CommandStatus::Canceled);
    ASSERT_NE(refusing, nullptr);
    EXPECT_TRUE(cameBack) << "the dialog closed on the refused value";
    ASSERT_GT(f.ui.messages.size(), messagesBefore);

    // Nothing of the refused value was kept.
    const GridModel& after = *f.doc->grid;
    EXPECT_EQ(after.DX, before.DX);
    EXPECT_EQ(after.DY, before.DY);
    EXPECT_EQ(after.x0, before.x0);
    EXPECT_EQ(after.NX, before.NX);
    EXPECT_EQ(after.maxDistance, before.maxDistance);
    EXPECT_EQ(after.xInterval, before.xInterval);
    EXPECT_EQ(after.yInterval, before.yInterval);
    if (f.doc->krigingState) {
      EXPECT_EQ(f.doc->krigingState->primary->a, rangeBefore);
    }
    for (const char* key : {"statistics_fmin", "statistics_fmax", "DATA_AVERAGE_X_START", "DATA_AVERAGE_X_INT",
                            "CellSizeXOrg", "CellSizeYOrg", "N_COLUMN_SKIP", "N_ROW_SKIP"})
      EXPECT_FALSE(f.profile.Has("General", key)) << key;
  }
}

// The same values typed right are taken: the refusals above are about the values.
TEST(DialogRefusal, MeaningfulValuesPass) {
  struct Accepted {
    int command;
    std::map<std::string, std::string> typed;
  } cases[] = {
      {ID_DATA_PROPERTY, {{"dx", "1e15"}, {"dy", "1e-30"}, {"xstart", "-1e15"}}},
      {ID_MAX_DISTANCE, {{"value", "1e15"}}},
      {ID_STATISTICS, {{"min", "1"}, {"max", "1e30"}}},
      {ID_AXIS_SETUP, {{"xstart", "999"}, {"xend", "0"}, {"xint", "1"}}},  // 1,000 ticks
  };
  for (const Accepted& c : cases) {
    SCOPED_TRACE(testing::Message() << "command " << c.command);
    RefusalFixture f;
    for (int i = 0; i < 2; ++i)
      f.ui.dialogHandlers.push_back([&](DialogData& d) {
        for (const auto& [key, text] : c.typed)
          if (HasKey(d, key)) {
            EXPECT_TRUE(test::SetField(d, key, text));
          }
        return true;
      });
    EXPECT_EQ(f.Run(c.command), CommandStatus::Done) << testing::PrintToString(f.ui.messages);
  }
}

}  // namespace
}  // namespace gridora
