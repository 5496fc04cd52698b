#include "render/cell_renderer.h"

#include <gtest/gtest.h>

#include "document/contour_levels.h"
#include "render/recording_context.h"

namespace gridora {
namespace {

// Levels 0, 2, 4 and the open top; colours of palette 0, 9, 18.
ColorScale FourLevels() {
  ContourLevels record;
  record.count = 4;
  record.levels[0] = 0.0f;
  record.levels[1] = 2.0f;
  record.levels[2] = 4.0f;
  ColorScale scale;
  scale.SetupFromLevels(record, false);
  return scale;
}

struct Fill {
  std::vector<int> points;
  Color color;
};

// The polygons drawn, each with the brush it was filled with.
std::vector<Fill> Fills(const RecordingContext& dc) {
  std::vector<Fill> fills;
  for (const auto& call : dc.CallsOf("Polygon")) fills.push_back({call.args, call.brush.color});
  return fills;
}

class CellRendererTest : public ::testing::Test {
 protected:
  ColorScale scale = FourLevels();
  CellRenderer renderer;
  RecordingContext context;
  Color c0 = scale.LevelColor(0), c1 = scale.LevelColor(1), c2 = scale.LevelColor(2);

  void SetUp() override { renderer.SetColorScale(scale); }
};

// Left column at 1, right column at 3: the contour of level 2 runs down the middle.
const CellCorner kCell[4] = {{0, 100, 1.0f}, {0, 0, 1.0f}, {100, 0, 3.0f}, {100, 100, 3.0f}};

TEST_F(CellRendererTest, ACellCrossedByOneLevelIsWalkedTriangleByTriangle) {
  renderer.DrawCell(context, kCell);
  const auto fills = Fills(context);
  ASSERT_EQ(fills.size(), 6u);
  // Left triangle: wholly in band 0 (its top value 2 equals level 1).
  EXPECT_EQ(fills[0].points, (std::vector<int>{0, 100, 0, 0, 50, 50}));
  EXPECT_EQ(fills[0].color, c0);
  // Bottom triangle: below level 2, then the rest up to the highest corner.
  EXPECT_EQ(fills[1].points, (std::vector<int>{0, 0, 50, 50, 50, 50, 50, 0}));
  EXPECT_EQ(fills[1].color, c0);
  EXPECT_EQ(fills[2].points, (std::vector<int>{50, 0, 50, 50, 100, 0}));
  EXPECT_EQ(fills[2].color, c1);
  // Right triangle: wholly in band 1.
  EXPECT_EQ(fills[3].points, (std::vector<int>{50, 50, 100, 0, 100, 100}));
  EXPECT_EQ(fills[3].color, c1);
  // Top triangle.
  EXPECT_EQ(fills[4].points, (std::vector<int>{0, 100, 50, 50, 50, 50, 50, 100}));
  EXPECT_EQ(fills[4].color, c0);
  EXPECT_EQ(fills[5].points, (std::vector<int>{50, 100, 50, 50, 100, 100}));
  EXPECT_EQ(fills[5].color, c1);
  EXPECT_TRUE(context.CallsOf("Polyline").empty());
}

TEST_F(CellRendererTest, ContourLinesFollowTheFillOfEachTriangleInBlack) {
  renderer.drawContourLines = 1;
  renderer.DrawCell(context, kCell);
  const auto lines = context.CallsOf("Polyline");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].args, (std::vector<int>{50, 50, 50, 0}));
  EXPECT_EQ(lines[1].args, (std::vector<int>{50, 50, 50, 100}));
  for (const auto& line : lines) {
    EXPECT_EQ(line.pen.style, PenStyle::Solid);
    EXPECT_EQ(line.pen.color, Rgb(0, 0, 0));
  }
  // Each line comes after its triangle's polygons and is drawn with the stock black pen.
  std::vector<std::string> ops;
  for (const auto& call : context.Calls())
    if (call.op == "Polygon" || call.op == "Polyline" || call.op == "SelectStockPen") ops.push_back(call.op);
  const std::vector<std::string> expected = {"SelectStockPen", "Polygon", "SelectStockPen", "Polygon",
                                             "SelectStockPen", "Polygon", "SelectStockPen", "Polyline",
                                             "SelectStockPen", "Polygon", "SelectStockPen", "Polygon",
                                             "SelectStockPen", "Polygon", "SelectStockPen", "Polyline"};
  EXPECT_EQ(ops, expected);
}

TEST_F(CellRendererTest, EveryPolygonIsFilledWithoutOutlineUnderTheAlternateRule) {
  context.SelectPen(Pen{PenStyle::Solid, 4, Rgb(1, 2, 3)});
  context.SelectBrush(Brush{false, Rgb(9, 9, 9)});
  context.Clear();
  const CellCorner triangle[3] = {{0, 0, 3.0f}, {10, 0, 3.0f}, {0, 10, 3.0f}};
  renderer.DrawTriangle(context, triangle);
  std::vector<std::string> ops;
  for (const auto& call : context.Calls()) ops.push_back(call.op);
  EXPECT_EQ(ops, (std::vector<std::string>{"SelectStockPen", "SelectBrush", "SetPolyFillMode", "Polygon", "SelectBrush",
                                           "SelectPen"}));
  const auto& calls = context.Calls();
  EXPECT_EQ(calls[0].args, (std::vector<int>{kNullPen}));
  EXPECT_EQ(calls[2].args, (std::vector<int>{kAlternate}));
  EXPECT_EQ(calls[3].pen.style, PenStyle::Null);
  EXPECT_EQ(calls[3].brush.color, c1);
  // The previous brush and pen are back.
  EXPECT_EQ(calls[4].args, (std::vector<int>{0, static_cast<int>(Rgb(9, 9, 9))}));
  EXPECT_EQ(calls[5].args, (std::vector<int>{0, 4, static_cast<int>(Rgb(1, 2, 3))}));
}

TEST_F(CellRendererTest, FlatCellsFillTheirFourTrianglesWithOneColour) {
  struct Case {
    float value;
    Color color;
  } cases[] = {{3.0f, c1},   // between levels 2 and 4: the walk's whole-triangle test
               {5.0f, c2},   // above the last closed level
               {-1.0f, c0},  // below level 0
               {0.0f, c0}};  // on level 0: everything at or below it is colour 0
  for (const auto& c : cases) {
    context.Clear();
    const CellCorner flat[4] = {{0, 10, c.value}, {0, 0, c.value}, {10, 0, c.value}, {10, 10, c.value}};
    renderer.DrawCell(context, flat);
    const auto fills = Fills(context);
    ASSERT_EQ(fills.size(), 4u) << c.value;
    for (const auto& fill : fills) EXPECT_EQ(fill.color, c.color) << c.value;
  }
}

TEST_F(CellRendererTest, AFlatCellOnEveryDefaultLevelIsColourZero) {
  ColorScale constant;
  constant.SetupDefault(7.0f, 7.0f, 36, false);
  renderer.SetColorScale(constant);
  const CellCorner flat[4] = {{0, 10, 7.0f}, {0, 0, 7.0f}, {10, 0, 7.0f}, {10, 10, 7.0f}};
  renderer.DrawCell(context, flat);
  const auto fills = Fills(context);
  ASSERT_EQ(fills.size(), 4u);
  for (const auto& fill : fills) EXPECT_EQ(fill.color, constant.LevelColor(0));
  EXPECT_EQ(constant.Lookup(7.0f).band, 34);  // while the pixel map takes band 34
}

TEST_F(CellRendererTest, ATriangleInsideOneBandIsFilledWholeEvenWhenItsTopTouchesALevel) {
  const CellCorner triangle[3] = {{0, 0, 1.0f}, {100, 0, 1.5f}, {50, 100, 2.0f}};
  renderer.drawContourLines = 1;
  renderer.DrawTriangle(context, triangle);
  const auto fills = Fills(context);
  ASSERT_EQ(fills.size(), 1u);
  EXPECT_EQ(fills[0].points, (std::vector<int>{0, 0, 100, 0, 50, 100}));
  EXPECT_EQ(fills[0].color, c0);
  EXPECT_TRUE(context.CallsOf("Polyline").empty());
}

TEST_F(CellRendererTest, ATopVertexOnALevelLeavesADegenerateLastPolygon) {
  const CellCorner triangle[3] = {{0, 0, 1.0f}, {90, 0, 3.0f}, {60, 90, 4.0f}};
  renderer.drawContourLines = 1;
  renderer.DrawTriangle(context, triangle);
  const auto fills = Fills(context);
  ASSERT_EQ(fills.size(), 3u);
  EXPECT_EQ(fills[0].points, (std::vector<int>{0, 0, 45, 0, 20, 30}));
  EXPECT_EQ(fills[0].color, c0);
  // From the previous cut reversed, round the middle vertex, to both cuts at the top.
  EXPECT_EQ(fills[1].points, (std::vector<int>{20, 30, 45, 0, 90, 0, 60, 90, 60, 90}));
  EXPECT_EQ(fills[1].color, c1);
  EXPECT_EQ(fills[2].points, (std::vector<int>{60, 90, 60, 90, 60, 90}));
  EXPECT_EQ(fills[2].color, c1);
  const auto lines = context.CallsOf("Polyline");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].args, (std::vector<int>{45, 0, 20, 30}));
  EXPECT_EQ(lines[1].args, (std::vector<int>{60, 90, 60, 90}));
}

TEST_F(CellRendererTest, ACutOnAFlatEdgeIsItsFirstVertex) {
  // P1 and P2 both at 4 = level 2: the cut on the edge P1 -> P2 returns P1.
  const CellCorner triangle[3] = {{0, 0, 1.0f}, {90, 0, 4.0f}, {0, 90, 4.0f}};
  renderer.drawContourLines = 1;
  renderer.DrawTriangle(context, triangle);
  const auto fills = Fills(context);
  ASSERT_EQ(fills.size(), 3u);
  EXPECT_EQ(fills[1].points, (std::vector<int>{0, 30, 30, 0, 90, 0, 90, 0, 0, 90}));
  EXPECT_EQ(fills[2].points, (std::vector<int>{0, 90, 90, 0, 0, 90}));
  const auto lines = context.CallsOf("Polyline");
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].args, (std::vector<int>{30, 0, 0, 30}));
  EXPECT_EQ(lines[1].args, (std::vector<int>{90, 0, 0, 90}));
}

TEST_F(CellRendererTest, TriangleIsEntirelyAboveTheLastClosedLevel) {
  const CellCorner triangle[3] = {{0, 0, 4.5f}, {100, 0, 9.0f}, {50, 100, 1e7f}};
  renderer.DrawTriangle(context, triangle);
  const auto fills = Fills(context);
  ASSERT_EQ(fills.size(), 1u);
  EXPECT_EQ(fills[0].color, c2);
}

TEST_F(CellRendererTest, FewerThanTwoLevelsDrawNothing) {
  ContourLevels record;
  record.count = 1;
  ColorScale single;
  single.SetupFromLevels(record, false);
  renderer.SetColorScale(single);
  renderer.DrawCell(context, kCell);
  EXPECT_TRUE(context.Calls().empty());
}

}  // namespace
}  // namespace gridora
