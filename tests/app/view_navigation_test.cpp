// The view's zoom and pan arithmetic: checked against what the transform itself says
// (the map position under the cursor, the dragged rectangle's corners) after the move.
#include "view_navigation.h"

#include <gtest/gtest.h>

#include <cmath>

namespace gridora {
namespace {

constexpr double kTolerance = 1e-6;

// A map of 500 x 300 units drawn 200 / 150 logical units in, at 96 dpi.
ViewFrame Frame() {
  ViewFrame f;
  f.marginLeft = 200;
  f.marginTop = 150;
  f.xStart = 1000;
  f.yEnd = 5300;
  f.pixelsPerUnitX = f.pixelsPerUnitY = 96.0 / 254.0;
  return f;
}

TEST(ViewNavigation, PixelAndMapPositionsAreInverse) {
  const ViewFrame f = Frame();
  const ViewPlace p{20.0, 10.0, 35.0, 70.0};
  // The map's corner lands at the margins, less the scroll.
  const QPointF corner = PixelAt(f, p, {f.xStart, f.yEnd});
  EXPECT_NEAR(corner.x(), 200 * f.pixelsPerUnitX - 35.0, kTolerance);
  EXPECT_NEAR(corner.y(), 150 * f.pixelsPerUnitY - 70.0, kTolerance);
  // One map unit right is scaleX logical units right; one up is scaleY units up.
  EXPECT_NEAR(PixelAt(f, p, {f.xStart + 1, f.yEnd}).x() - corner.x(), 20.0 * f.pixelsPerUnitX, kTolerance);
  EXPECT_NEAR(PixelAt(f, p, {f.xStart, f.yEnd - 1}).y() - corner.y(), 10.0 * f.pixelsPerUnitY, kTolerance);
  for (QPointF pixel : {QPointF(0, 0), QPointF(313.5, 27), QPointF(-40, 900)}) {
    const QPointF back = PixelAt(f, p, MapAt(f, p, pixel));
    EXPECT_NEAR(back.x(), pixel.x(), kTolerance);
    EXPECT_NEAR(back.y(), pixel.y(), kTolerance);
  }
}

TEST(ViewNavigation, WheelZoomKeepsThePositionUnderTheCursorAndBothAxesTogether) {
  const ViewFrame f = Frame();
  struct Case {
    ViewPlace place;
    QPointF cursor;
    double factor;
  } cases[] = {
      {{1.0, 1.0, 0, 0}, {400, 300}, 1.25},
      {{1.0, 1.0, 0, 0}, {400, 300}, 0.8},
      {{20.0, 10.0, 5000, 1200}, {12, 640}, 1.25 * 1.25 * 1.25},
      {{3.0, 3.0, 0, 0}, {10, 10}, 2.0},  // the cursor in the margin, left of the map
  };
  for (const auto& c : cases) {
    const QPointF before = MapAt(f, c.place, c.cursor);
    const ViewPlace zoomed = ZoomAbout(f, c.place, c.cursor, c.factor);
    const QPointF after = MapAt(f, zoomed, c.cursor);
    EXPECT_NEAR(after.x(), before.x(), 1e-9 * std::abs(before.x())) << c.factor;
    EXPECT_NEAR(after.y(), before.y(), 1e-9 * std::abs(before.y())) << c.factor;
    EXPECT_DOUBLE_EQ(zoomed.scaleX / c.place.scaleX, c.factor);
    EXPECT_DOUBLE_EQ(zoomed.scaleY / c.place.scaleY, c.factor);
  }
}

TEST(ViewNavigation, ADraggedRectangleFillsTheViewAtItsCentre) {
  const ViewFrame f = Frame();
  const QSizeF viewport(800, 500);
  struct Case {
    QRectF dragged;
    bool wide;  // the width limits the zoom
  } cases[] = {
      {QRectF(100, 100, 200, 50), true},
      {QRectF(300, 50, 40, 100), false},
      {QRectF(500, 400, -160, -100), true},  // dragged up and to the left
  };
  const ViewPlace place{4.0, 4.0, 100, 20};
  for (const auto& c : cases) {
    const QRectF r = c.dragged.normalized();
    const QPointF topLeft = MapAt(f, place, r.topLeft()), bottomRight = MapAt(f, place, r.bottomRight());
    const QPointF centre = MapAt(f, place, r.center());
    const ViewPlace zoomed = ZoomToRectangle(f, place, c.dragged, viewport);
    const QPointF a = PixelAt(f, zoomed, topLeft), b = PixelAt(f, zoomed, bottomRight);
    const QPointF middle = PixelAt(f, zoomed, centre);
    EXPECT_NEAR(middle.x(), viewport.width() / 2, 1e-6);
    EXPECT_NEAR(middle.y(), viewport.height() / 2, 1e-6);
    // The whole rectangle is in view and touches two opposite edges.
    EXPECT_GE(a.x(), -1e-6);
    EXPECT_GE(a.y(), -1e-6);
    EXPECT_LE(b.x(), viewport.width() + 1e-6);
    EXPECT_LE(b.y(), viewport.height() + 1e-6);
    if (c.wide)
      EXPECT_NEAR(b.x() - a.x(), viewport.width(), 1e-6);
    else
      EXPECT_NEAR(b.y() - a.y(), viewport.height(), 1e-6);
    EXPECT_DOUBLE_EQ(zoomed.scaleY / zoomed.scaleX, place.scaleY / place.scaleX);
  }
}

TEST(ViewNavigation, ZoomFactorsStayWithinTheDrawingsRange) {
  const ViewPlace place{10.0, 10.0, 0, 0};
  EXPECT_DOUBLE_EQ(LimitedFactor(place, 500, 300, 2.0), 2.0);
  // 500 units at 10 logical units each may grow to kMaximumMapUnits, no further.
  EXPECT_DOUBLE_EQ(LimitedFactor(place, 500, 300, 1e12), kMaximumMapUnits / 5000.0);
  EXPECT_DOUBLE_EQ(LimitedFactor(place, 500, 300, 1e-30), kMinimumScale / 10.0);
  EXPECT_DOUBLE_EQ(LimitedFactor(place, 500, 300, std::nan("")), 1.0);
  EXPECT_DOUBLE_EQ(LimitedFactor(place, 500, 300, -2.0), 1.0);
}

}  // namespace
}  // namespace gridora
