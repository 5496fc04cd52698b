#include <gtest/gtest.h>

#include "document/grid_model.h"
#include "platform/profile.h"
#include "xml/geo_plot_data.h"

namespace gridora {
namespace {

// NX 3, NY 2, DX 10, DY 5, x0 100, y0 -20; value(ix, iy) = 10 ix + iy.
std::unique_ptr<GridModel> SmallGrid(Profile& profile) {
  auto grid = CreateGridModel(profile);
  EXPECT_TRUE(grid->Reshape(1, 3, 2));
  grid->DX = 10.0f;
  grid->DY = 5.0f;
  grid->x0 = 100.0f;
  grid->y0 = -20.0f;
  for (int ix = 0; ix < 3; ++ix)
    for (int iy = 0; iy < 2; ++iy) grid->Value(0, ix, iy) = static_cast<float>(10 * ix + iy);
  return grid;
}

TEST(SectionData, CopiesTheGridWithTheVerticalOrderReversed) {
  MemoryProfile profile;
  auto grid = SmallGrid(profile);
  auto data = BuildSectionData(*grid, profile);
  ASSERT_TRUE(data);
  ASSERT_EQ(data->sections.size(), 1u);
  EXPECT_EQ(data->nodeX[0].CountX(), 4);
  EXPECT_EQ(data->nodeX[0].CountZ(), 3);
  for (int ix = 0; ix < 3; ++ix) {
    EXPECT_EQ(data->nodeZ[0](ix, 0), -15.0f);
    EXPECT_EQ(data->nodeZ[0](ix, 1), -20.0f);
    EXPECT_EQ(data->nodeX[0](ix, 0), 100.0f + 10.0f * ix);
    EXPECT_EQ(data->nodeValue[0](ix, 0), grid->Value(0, ix, 1));
    EXPECT_EQ(data->nodeValue[0](ix, 1), grid->Value(0, ix, 0));
  }
  EXPECT_EQ(data->lastIndexX[0], 2);
  EXPECT_EQ(data->lastIndexZ[0], 1);
  EXPECT_EQ(data->scaleFactor, 10.0f);
  EXPECT_EQ(data->aspectRatio, 1.0f);

  const GeoPlotSection& section = *data->sections[0];
  EXPECT_EQ(section.unitText, "()");
  EXPECT_EQ(section.propertyText, "Legend");
  EXPECT_EQ(section.contourLineFlag, -1);
  EXPECT_EQ(section.contourMethod, -1);
  EXPECT_EQ(section.boundaryCount, 37);  // a new grid's contour level count
  EXPECT_EQ(section.investigationInfo->project, "Project");
}

TEST(SectionData, TakesTheDisplayWindowAndOnlyTheLevelsInUse) {
  MemoryProfile profile;
  auto grid = SmallGrid(profile);
  grid->xStart = 100;
  grid->xEnd = 120;
  grid->xInterval = 5;
  grid->xTickCount = 5;
  grid->yInterval = 2.5f;
  grid->contourLevels.count = 5;
  for (int k = 0; k < 37; ++k) {
    grid->contourLevels.levels[k] = 1.5f * k;
    grid->contourLevels.boundaryRed[k] = 200 + k;
    grid->contourLevels.boundaryBlue[k] = k;
  }
  auto data = BuildSectionData(*grid, profile);
  const GeoPlotSection& section = *data->sections[0];
  EXPECT_EQ(section.axisXStart, 100.0f);
  EXPECT_EQ(section.axisXEnd, 120.0f);
  EXPECT_EQ(section.axisXInterval, 5.0f);
  EXPECT_EQ(section.axisXTickCount, 5);
  EXPECT_EQ(section.axisYInterval, 2.5f);
  EXPECT_EQ(section.boundaryCount, 5);
  EXPECT_EQ(section.boundaryValues[4], 6.0f);
  EXPECT_EQ(section.boundaryRed[4], 204);
  EXPECT_EQ(section.boundaryBlue[4], 4);
  EXPECT_EQ(section.boundaryValues[5], 0.0f);
}

TEST(SectionData, CopyNodeArraysRefusesWhatDoesNotFit) {
  MemoryProfile profile;
  auto grid = SmallGrid(profile);
  auto data = BuildSectionData(*grid, profile);
  GeoPlotSection& section = *data->sections[0];
  const auto copy = [&](int lastX, int lastZ) {
    return section.CopyNodeArrays(lastX, lastZ, data->nodeX[0], data->nodeZ[0], data->nodeValue[0]);
  };
  EXPECT_FALSE(copy(2, 1));  // not allocated yet
  section.AllocateNodeArrays(3, 2);
  EXPECT_FALSE(copy(3, 1));  // node 3 lies outside three columns
  EXPECT_FALSE(copy(2, 2));
  EXPECT_TRUE(copy(2, 1));
  EXPECT_EQ(section.elementCountX, 2);
  EXPECT_EQ(section.elementCountZ, 1);
  EXPECT_EQ(section.nodeValue(1, 0), 11.0f);
  section.AllocateNodeArrays(10, 10);
  EXPECT_FALSE(copy(4, 1));  // beyond the line's own matrices
  section.ReleaseNodeArrays();
  EXPECT_EQ(section.arraysAllocated, 0);
}

TEST(SectionData, NothingToBuildFromAGridWithoutValues) {
  MemoryProfile profile;
  auto grid = CreateGridModel(profile);
  EXPECT_FALSE(BuildSectionData(*grid, profile));
}

}  // namespace
}  // namespace gridora
