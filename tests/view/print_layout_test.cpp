// The printed and exported map page: its parts are there, the status and scale texts
// are not, everything stays on the page, and the view's own state survives it.
#include "view/print_layout.h"

#include <gtest/gtest.h>

#include <fmt/format.h>

#include <string>

#include "render/drawing_parameter.h"
#include "render/legend_layout.h"
#include "render/recording_context.h"
#include "support/batch_run.h"

namespace gridora {
namespace {

struct GriddedRun : test::BatchRun {
  GriddedRun() {
    std::string text;
    for (int i = 0; i < 40; ++i) {
      const int x = (i * 37) % 101, y = (i * 53) % 71;
      text += fmt::format("{} {} {}\n", x, y, x - y);
    }
    test::WriteFileBytes(folder / "points.xyz", text);
    EXPECT_EQ(Run("open-random points.xyz\nmin-curvature dx=5 dy=5\n"), 0) << err.str();
  }
};

std::vector<const RecordedCall*> Texts(const RecordingContext& dc) {
  std::vector<const RecordedCall*> texts;
  for (const RecordedCall& call : dc.Calls())
    if (call.op == "TextOut") texts.push_back(&call);
  return texts;
}

bool HasText(const RecordingContext& dc, const std::string& wanted) {
  for (const RecordedCall* t : Texts(dc))
    if (t->text.find(wanted) != std::string::npos) return true;
  return false;
}

TEST(PrintLayout, PageHoldsTitleLegendArrowAndScaleBarButNoStatusLine) {
  GriddedRun run;
  ASSERT_EQ(run.Run("map-style ramp=cividis legend-title=\"Hydraulic head\" legend-units=m\n"), 0) << run.err.str();
  RecordingContext dc;
  DrawPrintLayout(dc, run.doc, 2970, 2100, "Spring campaign");
  EXPECT_TRUE(HasText(dc, "Spring campaign"));
  EXPECT_TRUE(HasText(dc, "Hydraulic head"));
  EXPECT_TRUE(HasText(dc, "(m)"));
  EXPECT_TRUE(HasText(dc, "(map units)"));
  EXPECT_TRUE(HasText(dc, "N"));
  EXPECT_FALSE(HasText(dc, "NX="));
  EXPECT_FALSE(HasText(dc, "Scale="));
  // Every text starts on the page (the map's own labels too).
  for (const RecordedCall* t : Texts(dc)) {
    ASSERT_GE(t->args.size(), 2u);
    EXPECT_GE(t->args[0], 0) << t->text;
    EXPECT_LE(t->args[0] + EstimatedTextWidth(t->text, 30), 2970 + 60) << t->text;
    EXPECT_LE(t->args[1], 0) << t->text;
    EXPECT_GE(t->args[1], -2100) << t->text;
  }
}

TEST(PrintLayout, LeavesTheViewsScaleAndMarginsAsTheyWere) {
  GriddedRun run;
  Document& doc = run.doc;
  doc.grid->scaleX = doc.grid->scaleY = 3.5f;
  doc.scaleFitted = 1;
  doc.legendRight = 1234;
  doc.mapBottom = 567;
  const int marginLeft = doc.marginLeft, marginTop = doc.marginTop;
  RecordingContext dc;
  DrawPrintLayout(dc, doc, 2970, 2100, "t");
  EXPECT_EQ(doc.grid->scaleX, 3.5f);
  EXPECT_EQ(doc.grid->scaleY, 3.5f);
  EXPECT_EQ(doc.scaleFitted, 1);
  EXPECT_EQ(doc.legendRight, 1234);
  EXPECT_EQ(doc.mapBottom, 567);
  EXPECT_EQ(doc.marginLeft, marginLeft);
  EXPECT_EQ(doc.marginTop, marginTop);
}

TEST(PrintLayout, TitleIsTheStylesElseTheFileNameElseUntitled) {
  test::BatchRun run;
  struct Case {
    std::string styleTitle, path, title;
  } cases[] = {{"", "", "Untitled"},
               {"", "/data/wells/volcano.snp", "volcano"},
               {"Heads, May", "/data/wells/volcano.snp", "Heads, May"}};
  for (const Case& c : cases) {
    run.doc.mapParameter->style.layoutTitle = c.styleTitle;
    run.doc.pathName = c.path;
    EXPECT_EQ(LayoutTitle(run.doc), c.title);
  }
}

}  // namespace
}  // namespace gridora
