#include "drawing_export.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <cmath>
#include <filesystem>

#include "painter_context.h"
#include "platform/profile.h"
#include "support/test_support.h"
#include "view/document.h"
#include "view/view_paint.h"
#include "view_paint_cache.h"

namespace gridora {
namespace {

// A document with a small grid, drawing its diagnostic files in a folder of its own.
struct Drawing {
  test::TempFolder folder;
  std::filesystem::path previous = std::filesystem::current_path();
  MemoryProfile profile;
  Document doc{profile};

  explicit Drawing(int n = 12) {
    std::filesystem::current_path(folder.Path());
    GridModel& g = *doc.grid;
    EXPECT_TRUE(g.Reshape(1, n, n));
    for (int ix = 0; ix < n; ++ix)
      for (int iy = 0; iy < n; ++iy) g.Value(0, ix, iy) = static_cast<float>((ix - n / 2) * (ix - n / 2) + iy * iy);
    g.layerMinimum[0] = 0.0f;
    g.layerMaximum[0] = static_cast<float>(n * n / 4 + (n - 1) * (n - 1));
  }
  ~Drawing() { std::filesystem::current_path(previous); }
};

TEST(DrawingExport, RendersPngSvgAndPdfAndRefusesOtherFiles) {
  Drawing d;
  for (const char* name : {"map.png", "map.svg", "map.pdf"}) {
    const auto path = d.folder / name;
    std::string problem;
    EXPECT_TRUE(RenderViewToFile(d.doc, path.string(), 400, 300, problem)) << name << ": " << problem;
    EXPECT_GT(std::filesystem::file_size(path), 100u) << name;
  }
  QImage png((d.folder / "map.png").string().c_str());
  EXPECT_EQ(png.size(), QSize(400, 300));
  std::string problem;
  EXPECT_FALSE(RenderViewToFile(d.doc, (d.folder / "map.bmp").string(), 400, 300, problem));
  EXPECT_NE(problem, "");
  problem.clear();
  EXPECT_FALSE(RenderViewToFile(d.doc, (d.folder / "missing" / "map.png").string(), 400, 300, problem));
  EXPECT_NE(problem, "");
}

TEST(DrawingExport, PrintsOnePageAtPhysicalSize) {
  Drawing d;
  const auto path = d.folder / "page.pdf";
  std::string problem;
  ASSERT_TRUE(PrintViewToPdf(d.doc, path.string(), problem)) << problem;
  const std::string pdf = test::ReadFileBytes(path);
  EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
  EXPECT_NE(pdf.find("/MediaBox [0 0 595"), std::string::npos);  // A4 in points
}

TEST(DrawingExport, CopyFramesTheDrawingAndResetsTheFrame) {
  Drawing d;
  QImage screen(800, 600, QImage::Format_RGB32);
  {
    QPainter painter(&screen);
    PaintPrintedPage(painter, d.doc);  // any paint sets legendRight and mapBottom
  }
  const int right = d.doc.legendRight, bottom = d.doc.mapBottom;
  ASSERT_GT(right, 0);
  const ClipboardDrawing copy = CopyDrawing(d.doc);
  // The frame is legendRight + 100 by mapBottom + 200 units of 0.1 mm.
  const QString svg = QString::fromUtf8(copy.svg);
  EXPECT_TRUE(svg.contains(QString("viewBox=\"0 0 %1 %2\"").arg(right + 100).arg(bottom + 200)))
      << svg.left(400).toStdString();
  EXPECT_EQ(copy.image.width(), static_cast<int>(std::ceil((right + 100) * 96.0 / 254.0)));
  EXPECT_EQ(d.doc.legendRight, 0);
  EXPECT_EQ(d.doc.mapBottom, 0);
  // Without a repaint the next copy gets the smallest frame.
  const ClipboardDrawing again = CopyDrawing(d.doc);
  EXPECT_TRUE(QString::fromUtf8(again.svg).contains("viewBox=\"0 0 100 200\""));

  const auto path = d.folder / "copy.svg";
  std::string problem;
  EXPECT_TRUE(WriteCopyDrawing(d.doc, path.string(), problem)) << problem;
  EXPECT_NE(test::ReadFileBytes(path).find("<svg"), std::string::npos);
}

// The band picture kept for scrolling is the picture a direct paint gives.
TEST(ViewPaintCache, KeptBandPicturesMatchDirectPaints) {
  Drawing d(40);
  d.doc.grid->mapColorMode = 2;
  const QSize viewport(300, 200);
  const double units = 96.0 / 254.0;
  ViewPaintCache cache;
  for (const QPoint scroll : {QPoint(0, 0), QPoint(150, 120), QPoint(40, 10)}) {
    QImage direct(viewport, QImage::Format_RGB32), cached(viewport, QImage::Format_RGB32);
    direct.fill(Qt::white);
    cached.fill(Qt::white);
    LogicalRect directLayout;
    {
      QPainter painter(&direct);
      painter.translate(-scroll.x(), -scroll.y());
      PainterContext dc(painter, units, units);
      directLayout = PaintView(dc, d.doc, {0, 0, viewport.width(), viewport.height()});
    }
    QPainter painter(&cached);
    const LogicalRect layout = cache.Paint(painter, d.doc, viewport, scroll, units, units);
    painter.end();
    EXPECT_TRUE(cache.Holds());
    EXPECT_EQ(layout, directLayout);
    EXPECT_TRUE(cached == direct) << scroll.x() << "," << scroll.y();
  }
}

// A paint served from the kept band picture leaves the frame that "Copy" uses as a
// drawing would, also after a copy reset it.
TEST(ViewPaintCache, APaintFromTheKeptPictureRestoresTheCopyFrame) {
  Drawing d;
  d.doc.grid->mapColorMode = 1;
  ViewPaintCache cache;
  QImage screen(400, 300, QImage::Format_RGB32);
  const double units = 96.0 / 254.0;
  {
    QPainter painter(&screen);
    cache.Paint(painter, d.doc, screen.size(), {0, 0}, units, units);
  }
  const int right = d.doc.legendRight, bottom = d.doc.mapBottom;
  ASSERT_GT(right, 0);
  ASSERT_GT(bottom, 0);
  CopyDrawing(d.doc);
  ASSERT_EQ(d.doc.legendRight, 0);
  {
    QPainter painter(&screen);
    cache.Paint(painter, d.doc, screen.size(), {0, 0}, units, units);
  }
  EXPECT_TRUE(cache.Holds());
  EXPECT_EQ(d.doc.legendRight, right);
  EXPECT_EQ(d.doc.mapBottom, bottom);
  const ClipboardDrawing copy = CopyDrawing(d.doc);
  EXPECT_TRUE(
      QString::fromUtf8(copy.svg).contains(QString("viewBox=\"0 0 %1 %2\"").arg(right + 100).arg(bottom + 200)));
}

TEST(ViewPaintCache, AChangedDocumentIsDrawnAfreshAfterInvalidate) {
  Drawing d;
  d.doc.grid->mapColorMode = 1;
  ViewPaintCache cache;
  QImage first(200, 200, QImage::Format_RGB32), second(200, 200, QImage::Format_RGB32);
  const double units = 96.0 / 254.0;
  {
    QPainter painter(&first);
    cache.Paint(painter, d.doc, first.size(), {0, 0}, units, units);
  }
  d.doc.grid->reverseColors = 1;
  {
    QPainter painter(&second);
    cache.Paint(painter, d.doc, second.size(), {0, 0}, units, units);
  }
  EXPECT_TRUE(first == second);  // kept until told
  cache.Invalidate();
  {
    QPainter painter(&second);
    cache.Paint(painter, d.doc, second.size(), {0, 0}, units, units);
  }
  EXPECT_FALSE(first == second);

  d.doc.grid->mapColorMode = 0;  // the pixel map is quick: never kept
  {
    QPainter painter(&second);
    cache.Paint(painter, d.doc, second.size(), {0, 0}, units, units);
  }
  EXPECT_FALSE(cache.Holds());
}

}  // namespace
}  // namespace gridora
