#include "painter_context.h"

#include <gtest/gtest.h>

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>

namespace gridora {
namespace {

// A 100 x 100 pixel page at one pixel a logical unit: logical (x, y) is pixel (x, -y).
struct Page {
  QImage image{100, 100, QImage::Format_RGB32};
  Page() { image.fill(Qt::white); }
  QRgb At(int x, int y) const { return image.pixel(x, y); }
  // How many pixels of a colour lie in a rectangle of pixels.
  int Count(const QRect& r, QRgb color) const {
    int n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
      for (int x = r.left(); x <= r.right(); ++x) n += image.pixel(x, y) == color ? 1 : 0;
    return n;
  }
};

TEST(PainterContext, LogicalYGrowsUpwardFromThePageOrigin) {
  Page page;
  {
    QPainter painter(&page.image);
    PainterContext dc(painter, 1.0, 1.0);
    const Brush red{false, Rgb(255, 0, 0)};
    dc.FillRect({10, -10, 30, -20}, &red);
    dc.FillRect({50, -50, 60, -60}, nullptr);  // no brush: nothing
    dc.SelectStockPen(kNullPen);
    dc.SelectBrush(Brush{false, Rgb(0, 0, 255)});
    const LogicalPoint triangle[3] = {{50, -90}, {90, -90}, {50, -50}};
    dc.Polygon(triangle, 3);
  }
  EXPECT_EQ(page.At(15, 15), qRgb(255, 0, 0));
  EXPECT_EQ(page.At(15, 25), qRgb(255, 255, 255));
  EXPECT_EQ(page.At(55, 55), qRgb(0, 0, 255));  // the triangle's corner at the top left
  EXPECT_EQ(page.At(85, 85), qRgb(0, 0, 255));
  EXPECT_EQ(page.At(85, 55), qRgb(255, 255, 255));
}

TEST(PainterContext, PenWidthsAreLogicalUnitsAndSelectionsAreRestored) {
  Page page;
  {
    QPainter painter(&page.image);
    PainterContext dc(painter, 1.0, 1.0);
    const Pen previous = dc.SelectPen(Pen{PenStyle::Solid, 10, Rgb(0, 128, 0)});
    dc.MoveTo(10, -50);
    dc.LineTo(90, -50);
    dc.SelectPen(previous);
    dc.MoveTo(10, -80);
    dc.LineTo(90, -80);  // the default pen: black, one pixel
  }
  EXPECT_EQ(page.Count(QRect(50, 40, 1, 20), qRgb(0, 128, 0)), 10);
  EXPECT_EQ(page.Count(QRect(50, 75, 1, 10), qRgb(0, 0, 0)), 1);
}

TEST(PainterContext, PixelMapsKeepRowZeroAtTheTop) {
  Page page;
  PixelMap map{2, 2, {Rgb(255, 0, 0), Rgb(0, 255, 0), Rgb(0, 0, 255), Rgb(0, 0, 0)}};
  {
    QPainter painter(&page.image);
    PainterContext dc(painter, 1.0, 1.0);
    dc.StretchPixelMap({20, -20, 60, -60}, map);
  }
  EXPECT_EQ(page.At(25, 25), qRgb(255, 0, 0));
  EXPECT_EQ(page.At(55, 25), qRgb(0, 255, 0));
  EXPECT_EQ(page.At(25, 55), qRgb(0, 0, 255));
  EXPECT_EQ(page.At(55, 55), qRgb(0, 0, 0));
  EXPECT_EQ(page.At(65, 25), qRgb(255, 255, 255));
}

TEST(PainterContext, TextHangsBelowItsPointAndReadsUpright) {
  Page page;
  {
    QPainter painter(&page.image);
    PainterContext dc(painter, 1.0, 1.0);
    dc.SelectFont(Font{"Arial", 30, 0, 400});
    dc.SetBkMode(kTransparent);
    dc.TextOut(10, -40, "T");
  }
  // The bar of a T is near the top of its cell, the stem below it.
  EXPECT_EQ(page.Count(QRect(0, 0, 100, 40), qRgb(255, 255, 255)), 100 * 40);
  const int top = page.Count(QRect(0, 40, 100, 10), qRgb(255, 255, 255));
  const int bottom = page.Count(QRect(0, 60, 100, 10), qRgb(255, 255, 255));
  EXPECT_LT(top, bottom);  // more ink in the upper band (the bar)
  EXPECT_LT(bottom, 100 * 10);
}

// A font height is the height of the character cell, ascent and descent together.
TEST(PainterContext, FontHeightsAreCellHeightsInLogicalUnits) {
  QImage image(10, 10, QImage::Format_RGB32);
  QPainter painter(&image);
  PainterContext dc(painter, 1.0, 1.0);
  for (int height : {35, 40, 120}) {
    dc.SelectFont(Font{"Arial", height, 0, 400});
    const QFontMetricsF metrics(painter.font());
    EXPECT_NEAR(metrics.height(), height, 1.5) << height;
  }
}

TEST(PainterContext, DeviceRectanglesConvertWithTheScrollOffset) {
  QImage image(10, 10, QImage::Format_RGB32);
  QPainter painter(&image);
  painter.translate(-100, -50);
  PainterContext dc(painter, 0.5, 0.5);
  EXPECT_EQ(dc.DeviceToLogical({0, 0, 200, 100}), (LogicalRect{200, -100, 600, -300}));
}

}  // namespace
}  // namespace gridora
