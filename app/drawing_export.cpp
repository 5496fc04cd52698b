#include "drawing_export.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <functional>
#include <QPdfWriter>
#include <QSaveFile>
#include <QSvgGenerator>
#include <algorithm>
#include <cmath>
#include <filesystem>

#include "painter_context.h"
#include "view/copy_frame.h"
#include "view/gridora_doc.h"
#include "view/view_paint.h"

namespace gridora {
namespace {

constexpr double kScreenDpi = 96.0;
constexpr double kUnitsPerInch = 254.0;  // 0.1 mm units
constexpr int kPrintDpi = 600;

// Paints the view at `dpi` onto a device of width x height pixels.
void PaintAt(QPainter& painter, CGridoraDoc& doc, double dpi, int width, int height) {
  PainterContext dc(painter, dpi / kUnitsPerInch, dpi / kUnitsPerInch);
  PaintView(dc, doc, {0, 0, width, height});
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

std::string Save(const std::string& path, const QByteArray& bytes) {
  QSaveFile file(QString::fromStdString(path));
  if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
    return "Cannot write " + path;
  return {};
}

QByteArray SvgOf(int width, int height, double dpi, const std::function<void(QPainter&)>& paint) {
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  QSvgGenerator generator;
  generator.setOutputDevice(&buffer);
  generator.setSize(QSize(width, height));
  generator.setViewBox(QRect(0, 0, width, height));
  generator.setResolution(static_cast<int>(dpi));
  generator.setTitle("Gridora");
  {
    QPainter painter(&generator);
    paint(painter);
  }
  return buffer.data();
}

int Pixels(int units, double dpi) { return std::max(1, static_cast<int>(std::ceil(units * dpi / kUnitsPerInch))); }

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
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) return "Cannot write " + path;
    return Save(path, buffer.data());
  }
  if (extension == ".svg")
    return Save(path, SvgOf(width, height, kScreenDpi,
                            [&](QPainter& painter) { PaintAt(painter, doc, kScreenDpi, width, height); }));
  if (extension == ".pdf") {
    // A page the size of the window, drawn as vectors.
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
      QPdfWriter writer(&buffer);
      writer.setPageSize(QPageSize(QSizeF(width * 25.4 / kScreenDpi, height * 25.4 / kScreenDpi), QPageSize::Millimeter));
      writer.setPageMargins(QMarginsF(0, 0, 0, 0));
      writer.setResolution(static_cast<int>(kScreenDpi));
      QPainter painter(&writer);
      PaintAt(painter, doc, kScreenDpi, width, height);
    }
    return Save(path, buffer.data());
  }
  return "render writes .png, .svg or .pdf files, not " + path;
}

void PaintPrintedPage(QPainter& painter, CGridoraDoc& doc) {
  QPaintDevice* device = painter.device();
  const double unitsX = device->logicalDpiX() / kUnitsPerInch;
  const double unitsY = device->logicalDpiY() / kUnitsPerInch;
  PainterContext dc(painter, unitsX, unitsY);
  PaintView(dc, doc, {0, 0, device->width(), device->height()});
}

std::string PrintViewToPdf(CGridoraDoc& doc, const std::string& path) {
  QBuffer buffer;
  buffer.open(QIODevice::WriteOnly);
  {
    QPdfWriter writer(&buffer);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setResolution(kPrintDpi);
    QPainter painter(&writer);
    PaintPrintedPage(painter, doc);
  }
  return Save(path, buffer.data());
}

ClipboardDrawing CopyDrawing(CGridoraDoc& doc) {
  const CopyFrame frame = BeginCopy(doc);
  ClipboardDrawing copy;
  // Vectors at one user unit a logical unit: 254 "dots" an inch.
  copy.svg = SvgOf(frame.width, frame.height, kUnitsPerInch, [&](QPainter& painter) {
    PainterContext dc(painter, 1.0, 1.0);
    DrawDocument(dc, doc, frame.layout);
  });
  copy.image = QImage(Pixels(frame.width, kScreenDpi), Pixels(frame.height, kScreenDpi), QImage::Format_RGB32);
  copy.image.fill(Qt::white);
  {
    QPainter painter(&copy.image);
    PainterContext dc(painter, kScreenDpi / kUnitsPerInch, kScreenDpi / kUnitsPerInch);
    DrawDocument(dc, doc, frame.layout);
  }
  EndCopy(doc);
  return copy;
}

std::string WriteCopyDrawing(CGridoraDoc& doc, const std::string& path) { return Save(path, CopyDrawing(doc).svg); }

}  // namespace gridora
