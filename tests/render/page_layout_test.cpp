#include "render/page_layout.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace gridora {
namespace {

TEST(ScaleBarLength, LongestOneTwoOrFiveTimesAPowerOfTenThatFits) {
  struct Case {
    double longest, length;
  } cases[] = {{1.0, 1.0},
               {1.9, 1.0},
               {2.0, 2.0},
               {4.99, 2.0},
               {5.0, 5.0},
               {9.99, 5.0},
               {10.0, 10.0},
               {274.0, 200.0},
               {0.03, 0.02},
               {7.5e5, 5e5},
               {0.0, 0.0},
               {-3.0, 0.0},
               {std::numeric_limits<double>::quiet_NaN(), 0.0},
               {std::numeric_limits<double>::infinity(), 0.0}};
  for (const Case& c : cases) {
    const double got = ScaleBarLength(c.longest);
    EXPECT_NEAR(got, c.length, c.length * 1e-12) << c.longest;
    if (c.length > 0) {
      EXPECT_LE(got, c.longest * (1 + 1e-12)) << c.longest;
    }
  }
}

TEST(NorthArrow, PointsUpFromItsTipAndKeepsTheLetterBelow) {
  const NorthArrow arrow = NorthArrowAt(1000, -200, 240);
  // Both halves share the tip and the notch on the arrow's axis; the filled one left.
  EXPECT_EQ(arrow.filledHalf[0], (LogicalPoint{1000, -200}));
  EXPECT_EQ(arrow.openHalf[0], (LogicalPoint{1000, -200}));
  EXPECT_LT(arrow.filledHalf[1].x, 1000);
  EXPECT_GT(arrow.openHalf[1].x, 1000);
  for (const auto& half : {arrow.filledHalf, arrow.openHalf})
    for (const LogicalPoint& p : half) EXPECT_LE(p.y, -200);
  // The letter sits under the arrow's base and inside its height.
  EXPECT_LT(arrow.letter.y, arrow.filledHalf[1].y);
  EXPECT_GE(arrow.letter.y - arrow.letterHeight, -200 - 240);
}

TEST(LayOutPage, RoomsStayOnThePage) {
  struct Case {
    int width, height;
  } cases[] = {{2970, 2100}, {2100, 2970}, {800, 600}, {1, 1}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.width << "x" << c.height);
    const PageRooms rooms = LayOutPage(c.width, c.height);
    EXPECT_GE(rooms.mapFit.right, 1);
    EXPECT_LE(rooms.mapFit.right, std::max(c.width, 1));
    EXPECT_LE(rooms.legend.right, std::max(c.width, 1));
    EXPECT_GE(rooms.legend.left, 0);
    EXPECT_LE(rooms.titleTop, 0);
    EXPECT_GT(rooms.marginTop, -rooms.titleTop + rooms.titleHeight - 1);
  }
}

}  // namespace
}  // namespace gridora
