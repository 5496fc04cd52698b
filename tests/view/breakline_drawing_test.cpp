// The faults on the map: drawn in the map's coordinates, cut to the display window.
#include "view/breakline_drawing.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "render/recording_context.h"
#include "render_fixture.h"
#include "view/contour_map.h"
#include "view/document.h"

namespace gridora {
namespace {

constexpr LogicalRect kLayout{0, 0, 1200, -850};

// The lines drawn with the faults' pen: every LineTo between its selection and the next.
std::vector<RecordedCall> FaultStrokes(const RecordingContext& dc) {
  std::vector<RecordedCall> strokes;
  bool faultPen = false;
  for (const RecordedCall& call : dc.Calls()) {
    if (call.op == "SelectPen") faultPen = call.args[1] == 8 && call.args[2] == static_cast<int>(Rgb(160, 0, 0));
    if (faultPen && call.op == "LineTo") strokes.push_back(call);
  }
  return strokes;
}

TEST(BreaklineDrawing, LinesFollowTheMapAndStopAtTheWindow) {
  test::MapFixture m;
  test::FillGrid(m.doc, {{1, 2, 3}, {3, 4, 5}, {5, 6, 7}});  // window 0..2 x 0..2
  {
    RecordingContext dc;
    DrawMap(dc, m.doc, kLayout);
    EXPECT_TRUE(FaultStrokes(dc).empty());  // no faults: nothing drawn with their pen
  }
  // One line across the whole window and beyond it at y = 1, one from the window's
  // centre to its top-right corner, one wholly outside.
  m.doc.breaklines = {Polyline{{{-5.0, 1.0}, {7.0, 1.0}}}, Polyline{{{1.0, 1.0}, {2.0, 2.0}}},
                      Polyline{{{3.0, 3.0}, {4.0, 5.0}}}};
  RecordingContext dc;
  DrawMap(dc, m.doc, kLayout);
  const std::vector<RecordedCall> strokes = FaultStrokes(dc);
  ASSERT_EQ(strokes.size(), 2u);
  // The frame's corners, from where the window's corners map.
  const GridModel& g = m.grid();
  const int left = m.doc.marginLeft, top = m.doc.marginTop;
  const int width = static_cast<int>((g.xEnd - g.xStart) * g.scaleX);
  const int height = static_cast<int>((g.yEnd - g.yStart) * g.scaleY);
  const int middleY = -top - static_cast<int>((g.yEnd - 1.0f) * g.scaleY);
  // LineTo records (from x, from y, to x, to y).
  EXPECT_EQ(strokes[0].args, (std::vector<int>{left, middleY, left + width, middleY}));
  EXPECT_EQ(strokes[1].args[2], left + width);
  EXPECT_EQ(strokes[1].args[3], -top);
  EXPECT_EQ(height, static_cast<int>(2.0f * g.scaleY));
}

}  // namespace
}  // namespace gridora
