#include <gtest/gtest.h>

#include "platform/profile.h"
#include "support/test_support.h"
#include "view/document.h"

namespace gridora {
namespace {

TEST(Document, StartsEmptyWithScalesFromTheProfile) {
  MemoryProfile profile;
  WriteProfileFloat(profile, "ScaleX", 2.0f);
  WriteProfileFloat(profile, "ScaleZ", 3.0f);
  Document doc(profile);
  EXPECT_EQ(doc.grid->layerCount, 0);
  EXPECT_EQ(doc.grid->NX, 0);
  EXPECT_EQ(doc.grid->NY, 0);
  EXPECT_EQ(doc.primaryData->count, 0);
  EXPECT_FALSE(doc.secondaryData);
  EXPECT_FALSE(doc.krigingState);
  EXPECT_EQ(doc.grid->scaleX, 2.0f);
  EXPECT_EQ(doc.grid->scaleY, 3.0f);
  EXPECT_EQ(doc.grid->contourLevels.count, 37);
  EXPECT_EQ(doc.grid->maxDistance, 10000000.0f);
  EXPECT_EQ(doc.grid->showRandomData, 1);
  EXPECT_EQ(doc.grid->xTitle, "X");
  EXPECT_EQ(doc.mapBitmapDirty, 1);
  EXPECT_EQ(doc.marginLeft, 200);
  EXPECT_EQ(doc.marginTop, 150);
  EXPECT_EQ(doc.scrollSizeX, 16000);
}

TEST(Document, DeleteAllDataKeepsSecondaryAndIgnoresProfileScales) {
  MemoryProfile profile;
  WriteProfileFloat(profile, "ScaleX", 2.0f);
  Document doc(profile);
  doc.primaryData->count = 5;
  doc.secondaryData = CreateRandomData();
  doc.secondaryData->count = 3;
  ASSERT_TRUE(doc.grid->Reshape(1, 3, 2));
  doc.mapBitmapDirty = 0;
  doc.DeleteAllData();
  EXPECT_EQ(doc.primaryData->count, 0);
  EXPECT_EQ(doc.grid->NX, 0);
  EXPECT_FALSE(doc.grid->HasValues());
  EXPECT_EQ(doc.grid->scaleX, 1.0f);
  ASSERT_TRUE(doc.secondaryData);
  EXPECT_EQ(doc.secondaryData->count, 3);
  EXPECT_EQ(doc.mapBitmapDirty, 1);
}

TEST(GridModel, ResetReadsCellSizesFromTheProfile) {
  MemoryProfile profile;
  EXPECT_EQ(CreateGridModel(profile)->DX, 1.0f);
  profile.WriteText("General", "CellSizeXOrg", "2.500000");
  profile.WriteText("General", "CellSizeYOrg", "junk");
  auto grid = CreateGridModel(profile);
  EXPECT_EQ(grid->DX, 2.5f);
  EXPECT_EQ(grid->DY, 1.0f);
}

TEST(GridModel, AllocateGivesShapeDistancesAndRanges) {
  MemoryProfile profile;
  auto grid = CreateGridModel(profile);
  ASSERT_TRUE(grid->Reshape(1, 3, 2));
  EXPECT_EQ(grid->values.size(), 6u);
  ASSERT_EQ(grid->dataDistance.size(), 6u);
  for (float d : grid->dataDistance) EXPECT_EQ(d, 1.0e7f);
  EXPECT_EQ(grid->layerMinimum.size(), 1u);
  EXPECT_EQ(grid->layerMaximum.size(), 1u);
  grid->Value(0, 2, 1) = 5.0f;
  EXPECT_EQ(grid->Column(0, 2)[1], 5.0f);
}

TEST(GridModel, ImpossibleShapeIsRefusedAndTheOldGridStays) {
  MemoryProfile profile;
  auto grid = CreateGridModel(profile);
  ASSERT_TRUE(grid->Reshape(1, 3, 2));
  grid->Value(0, 0, 0) = 4.0f;
  EXPECT_FALSE(grid->Reshape(1, 2000000, 2000000));
  EXPECT_FALSE(grid->Reshape(1, -1, 5));
  EXPECT_EQ(grid->NX, 3);
  EXPECT_EQ(grid->NY, 2);
  EXPECT_EQ(grid->Value(0, 0, 0), 4.0f);
}

}  // namespace
}  // namespace gridora
