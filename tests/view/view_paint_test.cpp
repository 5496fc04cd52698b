#include <gtest/gtest.h>

#include "platform/profile.h"
#include "render/recording_context.h"
#include "support/current_folder.h"
#include "view/document.h"
#include "view/view_paint.h"

namespace gridora {
namespace {

TEST(ViewPaint, StatusLineOfAnEmptyDocument) {
  MemoryProfile profile;
  Document doc(profile);
  RecordingContext dc(2.0);
  const LogicalRect layout = PaintView(dc, doc, {0, 0, 100, 50});
  auto texts = dc.CallsOf("TextOut");
  ASSERT_EQ(texts.size(), 1u);
  EXPECT_EQ(texts[0].text, "N=0 NX=0 NZ=0 Data=0  ");
  EXPECT_EQ(texts[0].args, (std::vector<int>{10, -10}));
  EXPECT_EQ(layout, (LogicalRect{0, 0, 200, -100}));
  EXPECT_EQ(dc.Calls().size(), 1u);  // nothing else is drawn
}

TEST(ViewPaint, StatusLineCountsLayersNodesAndPoints) {
  test::InTempFolder here;  // for the drawing's logs
  MemoryProfile profile;
  Document doc(profile);
  ASSERT_TRUE(doc.grid->Reshape(1, 3, 2));
  doc.primaryData->count = 7;
  RecordingContext dc;
  PaintView(dc, doc, {0, 0, 10, 10});
  EXPECT_EQ(dc.CallsOf("TextOut").at(0).text, "N=1 NX=3 NZ=2 Data=7  ");
}

}  // namespace
}  // namespace gridora
