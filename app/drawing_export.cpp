#include "drawing_export.h"

#include <QBuffer>
#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>
#include <algorithm>
#include <filesystem>

#include "document/gridora_doc.h"
#include "painter_context.h"
#include "render/view_paint.h"

namespace gridora {
namespace {

constexpr double kScreenDpi = 96.0;
constexpr double kUnitsPerInch = 254.0;

// Paints the view at `dpi` onto a device of width x height pixels.
void PaintAt(QPainter& painter, CGridoraDoc& doc, double dpi, int width, int height) {
  PainterContext dc(painter, dpi / kUnitsPerInch, dpi / kUnitsPerInch);
  PaintView(dc, doc, {0, 0, width, height});
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

QString QPath(const std::string& path) { return QString::fromStdString(path); }

// Size of the copied drawing in pixels at screen resolution: the frame of legendRight
// and mapBottom, never empty.
QSize CopySize(const CGridoraDoc& doc) {
  const int widthUnits = std::max(doc.legendRight, 100);
  const int heightUnits = std::max(doc.mapBottom, 100);
  return QSize(static_cast<int>(widthUnits * kScreenDpi / kUnitsPerInch) + 1,
               static_cast<int>(heightUnits * kScreenDpi / kUnitsPerInch) + 1);
}

}  // namespace

std::string RenderViewToFile(CGridoraDoc& doc, const std::string& path, int width, int height) {
  const std::string extension = Lower(std::filesystem::path(path).extension().string());
  if (extension == ".png") {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
      QPainter painter(&image);
      PaintAt(painter, doc, kScreenDpi, width, height);
    }
    QSaveFile file(QPath(path));
    if (!file.open(QIODevice::WriteOnly) || !image.save(&file, "PNG") || !file.commit())
      return "Cannot write " + path;
    return {};
  }
  if (extension == ".svg") {
    QBuffer buffer;
    QSvgGenerator generator;
    generator.setOutputDevice(&buffer);
    generator.setSize(QSize(width, height));
    generator.setViewBox(QRect(0, 0, width, height));
    generator.setResolution(static_cast<int>(kScreenDpi));
    generator.setTitle("Gridora");
    {
      QPainter painter(&generator);
      PaintAt(painter, doc, kScreenDpi, width, height);
    }
    QSaveFile file(QPath(path));
    if (!file.open(QIODevice::WriteOnly) || file.write(buffer.data()) != buffer.data().size() || !file.commit())
      return "Cannot write " + path;
    return {};
  }
  if (extension == ".pdf") {
    // A page the size of the window at screen resolution.
    const double widthMm = width * 25.4 / kScreenDpi, heightMm = height * 25.4 / kScreenDpi;
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
      QPdfWriter writer(&buffer);
      writer.setPageSize(QPageSize(QSizeF(widthMm, heightMm), QPageSize::Millimeter));
      writer.setPageMargins(QMarginsF(0, 0, 0, 0));
      writer.setResolution(static_cast<int>(kScreenDpi));
      QPainter painter(&writer);
      PaintAt(painter, doc, kScreenDpi, width, height);
    }
    QSaveFile file(QPath(path));
    if (!file.open(QIODevice::WriteOnly) || file.write(buffer.data()) != buffer.data().size() || !file.commit())
      return "Cannot write " + path;
    return {};
  }
  return "render writes .png, .svg or .pdf files, not " + path;
}

std::string PrintViewToPdf(CGridoraDoc& doc, const std::string& path) {
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  {
    QPdfWriter writer(&buffer);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setResolution(600);
    QPainter painter(&writer);
    const QRect page = writer.pageLayout().paintRectPixels(writer.resolution());
    PaintAt(painter, doc, writer.resolution(), page.width(), page.height());
  }
  QSaveFile file(QPath(path));
  if (!file.open(QIODevice::WriteOnly) || file.write(buffer.data()) != buffer.data().size() || !file.commit())
    return "Cannot write " + path;
  return {};
}

QByteArray CopyDrawingAsSvg(CGridoraDoc& doc) {
  const QSize size = CopySize(doc);
  QBuffer buffer;
  QSvgGenerator generator;
  generator.setOutputDevice(&buffer);
  generator.setSize(size);
  generator.setViewBox(QRect(QPoint(0, 0), size));
  generator.setResolution(static_cast<int>(kScreenDpi));
  generator.setTitle("Gridora");
  {
    QPainter painter(&generator);
    PaintAt(painter, doc, kScreenDpi, size.width(), size.height());
  }
  return buffer.data();
}

QImage CopyDrawingAsImage(CGridoraDoc& doc) {
  const QSize size = CopySize(doc);
  QImage image(size, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  PaintAt(painter, doc, kScreenDpi, size.width(), size.height());
  return image;
}

std::string WriteCopyDrawing(CGridoraDoc& doc, const std::string& path) {
  const QByteArray svg = CopyDrawingAsSvg(doc);
  QSaveFile file(QPath(path));
  if (!file.open(QIODevice::WriteOnly) || file.write(svg) != svg.size() || !file.commit())
    return "Cannot write " + path;
  return {};
}

}  // namespace gridora
