#include "view/map_frame.h"

#include <fmt/printf.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>

#include "render/color_scale.h"
#include "render_fixture.h"
#include "view/contour_map.h"

namespace gridora {
namespace {

using test::Args;
using test::MapFixture;

TEST(NiceTicks, RoundsTheEndUpToWholeIntervals) {
  struct Case {
    float start, end;
    float interval, newEnd;
    int count;
  } cases[] = {
      {0.0f, 23.5f, 5.0f, 25.0f, 6},          {0.0f, 10.0f, 2.0f, 10.0f, 6},          {0.0f, 0.5f, 1.0f, 1.0f, 2},
      {0.0f, 10000.0f, 2000.0f, 10000.0f, 6}, {0.0f, 9999.0f, 1000.0f, 10000.0f, 11}, {5.0f, 5.0f, 1.0f, 5.0f, 1},
      {-3.0f, 2.0f, 1.0f, 2.0f, 6},           {100.0f, 352.0f, 50.0f, 400.0f, 7},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.start << ".." << c.end);
    float end = c.end, interval = 0.0f;
    EXPECT_EQ(NiceTicks(c.start, end, interval), c.count);
    EXPECT_EQ(interval, c.interval);
    EXPECT_EQ(end, c.newEnd);
  }
}

TEST(NiceTicks, AnAbsurdSpanGivesACountInsteadOfOverflowing) {
  float end = 1e30f, interval = 0.0f;
  EXPECT_GT(NiceTicks(0.0f, end, interval), 0);
  end = std::numeric_limits<float>::quiet_NaN();
  EXPECT_GE(NiceTicks(0.0f, end, interval), 0);
}

TEST(WindowAndTicks, GridThenPointsThenNothing) {
  MapFixture m;
  GridModel& g = m.grid();
  EXPECT_FALSE(WindowAndTicks(m.doc));
  EXPECT_EQ(g.xEnd, 0.0f);

  test::AddPoint(*m.doc.primaryData, 1.0, 2.0, 5.0);
  test::AddPoint(*m.doc.primaryData, 4.0, 3.0, 5.0);
  m.doc.secondaryData = CreateRandomData();
  test::AddPoint(*m.doc.secondaryData, -2.0, 2.5, 1.0);
  ASSERT_TRUE(WindowAndTicks(m.doc));
  EXPECT_EQ(g.xStart, -2.0f);  // widened by the secondary set
  EXPECT_EQ(g.xEnd, 4.0f);
  EXPECT_EQ(g.yStart, 2.0f);
  EXPECT_EQ(g.yEnd, 3.0f);
  EXPECT_EQ(g.xTickCount, 7);

  test::FillGrid(m.doc, {{1, 2}, {3, 4}, {5, 6}}, 10.0f, -5.0f, 2.5f, 4.0f);
  ASSERT_TRUE(WindowAndTicks(m.doc));
  EXPECT_EQ(g.xStart, 10.0f);
  EXPECT_EQ(g.xEnd, 15.0f);
  EXPECT_EQ(g.xInterval, 1.0f);
  EXPECT_EQ(g.xTickCount, 6);
  EXPECT_EQ(g.yStart, -5.0f);
  EXPECT_EQ(g.yEnd, -1.0f);
  EXPECT_EQ(g.yTickCount, 5);
}

// The 3 x 2 grid of the map tests, drawn at 500 units a metre.
struct FrameFixture : MapFixture {
  RecordingContext dc;
  int mapWidth = 0, mapHeight = 0;
  FrameFixture() {
    test::FillGrid(doc, {{1, 2}, {3, 4}, {5, 6}});
    WindowAndTicks(doc);
  }
  void Draw() { DrawFrameAndAxes(dc, doc, 500.0f, 500.0f, mapWidth, mapHeight); }
  std::vector<RecordedCall> Texts() const { return dc.CallsOf("TextOut"); }
};

TEST(DrawFrameAndAxes, FrameGridLinesLabelsTitlesAndScaleText) {
  FrameFixture f;
  f.Draw();
  EXPECT_EQ(f.mapWidth, 1000);
  EXPECT_EQ(f.mapHeight, 500);

  const auto lines = f.dc.CallsOf("LineTo");
  ASSERT_EQ(lines.size(), 4u + 3u + 2u);
  const std::vector<std::vector<int>> expected = {
      {200, -150, 1200, -150},  {1200, -150, 1200, -650}, {1200, -650, 200, -650},
      {200, -650, 200, -150},   {200, -150, 200, -650},   {700, -150, 700, -650},
      {1200, -150, 1200, -650}, {200, -650, 1200, -650},  {200, -150, 1200, -150}};
  for (std::size_t i = 0; i < lines.size(); ++i) {
    EXPECT_EQ(lines[i].args, expected[i]) << i;
    EXPECT_EQ(lines[i].pen.width, i < 4 ? 10 : 2) << i;
    EXPECT_EQ(lines[i].pen.color, Rgb(0, 0, 0)) << i;
  }

  const auto texts = f.Texts();
  struct Text {
    const char* text;
    int x, y;
  } want[] = {{"0.0", 150, -700}, {"1.0", 650, -700}, {"2.0", 1150, -700}, {"X", 650, -750},
              {"0.0", 100, -625}, {"1.0", 100, -125}, {"Y", 50, -400},     {"X Scale=500.0 Y Scale =500.0", 700, -800}};
  ASSERT_EQ(texts.size(), std::size(want));
  for (std::size_t i = 0; i < texts.size(); ++i) {
    EXPECT_EQ(texts[i].text, want[i].text) << i;
    EXPECT_EQ(texts[i].args, Args({want[i].x, want[i].y})) << i;
  }
  // Heights: titles 40 (X) and 35 turned a quarter clockwise (Y); everything else 35.
  const auto fonts = f.dc.CallsOf("SelectFont");
  std::vector<std::vector<int>> used;
  for (const auto& font : fonts)
    if (font.args[0] != 0) used.push_back({font.args[0], font.args[1]});
  ASSERT_EQ(used.size(), texts.size());
  EXPECT_EQ(used[3], (std::vector<int>{40, 0}));
  EXPECT_EQ(used[6], (std::vector<int>{35, -900}));
  EXPECT_EQ(used[0], (std::vector<int>{35, 0}));
  EXPECT_EQ(fonts[0].text, "Arial");
  // Every pen and font goes back to what was selected before.
  EXPECT_EQ(f.dc.CurrentFont(), Font{});
}

TEST(DrawFrameAndAxes, MapSizeOnlyGrows) {
  FrameFixture f;
  f.mapWidth = 2000;
  f.mapHeight = 10;
  f.Draw();
  EXPECT_EQ(f.mapWidth, 2000);
  EXPECT_EQ(f.mapHeight, 500);
}

TEST(DrawFrameAndAxes, TextLabelsAreNeverReadPastTheirArray) {
  FrameFixture f;
  GridModel& g = f.grid();
  g.xLabelsOn = g.yLabelsOn = 1;
  // Labels left over from an earlier import of a smaller table.
  g.xLabels = {"first", "second"};
  g.yLabels = {"Station 12 north"};
  g.xTickCount = 5;
  g.yTickCount = 4;
  f.Draw();
  const auto texts = f.Texts();
  ASSERT_EQ(texts.size(), 5u + 1u + 4u + 2u);
  EXPECT_EQ(texts[0].text, "first");
  EXPECT_EQ(texts[1].text, "second");  // X labels whole
  for (int i = 2; i < 5; ++i) EXPECT_EQ(texts[i].text, "") << i;
  EXPECT_EQ(texts[6].text, "Statio");  // Y labels cut to 6 characters
  for (int j = 7; j < 10; ++j) EXPECT_EQ(texts[j].text, "") << j;
}

TEST(DrawFrameAndAxes, YLabelsAreCutBetweenCharactersNotBytes) {
  FrameFixture f;
  f.grid().yLabelsOn = 1;
  f.grid().yLabels = {"\xe6\xb8\xac\xe7\xb7\x9a\xe3\x81\xae\xe5\x90\x8d\xe5\x89\x8d\xe3\x81\xa7\xe3\x81\x99", "b"};
  f.Draw();
  EXPECT_EQ(f.Texts()[4].text, "\xe6\xb8\xac\xe7\xb7\x9a\xe3\x81\xae\xe5\x90\x8d\xe5\x89\x8d\xe3\x81\xa7");
}

TEST(DrawFrameAndAxes, TickLoopsStopAtAnAbsurdCount) {
  FrameFixture f;
  f.grid().xTickCount = 2000000000;
  f.grid().xInterval = 1e-9f;
  f.Draw();
  EXPECT_EQ(f.dc.CallsOf("LineTo").size(), 4u + kMaximumTicks + 2u);
}

struct MarkerFixture : FrameFixture {
  MarkerFixture() {
    test::AddPoint(*doc.primaryData, 0.5, 0.5, 3.5);
    test::AddPoint(*doc.primaryData, 2.0, 1.0, 6.0);
    doc.colorScale->SetupDefault(1.0f, 6.0f, 36, false);
  }
};

TEST(DrawDataMarkers, CirclesAtThePointsInTheirValuesColours) {
  MarkerFixture f;
  DrawDataMarkers(f.dc, f.doc, 500.0f, 500.0f);
  const auto circles = f.dc.CallsOf("Ellipse");
  ASSERT_EQ(circles.size(), 2u);
  EXPECT_EQ(circles[0].args, Args({440, -410, 460, -390}));
  EXPECT_EQ(circles[1].args, Args({1190, -160, 1210, -140}));
  EXPECT_EQ(circles[0].brush.color, f.doc.colorScale->LookupColor(3.5f));
  EXPECT_EQ(circles[1].brush.color, Rgb(0, 25, 225));  // the maximum: band 34
  for (const auto& c : circles) EXPECT_EQ(c.pen, (Pen{PenStyle::Solid, 3, Rgb(0, 0, 0)}));
  EXPECT_EQ(f.here.Read("ShowRandomData.txt"),
            "X: 0.500000 0.000000 0.500000 Y: 0.500000 0.000000 0.500000 \r\n"
            "X: 2.000000 0.000000 2.000000 Y: 1.000000 0.000000 0.000000 \r\n");
}

TEST(DrawDataMarkers, GreyWithoutLevelsAndTheSecondarySetWhenSelected) {
  MarkerFixture f;
  f.grid().contourLevels.count = 0;
  DrawDataMarkers(f.dc, f.doc, 500.0f, 500.0f);
  for (const auto& c : f.dc.CallsOf("Ellipse")) EXPECT_EQ(c.brush.color, Rgb(100, 100, 100));

  f.dc.Clear();
  f.doc.variableSelection = 1;
  DrawDataMarkers(f.dc, f.doc, 500.0f, 500.0f);  // no secondary set: nothing
  EXPECT_TRUE(f.dc.Calls().empty());
  f.doc.secondaryData = CreateRandomData();
  test::AddPoint(*f.doc.secondaryData, 1.0, 0.0, 1.0);
  DrawDataMarkers(f.dc, f.doc, 500.0f, 500.0f);
  const auto circles = f.dc.CallsOf("Ellipse");
  ASSERT_EQ(circles.size(), 1u);
  EXPECT_EQ(circles[0].args, Args({690, -660, 710, -640}));
}

TEST(DrawLegend, DefaultLevelsDrawThirtyFiveBoxesOver35Of37OfTheHeight) {
  FrameFixture f;
  f.doc.colorScale->SetupDefault(1.0f, 6.0f, 36, false);
  const int right = DrawLegend(f.dc, f.doc, 1000, 500, 0);
  EXPECT_EQ(right, 1410);
  const auto boxes = f.dc.CallsOf("Rectangle");
  ASSERT_EQ(boxes.size(), 35u);
  EXPECT_EQ(boxes[0].args, Args({1270, -650, 1310, -637}));  // on the map's bottom edge
  EXPECT_EQ(boxes[34].args, Args({1270, -208, 1310, -195}));
  for (int i = 0; i < 35; ++i)
    EXPECT_EQ(boxes[static_cast<std::size_t>(i)].brush.color, f.doc.colorScale->LevelColor(i)) << i;
  // 13 units a box: a label on every fourth box.
  const auto labels = f.dc.CallsOf("TextOut");
  ASSERT_EQ(labels.size(), 9u);
  EXPECT_EQ(labels[0].text, "1.14");
  EXPECT_EQ(labels[0].args, Args({1320, -613}));
  EXPECT_EQ(labels[1].text, fmt::sprintf("%.2f", f.doc.colorScale->levels[5]));

  const std::string log = f.here.Read("Legend.txt");
  EXPECT_EQ(log.substr(0, log.find("\r\n") + 2), "0/37 : 0.000000 1.000001 : 0 : 255 0 255 : 1270 1310 -650 -637\r\n");
  EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 35);
}

TEST(DrawLegend, TallBoxesAreAllLabelledExceptTheTopOne) {
  FrameFixture f;
  f.doc.colorScale->SetupDefault(0.0f, 36.0f, 36, false);
  DrawLegend(f.dc, f.doc, 1000, 1850, 0);  // 50 units a box
  const auto labels = f.dc.CallsOf("TextOut");
  ASSERT_EQ(labels.size(), 34u);
  EXPECT_EQ(labels.back().text, "34.00");
  f.dc.Clear();
  DrawLegend(f.dc, f.doc, 1000, 1849, 0);  // 49: every second box
  EXPECT_EQ(f.dc.CallsOf("TextOut").size(), 17u);
}

TEST(DrawLegend, ARecordWithoutLevelsDoesNotDivideByZero) {
  FrameFixture f;
  f.grid().contourLevels.count = 0;
  DrawLegend(f.dc, f.doc, 1000, 500, 0);
  EXPECT_EQ(f.dc.CallsOf("Rectangle").size(), 35u);
}

}  // namespace
}  // namespace gridora
