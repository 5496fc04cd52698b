#include "view/contour_map.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "render/color_scale.h"
#include "render_fixture.h"
#include "view/copy_frame.h"
#include "view/view_paint.h"

namespace gridora {
namespace {

using test::Args;
using test::MapFixture;

// A layout of 1200 x 850 units: the 2 x 1 window of the 3 x 2 grid fits at 500.
constexpr LogicalRect kLayout{0, 0, 1200, -850};

struct ThreeByTwo : MapFixture {
  RecordingContext dc;
  explicit ThreeByTwo(std::vector<std::vector<float>> columns = {{1, 2}, {3, 4}, {5, 6}}) {
    test::FillGrid(doc, columns);
  }
  void Draw() { DrawMap(dc, doc, kLayout); }
  // Lines of a diagnostic file without their CR LF ends.
  std::vector<std::string> Lines(const std::string& name) const {
    std::vector<std::string> lines;
    const std::string text = here.Read(name);
    for (std::size_t start = 0; start < text.size();) {
      const std::size_t end = text.find("\r\n", start);
      if (end == std::string::npos) {
        lines.push_back(text.substr(start));
        break;
      }
      lines.push_back(text.substr(start, end - start));
      start = end + 2;
    }
    return lines;
  }
  // Levels 0, 2, 4 and the open top, as "Contour setup" stores them.
  void UseFourLevels() {
    grid().userLevels = 1;
    grid().contourLevels.count = 4;
    grid().contourLevels.levels[0] = 0.0f;
    grid().contourLevels.levels[1] = 2.0f;
    grid().contourLevels.levels[2] = 4.0f;
  }
  std::vector<std::string> Ops() const {
    std::vector<std::string> ops;
    for (const auto& call : dc.Calls())
      if (ops.empty() || ops.back() != call.op) ops.push_back(call.op);
    return ops;
  }
};

TEST(DrawMap, PixelModeStretchesOnePixelPerNodeOntoTheFrame) {
  ThreeByTwo m;
  m.Draw();
  const GridModel& g = m.grid();
  EXPECT_EQ(g.scaleX, 500.0f);
  EXPECT_EQ(g.scaleY, 500.0f);
  EXPECT_EQ(m.doc.scaleFitted, 1);
  EXPECT_EQ(g.nxInWindow, 3);
  EXPECT_EQ(g.nyInWindow, 2);
  EXPECT_EQ(g.xLastDrawn, 2.0f);
  EXPECT_EQ(g.yLastDrawn, 1.0f);
  EXPECT_EQ(m.doc.mapBitmapDirty, 0);

  const auto stretches = m.dc.CallsOf("StretchPixelMap");
  ASSERT_EQ(stretches.size(), 1u);
  EXPECT_EQ(stretches[0].args, Args({200, -150, 1200, -650, 3, 2}));
  // Row 0 is the top of the window: the last grid row.
  const PixelMap& map = m.dc.LastPixelMap();
  const ColorScale& scale = *m.doc.colorScale;
  const float top[3] = {2, 4, 6}, bottom[3] = {1, 3, 5};
  for (int column = 0; column < 3; ++column) {
    EXPECT_EQ(map.At(column, 0), scale.LookupColor(top[column])) << column;
    EXPECT_EQ(map.At(column, 1), scale.LookupColor(bottom[column])) << column;
  }
  EXPECT_EQ(map.At(0, 1), Rgb(255, 0, 255));  // the minimum: band 0
  EXPECT_EQ(map.At(2, 0), Rgb(0, 25, 225));   // the maximum: band 34

  // Body, frame, legend in that order; no markers without points.
  EXPECT_EQ(m.Ops().front(), "StretchPixelMap");
  EXPECT_TRUE(m.dc.CallsOf("Ellipse").empty());
  // The legend would pass the layout's right edge (1200): it sits on a panel inside it
  // (one rectangle more), and the copy's frame still reaches past the map's right edge.
  EXPECT_EQ(m.dc.CallsOf("Rectangle").size(), 36u);
  EXPECT_EQ(m.doc.legendRight, 1300);
  EXPECT_EQ(m.doc.mapBottom, 650);
}

TEST(DrawMap, BodyThenFrameThenMarkersThenLegend) {
  for (int mode : {0, 1, 2}) {
    SCOPED_TRACE(mode);
    ThreeByTwo m;
    m.grid().mapColorMode = mode;
    test::AddPoint(*m.doc.primaryData, 1.0, 0.5, 3.0);
    m.Draw();
    const auto& calls = m.dc.Calls();
    auto first = [&](const std::string& op) {
      return std::find_if(calls.begin(), calls.end(), [&](const RecordedCall& c) { return c.op == op; }) -
             calls.begin();
    };
    auto last = [&](const std::string& op) {
      return calls.rend() -
             std::find_if(calls.rbegin(), calls.rend(), [&](const RecordedCall& c) { return c.op == op; });
    };
    const auto body = first(mode == 0 ? "StretchPixelMap" : "Polygon");
    const auto frame = first("LineTo");
    const auto scaleText = last("TextOut");
    const auto marker = first("Ellipse");
    const auto legend = first("Rectangle");
    EXPECT_LT(body, frame);
    EXPECT_LT(frame, marker);
    EXPECT_LT(marker, legend);
    EXPECT_GT(scaleText, legend);  // the legend's labels come last
    EXPECT_EQ(calls[static_cast<std::size_t>(marker)].args, Args({690, -410, 710, -390}));
    EXPECT_EQ(calls[static_cast<std::size_t>(marker)].brush.color, m.doc.colorScale->LookupColor(3.0f));
  }
}

TEST(DrawMap, WritesDrawMapTxt) {
  ThreeByTwo m;
  m.Draw();
  const auto lines = m.Lines("DrawMap.txt");
  ASSERT_EQ(lines.size(), 5u + 1u + 37u + 3u + 2u);
  EXPECT_EQ(lines[0], "kx = 3 ky = 2");
  EXPECT_EQ(lines[1], "nx = 3 ny = 2");
  EXPECT_EQ(lines[2], "xmin = 0.000000 xs =0.000000 xe = 2.000000");
  EXPECT_EQ(lines[3], "zmin = 0.000000 zs =0.000000 ze = 1.000000");
  EXPECT_EQ(lines[4], "0 1.000000 6.000000");
  EXPECT_EQ(lines[5], "0.000000 0.000000 ");
  EXPECT_EQ(lines[6], "0 0.000000 ");
  EXPECT_EQ(lines[43], "0 1 0 1.000000 2.000000");
  EXPECT_EQ(lines[45], "2 1 2 5.000000 6.000000");
  EXPECT_EQ(lines[46], "3 2 : 3 2 : 1.000000 1.000000 : 2.000000 1.000000 ");
  EXPECT_EQ(lines[47], "X: 0.000000 0.000000 0.000000 0 Y: 1.000000 1.000000 0.000000 0 ");

  // From the cache: no rebuild lines.
  m.Draw();
  EXPECT_EQ(m.Lines("DrawMap.txt").size(), 5u + 2u);
}

TEST(DrawMap, BandModesFillEveryCellAndModeTwoDrawsTheContours) {
  for (int mode : {1, 2}) {
    SCOPED_TRACE(mode);
    ThreeByTwo m({{1, 1}, {3, 3}, {5, 5}});
    m.UseFourLevels();
    m.grid().mapColorMode = mode;
    m.Draw();
    EXPECT_TRUE(m.dc.CallsOf("StretchPixelMap").empty());
    const auto polygons = m.dc.CallsOf("Polygon");
    ASSERT_EQ(polygons.size(), 12u);  // 6 in each of the two cells
    // The first cell's left triangle: centre, top-left, bottom-left corners.
    EXPECT_EQ(polygons[0].args, Args({200, -150, 200, -650, 450, -400}));
    EXPECT_EQ(polygons[0].brush.color, m.doc.colorScale->LevelColor(0));
    EXPECT_EQ(polygons.back().brush.color, m.doc.colorScale->LevelColor(2));
    const auto lines = m.dc.CallsOf("Polyline");
    if (mode == 1) {
      EXPECT_TRUE(lines.empty());
    } else {
      // Level 2 half way between the first two columns, level 4 between the last two.
      ASSERT_EQ(lines.size(), 4u);
      EXPECT_EQ(lines[0].args, Args({450, -400, 450, -650}));
      EXPECT_EQ(lines[1].args, Args({450, -400, 450, -150}));
      EXPECT_EQ(lines[2].args, Args({950, -400, 950, -650}));
      EXPECT_EQ(lines[3].args, Args({950, -400, 950, -150}));
    }
    // Band modes leave mapWidth to the frame.
    EXPECT_EQ(m.doc.mapBottom, 650);
    EXPECT_EQ(m.Lines("DrawMap.txt").size(), 5u);
  }
}

TEST(DrawMap, ANarrowedWindowShowsOnlyItsNodesInPixelModeButEveryCellInBandModes) {
  std::vector<std::vector<float>> columns(5, std::vector<float>(5));
  for (int ix = 0; ix < 5; ++ix)
    for (int iy = 0; iy < 5; ++iy) columns[ix][iy] = static_cast<float>(ix * 10 + iy);
  ThreeByTwo m(columns);
  GridModel& g = m.grid();
  // As "Axis setup" leaves it.
  g.xStart = g.yStart = 1.0f;
  g.xEnd = g.yEnd = 3.0f;
  g.xInterval = g.yInterval = 1.0f;
  g.xTickCount = g.yTickCount = 3;
  g.axisFixed = 1;
  m.Draw();
  EXPECT_EQ(g.scaleX, 300.0f);
  EXPECT_EQ(g.nxInWindow, 3);
  EXPECT_EQ(g.nyInWindow, 3);
  EXPECT_EQ(g.xLastDrawn, 2.0f);
  EXPECT_EQ(g.yLastDrawn, 2.0f);
  // The image covers the window exactly: its top row is node row 3 at the window's top.
  EXPECT_EQ(m.dc.CallsOf("StretchPixelMap").at(0).args, Args({200, -150, 800, -750, 3, 3}));
  const PixelMap& map = m.dc.LastPixelMap();
  EXPECT_EQ(map.At(0, 0), m.doc.colorScale->LookupColor(13.0f));
  EXPECT_EQ(map.At(2, 2), m.doc.colorScale->LookupColor(31.0f));
  EXPECT_EQ(m.Lines("DrawMap.txt")[43], "0 0 0 0.000000 4.000000");

  m.dc.Clear();
  g.mapColorMode = 1;
  m.Draw();
  int left = 1 << 30, right = -(1 << 30);
  for (const auto& p : m.dc.CallsOf("Polygon"))
    for (std::size_t i = 0; i < p.args.size(); i += 2) {
      left = std::min(left, p.args[i]);
      right = std::max(right, p.args[i]);
    }
  EXPECT_EQ(left, 200 - 300);  // nothing is clipped to the frame
  EXPECT_EQ(right, 200 + 3 * 300);
}

TEST(DrawMap, HiddenFarNodesArePaintedWhite) {
  ThreeByTwo m;
  m.grid().hideFarNodes = 1;
  m.grid().maxDistance = 0.5f;
  std::fill(m.grid().dataDistance.begin(), m.grid().dataDistance.end(), 0.0f);
  m.grid().Distance(1, 0) = 0.75f;
  m.Draw();
  const PixelMap& map = m.dc.LastPixelMap();
  EXPECT_EQ(map.At(1, 1), Rgb(255, 255, 255));
  EXPECT_EQ(map.At(1, 0), m.doc.colorScale->LookupColor(4.0f));
  EXPECT_EQ(map.At(0, 1), Rgb(255, 0, 255));
}

TEST(DrawMap, LogColoursThePixelMapButNotTheBandsOrTheMarkers) {
  ThreeByTwo m({{1, 10}, {100, 1000}, {10000, 100000}});
  m.doc.logScale = 1;
  test::AddPoint(*m.doc.primaryData, 1.0, 0.0, 1000.0);
  m.Draw();
  const ColorScale& scale = *m.doc.colorScale;
  EXPECT_EQ(scale.minimum, 0.0f);
  EXPECT_EQ(scale.maximum, 5.0f);
  EXPECT_EQ(m.Lines("DrawMap.txt")[4], "1 1.000000 100000.000000");
  const PixelMap& map = m.dc.LastPixelMap();
  EXPECT_EQ(map.At(1, 0), scale.LookupColor(3.0f));
  EXPECT_NE(map.At(1, 0), scale.LevelColor(34));
  EXPECT_EQ(m.dc.CallsOf("Ellipse").at(0).brush.color, scale.LookupColor(1000.0f));

  m.dc.Clear();
  m.grid().mapColorMode = 1;
  m.Draw();
  // The right cell's values are all far above the top closed level 34 (log 4.86).
  int rightCell = 0;
  for (const auto& p : m.dc.CallsOf("Polygon")) {
    bool right = true;
    for (std::size_t i = 0; i < p.args.size(); i += 2) right = right && p.args[i] >= 700;
    if (!right) continue;
    ++rightCell;
    EXPECT_EQ(p.brush.color, scale.LevelColor(34));
  }
  EXPECT_EQ(rightCell, 4);
}

TEST(DrawMap, TheCachedPixelMapIsKeptUntilMarkedDirty) {
  ThreeByTwo m;
  m.Draw();
  const PixelMap first = m.dc.LastPixelMap();
  m.grid().Value(0, 0, 0) = 6.0f;  // a change nobody announced
  m.grid().mapColorMode = 2;
  m.Draw();
  m.grid().mapColorMode = 0;
  m.Draw();
  EXPECT_EQ(m.dc.LastPixelMap().pixels, first.pixels);
  m.doc.mapBitmapDirty = 1;
  m.Draw();
  EXPECT_NE(m.dc.LastPixelMap().pixels, first.pixels);
}

TEST(DrawMap, PointsAloneGetWindowFrameMarkersAndLegend) {
  MapFixture m;
  RecordingContext dc;
  test::AddPoint(*m.doc.primaryData, 0.0, 0.0, 1.0);
  test::AddPoint(*m.doc.primaryData, 10.0, 5.0, 2.0);
  DrawMap(dc, m.doc, kLayout);
  EXPECT_EQ(m.grid().xEnd, 10.0f);
  EXPECT_EQ(m.grid().xInterval, 2.0f);
  EXPECT_EQ(m.grid().scaleX, 100.0f);
  EXPECT_EQ(dc.CallsOf("Ellipse").size(), 2u);
  EXPECT_EQ(dc.CallsOf("Rectangle").size(), 36u);  // 35 boxes on a panel inside the layout
  // Levels from the points' values.
  EXPECT_EQ(m.doc.colorScale->minimum, 1.0f);
  EXPECT_EQ(m.doc.colorScale->maximum, 2.0f);

  m.grid().showRandomData = 0;
  dc.Clear();
  m.doc.legendRight = 7;
  DrawMap(dc, m.doc, kLayout);
  EXPECT_TRUE(dc.CallsOf("Ellipse").empty());
  EXPECT_TRUE(dc.CallsOf("Rectangle").empty());
  EXPECT_EQ(m.doc.legendRight, 7);
}

TEST(FitMapScale, FitsOnceAndKeepsTheScaleAfterwards) {
  ThreeByTwo m;
  m.Draw();
  ASSERT_EQ(m.grid().scaleX, 500.0f);
  DrawMap(m.dc, m.doc, {0, 0, 5000, -5000});
  EXPECT_EQ(m.grid().scaleX, 500.0f);
  // A scale read from a document file is never fitted.
  ThreeByTwo fromFile;
  fromFile.doc.scaleFromFile = 1;
  fromFile.grid().scaleX = 3.0f;
  fromFile.grid().scaleY = 4.0f;
  fromFile.Draw();
  EXPECT_EQ(fromFile.grid().scaleX, 3.0f);
  EXPECT_EQ(fromFile.grid().scaleY, 4.0f);
  EXPECT_EQ(fromFile.doc.scaleFitted, 0);
}

TEST(FitMapScale, TallWindowsFitTheHeight) {
  ThreeByTwo m({{1, 2, 3, 4, 5}, {1, 2, 3, 4, 5}});  // 1 wide, 4 high
  m.Draw();
  EXPECT_EQ(m.grid().scaleX, (850.0f - 150.0f - 100.0f) / 4.0f);
  EXPECT_EQ(m.grid().scaleY, m.grid().scaleX);
}

TEST(FitMapScale, DegenerateLayoutsAndWindowsKeepAFinitePositiveScale) {
  struct Case {
    const char* what;
    LogicalRect layout;
    float xSpan, ySpan;
    bool fitted;
    float scale;
  } cases[] = {
      {"zero-size layout", {0, 0, 0, 0}, 2, 1, false, 1.0f},
      {"zero-width layout", {0, 0, 0, -850}, 2, 1, false, 1.0f},
      {"zero-height layout", {0, 0, 1200, 0}, 2, 1, false, 1.0f},
      {"window without width", kLayout, 0, 1, true, 600.0f},
      {"window without height", kLayout, 2, 0, true, 500.0f},
      {"window without area", kLayout, 0, 0, false, 1.0f},
      {"layout narrower than its margin", {0, 0, 150, -850}, 2, 1, true, 600.0f},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    MapFixture m;
    GridModel& g = m.grid();
    g.xStart = g.yStart = 0.0f;
    g.xEnd = c.xSpan;
    g.yEnd = c.ySpan;
    FitMapScale(m.doc, c.layout);
    EXPECT_TRUE(std::isfinite(g.scaleX) && g.scaleX > 0.0f);
    EXPECT_EQ(g.scaleX, c.scale);
    EXPECT_EQ(g.scaleY, g.scaleX);
    EXPECT_EQ(m.doc.scaleFitted, c.fitted ? 1 : 0);
  }
}

TEST(FitMapScale, AStoredScaleThatIsNotANumberBecomesOne) {
  MapFixture m;
  m.grid().scaleX = std::numeric_limits<float>::quiet_NaN();
  m.grid().scaleY = -2.0f;
  FitMapScale(m.doc, {0, 0, 0, 0});
  EXPECT_EQ(m.grid().scaleX, 1.0f);
  EXPECT_EQ(m.grid().scaleY, 1.0f);
}

TEST(CountNodesInWindow, CountsNodesInsideTheWindowInclusive) {
  MapFixture m;
  test::FillGrid(m.doc, std::vector<std::vector<float>>(6, std::vector<float>(4, 0.0f)), 10.0f, 0.0f, 2.0f, 0.5f);
  GridModel& g = m.grid();
  g.xStart = 12.0f;
  g.xEnd = 16.0f;  // columns at 12, 14, 16
  g.yStart = -1.0f;
  g.yEnd = 0.75f;  // rows at 0 and 0.5
  CountNodesInWindow(g);
  EXPECT_EQ(g.nxInWindow, 3);
  EXPECT_EQ(g.nyInWindow, 2);
  EXPECT_EQ(g.xLastDrawn, 14.0f);  // (nx - 1) DX + x0, from the first column
  EXPECT_EQ(g.yLastDrawn, 0.5f);
  g.xStart = 100.0f;
  g.xEnd = 200.0f;
  CountNodesInWindow(g);
  EXPECT_EQ(g.nxInWindow, 0);
}

TEST(SetupColorLevels, DefaultUserAndLogLevels) {
  ThreeByTwo m({{10, 20}, {30, 40}, {50, 1000}});
  float low = 0, high = 0;
  SetupColorLevels(m.doc, low, high);
  EXPECT_EQ(low, 10.0f);
  EXPECT_EQ(high, 1000.0f);
  EXPECT_EQ(m.doc.colorScale->levelCount, 36);
  EXPECT_EQ(m.doc.colorScale->levels[0], 10.0f);

  m.doc.logScale = 1;
  m.grid().reverseColors = 1;
  SetupColorLevels(m.doc, low, high);
  EXPECT_EQ(low, 10.0f);  // reported before the logarithm
  EXPECT_EQ(m.doc.colorScale->minimum, 1.0f);
  EXPECT_EQ(m.doc.colorScale->maximum, 3.0f);
  EXPECT_EQ(m.doc.colorScale->LevelColor(0), Rgb(0, 0, 255));

  m.UseFourLevels();
  SetupColorLevels(m.doc, low, high);
  EXPECT_EQ(m.doc.colorScale->levelCount, 4);
  EXPECT_EQ(m.doc.colorScale->levels[3], 1e8f);
}

TEST(ViewPaint, MapDrawnAfterTheStatusLine) {
  ThreeByTwo m;
  PaintView(m.dc, m.doc, {0, 0, 1200, 850});
  ASSERT_GE(m.dc.Calls().size(), 2u);
  EXPECT_EQ(m.dc.Calls()[0].op, "TextOut");
  EXPECT_EQ(m.dc.Calls()[1].op, "StretchPixelMap");
}

TEST(CopyFrame, FramesTheLastDrawingAndResetsAfterwards) {
  ThreeByTwo m;
  m.Draw();
  const CopyFrame first = BeginCopy(m.doc);
  // The legend keeps inside the 1200-unit layout; the frame ends 200 past the map.
  EXPECT_EQ(first.width, 1400);
  EXPECT_EQ(first.height, 850);
  EXPECT_EQ(first.layout, (LogicalRect{0, 0, 14000, 8500}));
  EndCopy(m.doc);
  const CopyFrame second = BeginCopy(m.doc);  // no repaint in between
  EXPECT_EQ(second.width, 100);
  EXPECT_EQ(second.height, 200);
  EndCopy(m.doc);
}

}  // namespace
}  // namespace gridora
