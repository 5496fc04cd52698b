#include <gtest/gtest.h>

#include "document/grid_model.h"
#include "platform/profile.h"

namespace gridora {
namespace {

TEST(GridModelRange, ScansOneLayerOnly) {
  MemoryProfile profile;
  auto grid = CreateGridModel(profile);
  ASSERT_TRUE(grid->Reshape(2, 2, 3));
  for (int ix = 0; ix < 2; ++ix)
    for (int iy = 0; iy < 3; ++iy) {
      grid->Value(0, ix, iy) = static_cast<float>(ix * 3 + iy) - 2.0f;
      grid->Value(1, ix, iy) = 100.0f;
    }
  grid->ComputeLayerRange(0);
  EXPECT_EQ(grid->layerMinimum[0], -2.0f);
  EXPECT_EQ(grid->layerMaximum[0], 3.0f);
  grid->ComputeLayerRange(1);
  EXPECT_EQ(grid->layerMinimum[1], 100.0f);
  EXPECT_EQ(grid->layerMaximum[0], 3.0f);
  grid->ComputeLayerRange(2);  // no such layer: ignored
}

TEST(GridModelRange, ReshapeDropsLabelsMadeForAnotherShape) {
  MemoryProfile profile;
  auto grid = CreateGridModel(profile);
  ASSERT_TRUE(grid->Reshape(1, 2, 3));
  grid->xLabelsOn = grid->yLabelsOn = 1;
  grid->xLabels = {"a", "b"};
  grid->yLabels = {"p", "q", "r"};
  ASSERT_TRUE(grid->Reshape(2, 2, 3));  // same nodes, another layer count: labels stay
  EXPECT_EQ(grid->xLabelsOn, 1);
  EXPECT_EQ(grid->yLabels.size(), 3u);
  ASSERT_TRUE(grid->Reshape(1, 2, 4));
  EXPECT_EQ(grid->xLabelsOn, 0);
  EXPECT_EQ(grid->yLabelsOn, 0);
  EXPECT_TRUE(grid->xLabels.empty());
  EXPECT_TRUE(grid->yLabels.empty());
}

}  // namespace
}  // namespace gridora
