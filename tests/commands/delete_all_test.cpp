// "Delete all data" returns the window to what a new document shows: no map, no
// variogram chart, no log scale left checked over an empty grid.
#include <gtest/gtest.h>

#include "commands/command_ids.h"
#include "dialogs/dialogs.h"
#include "geostat/kriging_state.h"
#include "render/recording_context.h"
#include "support/current_folder.h"
#include "support/test_support.h"
#include "view/view_paint.h"

namespace gridora {
namespace {

const DataPoint kPoints[] = {{0, 0, 1}, {4, 0, 3}, {0, 4, 2}, {4, 4, 6}, {2, 1, 4}, {1, 3, 2.5}};

TEST(DeleteAll, LeavesTheEmptyViewOfANewDocument) {
  test::InTempFolder folder;
  test::DocumentFixture f;
  f.doc->dataFolder = folder.folder().Path().string();
  RandomData& data = *f.doc->primaryData;
  data.StartRanges();
  for (const DataPoint& p : kPoints) {
    data.points[data.count++] = p;
    data.ExtendRanges(p);
  }
  // A map in log units, then the variogram chart over it.
  ASSERT_TRUE(f.doc->grid->Reshape(1, 3, 2));
  for (int ix = 0; ix < 3; ++ix)
    for (int iy = 0; iy < 2; ++iy) f.doc->grid->Value(0, ix, iy) = 1.0f + static_cast<float>(ix);
  f.doc->grid->ComputeLayerRange(0);
  ASSERT_EQ(f.Run(ID_LOG), CommandStatus::Done);
  ASSERT_TRUE(f.State(ID_LOG).checked);
  f.ui.dialogHandlers.push_back([](DialogData& d) { return test::SetField(d, "lag", "1.5"); });
  ASSERT_EQ(f.Run(ID_VARIOGRAM), CommandStatus::Done) << testing::PrintToString(f.ui.messages);
  ASSERT_EQ(f.doc->chartMode, ChartMode::Variogram);
  f.doc->secondaryData = CreateRandomData();
  f.doc->secondaryData->count = 2;

  ASSERT_EQ(f.Run(ID_DELETE_ALL), CommandStatus::Done);

  EXPECT_FALSE(f.State(ID_LOG).checked);
  EXPECT_FALSE(f.State(ID_LOG).enabled);
  EXPECT_EQ(f.doc->logScale, 0);
  EXPECT_EQ(f.doc->krigingState, nullptr);
  EXPECT_EQ(f.doc->chartMode, ChartMode::None);
  EXPECT_TRUE(f.State(ID_PRIMARY_VARIABLE).checked);
  for (int id : {ID_PREDICTION, ID_SET_VARIOGRAM, ID_CROSS_VARIANCE}) EXPECT_FALSE(f.State(id).enabled) << id;
  // The secondary points are not shown and stay for a later cokriging.
  ASSERT_TRUE(f.doc->secondaryData);
  EXPECT_EQ(f.doc->secondaryData->count, 2);

  RecordingContext dc;
  PaintView(dc, *f.doc, {0, 0, 800, 600});
  ASSERT_EQ(dc.CallsOf("TextOut").size(), 1u);
  EXPECT_EQ(dc.CallsOf("TextOut")[0].text, "N=0 NX=0 NZ=0 Data=0  ");
  EXPECT_EQ(dc.Calls().size(), 1u);
}

}  // namespace
}  // namespace gridora
