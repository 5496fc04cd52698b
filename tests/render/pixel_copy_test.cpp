#include "render/pixel_copy.h"

#include <gtest/gtest.h>

#include "render/recording_context.h"

namespace gridora {
namespace {

TEST(PixelCopy, FillRectWithoutABrushAndACopyWithoutASourceDrawNothing) {
  RecordingContext context;
  context.FillRect({0, 0, 10, -10}, nullptr);
  ASSERT_EQ(context.CallsOf("FillRect").size(), 1u);
  EXPECT_EQ(context.CallsOf("FillRect")[0].args.back(), -1);  // an empty brush
  EXPECT_FALSE(CopyPixels(context, {0, 0, 10, -10}, nullptr, {0, 0, 1, 1}, PixelCopyMode::Source));
  EXPECT_TRUE(context.CallsOf("StretchPixelMap").empty());
  // Fills that need no source still draw.
  CopyPixels(context, {0, 0, 10, -10}, nullptr, {0, 0, 1, 1}, PixelCopyMode::White);
  EXPECT_EQ(context.CallsOf("FillRect").back().args, (std::vector<int>{0, 0, 10, -10, 0xffffff}));
  EXPECT_TRUE(CopyPixels(context, {1, 2, 3, 4}, nullptr, {}, PixelCopyMode::Black));
  EXPECT_EQ(context.CallsOf("FillRect").back().args, (std::vector<int>{1, 2, 3, 4, 0}));
}

TEST(PixelCopy, CopiesTheWholeSourceOrAPartOfIt) {
  RecordingContext context;
  PixelMap map{3, 2, {1, 2, 3, 4, 5, 6}};
  CopyPixels(context, {100, -50, 400, -250}, &map, {0, 0, 3, 2});
  EXPECT_EQ(context.CallsOf("StretchPixelMap").back().args, (std::vector<int>{100, -50, 400, -250, 3, 2}));
  CopyPixels(context, {0, 0, 20, -10}, &map, {1, 1, 2, 1});
  EXPECT_EQ(context.LastPixelMap().pixels, (std::vector<Color>{5, 6}));
}

}  // namespace
}  // namespace gridora
