#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <cmath>

#include "painter_context.h"
#include "platform/profile.h"
#include "support/current_folder.h"
#include "view/document.h"
#include "view/view_paint.h"

namespace gridora {
namespace {

// The band cells painted one by one, as vector targets get them.
class CellByCellContext : public PainterContext {
 public:
  using PainterContext::PainterContext;
  bool TakesTracedBands() const override { return false; }
};

// Hills and hollows, large enough for the traced bands to be painted in two strips.
void FillSurface(Document& doc, int n) {
  GridModel& g = *doc.grid;
  ASSERT_TRUE(g.Reshape(1, n, n));
  float low = 1e30f, high = -1e30f;
  for (int ix = 0; ix < n; ++ix)
    for (int iy = 0; iy < n; ++iy) {
      const double x = 6.0 * ix / n, y = 6.0 * iy / n;
      const float v = static_cast<float>(100.0 + 40.0 * std::sin(x) * std::cos(y) + 10.0 * x);
      g.Value(0, ix, iy) = v;
      low = std::min(low, v);
      high = std::max(high, v);
    }
  g.layerMinimum[0] = low;
  g.layerMaximum[0] = high;
}

template <typename Context>
QImage Paint(Document& doc) {
  QImage image(900, 700, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  Context dc(painter, 96.0 / 254.0, 96.0 / 254.0);
  PaintView(dc, doc, {0, 0, image.width(), image.height()});
  return image;
}

TEST(BandPaint, TracedBandsPaintTheSamePixelsAsTheCells) {
  test::InTempFolder here;
  for (int mode : {1, 2}) {
    SCOPED_TRACE(mode);
    MemoryProfile profile;
    Document doc(profile);
    FillSurface(doc, 400);
    doc.grid->mapColorMode = mode;
    const QImage cells = Paint<CellByCellContext>(doc);
    const QImage traced = Paint<PainterContext>(doc);
    EXPECT_TRUE(cells == traced);
    // Painted again from the kept tracing.
    EXPECT_TRUE(Paint<PainterContext>(doc) == cells);
  }
}

}  // namespace
}  // namespace gridora
