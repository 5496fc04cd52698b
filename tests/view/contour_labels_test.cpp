// Contour labels: placement rules, and what the map draws with them on.
#include "view/contour_labels.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "view/contour_map.h"
#include "view/render_fixture.h"

namespace gridora {
namespace {

constexpr double kPi = 3.14159265358979323846;

// The label's corners from its top-left corner, angle and size.
std::array<PlanePoint, 4> Corners(const PlacedLabel& label, double width, double height) {
  const double a = label.escapement * kPi / 1800.0;
  const double ux = std::cos(a), uy = std::sin(a), nx = -uy, ny = ux;
  const double x = label.topLeft.x, y = label.topLeft.y;
  return {{{x, y},
           {x + ux * width, y + uy * width},
           {x - nx * height, y - ny * height},
           {x + ux * width - nx * height, y + uy * width - ny * height}}};
}

TEST(ContourLabels, UprightInsideTheFrameAndApart) {
  // Two long lines side by side, one running right to left, and a short one.
  const std::vector<std::vector<PlanePoint>> lines = {
      {{0, 100}, {3000, 400}},
      {{3000, 120}, {0, 130}},
      {{100, 1000}, {140, 1000}},
  };
  const std::vector<std::string> texts = {"10", "20", "30"};
  const LogicalRect frame{0, 1200, 3000, 0};
  const auto labels = PlaceContourLabels(lines, texts, frame, 30, 800);
  int onFirst = 0, onSecond = 0;
  for (const PlacedLabel& label : labels) {
    EXPECT_NE(label.text, "30") << "a line shorter than its label gets none";
    EXPECT_GT(label.escapement, -900);
    EXPECT_LE(label.escapement, 900);
    const double width = 0.56 * 30 * label.text.size();
    for (const PlanePoint& c : Corners(label, width, 30)) {
      EXPECT_GE(c.x, 0);
      EXPECT_LE(c.x, 3000);
      EXPECT_GE(c.y, 0);
      EXPECT_LE(c.y, 1200);
    }
    (label.text == "10" ? onFirst : onSecond)++;
  }
  EXPECT_GE(onFirst, 3);  // about 3000 units at one label per 800
  EXPECT_GE(onSecond, 1);
  // The line running leftwards is labelled upright: nearly horizontal, not upside down.
  for (const PlacedLabel& label : labels)
    if (label.text == "20") {
      EXPECT_LT(std::abs(label.escapement), 10);
    }
  for (std::size_t i = 0; i < labels.size(); ++i)
    for (std::size_t j = i + 1; j < labels.size(); ++j) {
      const double dx = labels[i].topLeft.x - labels[j].topLeft.x;
      const double dy = labels[i].topLeft.y - labels[j].topLeft.y;
      EXPECT_GT(std::hypot(dx, dy), 30.0) << labels[i].text << " and " << labels[j].text << " overlap";
    }
}

TEST(ContourLabels, MapWritesLevelValuesOnlyWhenSwitchedOn) {
  test::MapFixture m;
  // A cone of 21 x 21 nodes: circles of levels 2 to 8 around the middle.
  std::vector<std::vector<float>> columns(21, std::vector<float>(21));
  for (int ix = 0; ix < 21; ++ix)
    for (int iy = 0; iy < 21; ++iy) columns[ix][iy] = static_cast<float>(std::hypot(ix - 10.0, iy - 10.0));
  test::FillGrid(m.doc, columns);
  m.grid().userLevels = 1;
  m.grid().contourLevels.count = 5;
  for (int i = 0; i < 4; ++i) m.grid().contourLevels.levels[i] = 2.0f * i;  // 0, 2, 4, 6 and the open top
  const auto labelTexts = [&] {
    RecordingContext dc;
    DrawMap(dc, m.doc, {0, 0, 3000, -3000});
    std::vector<std::string> texts;
    for (const auto& call : dc.CallsOf("TextOut"))
      if (call.text == "2" || call.text == "4" || call.text == "6") texts.push_back(call.text);
    return texts;
  };
  EXPECT_TRUE(labelTexts().empty());
  m.grid().contourLabels = 1;
  const auto texts = labelTexts();
  for (const char* level : {"2", "4", "6"}) EXPECT_NE(std::find(texts.begin(), texts.end(), level), texts.end());
}

TEST(HullBlanking, PixelMapLeavesNodesOutsideTheHullBlank) {
  test::MapFixture m;
  test::FillGrid(m.doc, std::vector<std::vector<float>>(5, std::vector<float>(5, 3.0f)));
  const double corners[][2] = {{1, 1}, {3, 1}, {3, 3}, {1, 3}};
  for (const auto& corner : corners) test::AddPoint(*m.doc.primaryData, corner[0], corner[1], 3.0);
  m.grid().dataHull = ConvexHull(m.doc.primaryData->points.get(), 4);
  m.grid().blankOutsideHull = 1;
  RecordingContext dc;
  DrawMap(dc, m.doc, {0, 0, 1200, -1200});
  const PixelMap& map = dc.LastPixelMap();
  ASSERT_EQ(map.width, 5);
  EXPECT_EQ(map.At(0, 0), kMapBackground);  // node (0, 4): outside
  EXPECT_NE(map.At(2, 2), kMapBackground);  // node (2, 2): inside
  EXPECT_NE(map.At(1, 1), kMapBackground);  // node (1, 3): on the hull
  m.grid().hullDistance = 1.0f;
  m.doc.mapBitmapDirty = 1;
  RecordingContext wider;
  DrawMap(wider, m.doc, {0, 0, 1200, -1200});
  EXPECT_NE(wider.LastPixelMap().At(0, 2), kMapBackground);  // node (0, 2): 1 from the hull
  EXPECT_EQ(wider.LastPixelMap().At(0, 0), kMapBackground);  // node (0, 4): 1.41 from it
}

}  // namespace
}  // namespace gridora
