#include "render/legend_layout.h"

#include <gtest/gtest.h>

#include <fmt/format.h>

#include <string>

namespace gridora {
namespace {

LegendInput Legend(int boxes, int height, std::string title = {}, std::string units = {}) {
  LegendInput in;
  for (int i = 0; i < boxes; ++i) in.labels.push_back(fmt::format("{:.2f}", 100.0 + 2.5 * i));
  in.rows = boxes + 1;
  in.title = std::move(title);
  in.units = std::move(units);
  in.left = 6270;
  in.bottom = -150 - height;
  in.height = height;
  return in;
}

void WithView(LegendInput& in, int width, int height) {
  in.hasView = true;
  in.viewLeft = 0;
  in.viewRight = width;
  in.viewTop = 0;
  in.viewBottom = -height;
}

// Without title or units and with room, the legend is the one the map always had: the
// height in rows of height / rows, box i from i rows above the bottom, 40 wide, labels
// 10 right of the boxes at the box's middle + 30, on every row, every second row below
// 50 units or every fourth below 25, never on the top box.
TEST(LegendLayout, PlainLegendKeepsItsRowsAndLabels) {
  struct Case {
    int boxes, height, labelStep;
  } cases[] = {{35, 5000, 1}, {35, 1400, 2}, {35, 700, 4}, {1, 300, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.boxes << " boxes over " << c.height);
    LegendInput in = Legend(c.boxes, c.height);
    WithView(in, 20000, 20000);
    const LegendLayout out = LayOutLegend(in);
    EXPECT_FALSE(out.fitted);
    ASSERT_EQ(out.boxes.size(), static_cast<std::size_t>(c.boxes));
    const int step = c.height / (c.boxes + 1);
    for (int i = 0; i < c.boxes; ++i) {
      const LogicalRect expected{6270, -150 - c.height + i * step, 6310, -150 - c.height + (i + 1) * step};
      EXPECT_EQ(out.boxes[i], expected) << i;
      const bool labelled = i != c.boxes - 1 && i % c.labelStep == 0;
      EXPECT_EQ(out.labels[i].text, labelled ? in.labels[i] : "") << i;
      EXPECT_EQ(out.labels[i].x, 6320);
      EXPECT_EQ(out.labels[i].y, (expected.top + expected.bottom) / 2 + 30);
    }
    EXPECT_TRUE(out.titles.empty());
    EXPECT_EQ(out.right, 6410);
  }
}

// Every box and every text stays inside the view (texts by their estimated width),
// whatever the title's length and the view's size; boxes stack without gaps from
// bottom to top and shown labels never overlap.
TEST(LegendLayout, FittedLegendStaysInsideTheView) {
  const std::string longTitle = "Hydraulic head of the upper aquifer measured at two hundred well heads in spring";
  struct Case {
    std::string title, units;
    int viewWidth, viewHeight, mapHeight;
  } cases[] = {
      {"Head", "m a.s.l.", 8000, 6000, 5000},               // title and units, room enough
      {longTitle, "m a.s.l.", 8000, 6000, 5000},            // a long title wraps
      {longTitle, "m", 7000, 6000, 5000},                   // the map reaches the view's right edge
      {longTitle, "m", 1500, 900, 700},                     // a small view
      {"", "", 6300, 3000, 5000},                           // no title: the map is taller than the view
      {longTitle, "milligrams per litre", 300, 400, 5000},  // narrower than the column
      {"Wörter mit Umlauten über die ganze Breite", "µS/cm", 2000, 1500, 1200},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.title.size() << " / " << c.viewWidth << "x" << c.viewHeight);
    LegendInput in = Legend(35, c.mapHeight, c.title, c.units);
    WithView(in, c.viewWidth, c.viewHeight);
    const LegendLayout out = LayOutLegend(in);
    EXPECT_TRUE(out.fitted);
    ASSERT_EQ(out.boxes.size(), 35u);
    auto inside = [&](int left, int bottom, int right, int top) {
      EXPECT_GE(left, in.viewLeft);
      EXPECT_LE(right, in.viewRight);
      EXPECT_GE(bottom, in.viewBottom);
      EXPECT_LE(top, in.viewTop);
    };
    for (std::size_t i = 0; i < out.boxes.size(); ++i) {
      const LogicalRect& b = out.boxes[i];
      inside(b.left, b.top, b.right, b.bottom);
      EXPECT_LE(b.top, b.bottom) << i;
      if (i > 0) {
        EXPECT_EQ(b.top, out.boxes[i - 1].bottom) << i;
      }
    }
    const LegendText* below = nullptr;
    int shown = 0;
    for (const LegendText& t : out.labels) {
      if (t.text.empty()) continue;
      ++shown;
      inside(t.x, t.y - t.height, t.x + EstimatedTextWidth(t.text, t.height), t.y);
      // Labels go up with the boxes; each starts above the top of the one below (one
      // unit of rounding).
      if (below) {
        EXPECT_GE(t.y - t.height, below->y - 1) << t.text;
      }
      below = &t;
    }
    EXPECT_GT(shown, 0);
    for (const LegendText& t : out.titles) inside(t.x, t.y - t.height, t.x + EstimatedTextWidth(t.text, t.height), t.y);
    if (!c.title.empty()) {
      EXPECT_FALSE(out.titles.empty());
    }
    // The title sits above the boxes.
    if (!out.titles.empty()) {
      EXPECT_GE(out.titles.back().y - out.titles.back().height, out.boxes.back().bottom);
    }
  }
}

TEST(LegendLayout, WrapsAtSpacesCutsLongWordsAndEllipsisesPastTheLastLine) {
  struct Case {
    std::string text;
    int maxChars, maxLines;
    std::vector<std::string> lines;
  } cases[] = {
      {"Head", 10, 3, {"Head"}},
      {"Hydraulic head of the aquifer", 10, 3, {"Hydraulic", "head of", "the..."}},
      {"Hydraulic head of the aquifer", 10, 2, {"Hydraulic", "head of..."}},
      {"Transmissivity", 6, 3, {"Transm", "issivi", "ty"}},
      {"  two   spaces  ", 20, 3, {"two spaces"}},
      {"ÄÖÜäöüßéèê", 4, 3, {"ÄÖÜä", "öüßé", "èê"}},
      {"", 10, 3, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    // At height 50 a character is 30 units wide.
    EXPECT_EQ(WrapText(c.text, 50, c.maxChars * 30, c.maxLines), c.lines);
  }
}

}  // namespace
}  // namespace gridora
