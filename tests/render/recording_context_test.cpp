#include "render/recording_context.h"

#include <gtest/gtest.h>

namespace gridora {
namespace {

TEST(RecordingContext, SelectionsReturnWhatWasSelectedBefore) {
  RecordingContext dc;
  const Pen red{PenStyle::Solid, 5, Rgb(255, 0, 0)};
  const Pen original = dc.SelectPen(red);
  const Pen stockBefore = dc.SelectStockPen(kNullPen);
  EXPECT_EQ(stockBefore, red);
  EXPECT_EQ(dc.SelectPen(stockBefore).style, PenStyle::Null);
  EXPECT_EQ(dc.SelectPen(original), red);

  const Brush blue{false, Rgb(0, 0, 255)};
  const Brush brushBefore = dc.SelectBrush(blue);
  EXPECT_EQ(dc.SelectBrush(brushBefore), blue);
  const Font font{"Arial", 35, -900, 400};
  const Font fontBefore = dc.SelectFont(font);
  EXPECT_EQ(dc.SelectFont(fontBefore), font);

  EXPECT_EQ(dc.SetPolyFillMode(kAlternate), kAlternate);
  EXPECT_EQ(dc.SetBkMode(kTransparent), kOpaque);
  EXPECT_EQ(dc.SetBkMode(kOpaque), kTransparent);
  EXPECT_EQ(dc.SetTextColor(Rgb(1, 2, 3)), 0u);
  EXPECT_EQ(dc.MoveTo(5, 6), (LogicalPoint{0, 0}));
  EXPECT_EQ(dc.MoveTo(7, 8), (LogicalPoint{5, 6}));
}

TEST(RecordingContext, ShapesAndTextAreRecordedUnchanged) {
  RecordingContext context(2.0);
  DrawingContext& dc = context;
  dc.MoveTo(1, 2);
  dc.LineTo(3, 4);
  dc.Ellipse(LogicalRect{0, 0, 20, -20});
  dc.Ellipse({1, 2, 3, 4});
  dc.Rectangle(LogicalRect{5, 6, 7, 8});
  dc.Rectangle({1, 1, 2, 2});
  const LogicalPoint points[3] = {{0, 0}, {10, 0}, {0, 10}};
  dc.Polygon(points, 3);
  dc.Polyline(points, 2);
  dc.TextOut(10, -10, "abc");
  dc.TextOut(11, -11, std::string("def"));
  LogicalRect rect{0, 0, 10, 20};
  rect = dc.DeviceToLogical(rect);
  EXPECT_EQ(rect, (LogicalRect{0, 0, 20, -40}));
  std::vector<std::string> ops;
  for (const auto& call : context.Calls()) ops.push_back(call.op);
  EXPECT_EQ(ops, (std::vector<std::string>{"MoveTo", "LineTo", "Ellipse", "Ellipse", "Rectangle", "Rectangle",
                                           "Polygon", "Polyline", "TextOut", "TextOut"}));
  EXPECT_EQ(context.Calls()[1].args, (std::vector<int>{1, 2, 3, 4}));
  EXPECT_EQ(context.Calls()[3].args, (std::vector<int>{1, 2, 3, 4}));
  EXPECT_EQ(context.Calls()[8].text, "abc");
  EXPECT_EQ(context.Calls()[9].args, (std::vector<int>{11, -11}));
}

}  // namespace
}  // namespace gridora
