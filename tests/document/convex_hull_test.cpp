#include "document/convex_hull.h"

#include <gtest/gtest.h>

#include "document/random_data.h"

namespace gridora {
namespace {

TEST(ConvexHull, CornersAnticlockwiseWithoutInnerOrCollinearPoints) {
  const DataPoint points[] = {{0, 0, 0}, {2, 0, 0}, {1, 0, 0}, {2, 2, 0}, {1, 1, 0}, {0, 2, 0}, {0, 2, 5}};
  const std::vector<PlanePoint> hull = ConvexHull(points, 7);
  ASSERT_EQ(hull.size(), 4u);
  const PlanePoint expected[] = {{0, 0}, {2, 0}, {2, 2}, {0, 2}};
  for (std::size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(hull[i].x, expected[i].x);
    EXPECT_EQ(hull[i].y, expected[i].y);
  }
}

TEST(ConvexHull, InsideBoundaryAndEnlargement) {
  const DataPoint square[] = {{0, 0, 0}, {2, 0, 0}, {2, 2, 0}, {0, 2, 0}};
  const auto hull = ConvexHull(square, 4);
  struct Case {
    double x, y, distance;
    bool within;
  };
  const Case cases[] = {{1, 1, 0, true},        {2, 1, 0, true},       {2.1, 1, 0, false}, {2.1, 1, 0.2, true},
                        {2.2, 2.2, 0.2, false}, {2.1, 2.1, 0.2, true}, {-1, -1, 1, false}};
  for (const Case& c : cases) EXPECT_EQ(WithinHull(hull, c.x, c.y, c.distance), c.within) << c.x << "," << c.y;

  const DataPoint line[] = {{0, 0, 0}, {4, 0, 0}, {2, 0, 0}};
  const auto thin = ConvexHull(line, 3);
  EXPECT_EQ(thin.size(), 2u);
  EXPECT_TRUE(WithinHull(thin, 3, 0.5, 0.5));
  EXPECT_FALSE(WithinHull(thin, 3, 0.6, 0.5));
  EXPECT_FALSE(WithinHull({}, 0, 0, 100));
}

}  // namespace
}  // namespace gridora
