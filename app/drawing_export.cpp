#include "drawing_export.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSvgGenerator>
#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <string_view>

#include <fmt/printf.h>

#include "painter_context.h"
#include "platform/replacing_file.h"
#include "view/copy_frame.h"
#include "view/document.h"
#include "view/print_layout.h"
#include "view/view_paint.h"

namespace gridora {
namespace {

constexpr double kScreenDpi = 96.0;
constexpr double kUnitsPerInch = 254.0;  // 0.1 mm units
constexpr int kPrintDpi = 600;

// Paints the view at `dpi` onto a device of width x height pixels.
void PaintAt(QPainter& painter, Document& doc, double dpi, int width, int height) {
  PainterContext dc(painter, dpi / kUnitsPerInch, dpi / kUnitsPerInch);
  PaintView(dc, doc, {0, 0, width, height});
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

bool Save(const std::string& path, const QByteArray& bytes, std::string& problem) {
  ReplacingFile file(path);
  if (file.Open() && file.Write(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()))) &&
      file.Commit())
    return true;
  problem = "Cannot write " + path + ": " + file.Error();
  return false;
}

// An image beyond this many pixels is refused before it is allocated: at 4 bytes a
// pixel that is 400 MB, more than any screen or printed page needs.
constexpr long long kMaximumImagePixels = 100'000'000;

// False, with `problem`, when the image would be empty or beyond the limit.
bool CheckImageSize(const std::string& path, int width, int height, std::string& problem) {
  const long long pixels = static_cast<long long>(width) * height;
  if (width > 0 && height > 0 && pixels <= kMaximumImagePixels) return true;
  problem = fmt::sprintf("Cannot write %s: an image of %d x %d pixels is larger than the limit of %lld million pixels.",
                         path, width, height, kMaximumImagePixels / 1'000'000);
  return false;
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

bool RenderViewToFile(Document& doc, const std::string& path, int width, int height, std::string& problem) {
  const std::string extension = Lower(std::filesystem::path(path).extension().string());
  if (extension == ".png") {
    if (!CheckImageSize(path, width, height, problem)) return false;
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull()) {
      problem = fmt::sprintf("Cannot write %s: there is not enough memory for an image of %d x %d pixels.", path, width,
                             height);
      return false;
    }
    image.fill(Qt::white);
    {
      QPainter painter(&image);
      PaintAt(painter, doc, kScreenDpi, width, height);
    }
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) {
      problem = "Cannot write " + path + ": the image could not be encoded as PNG";
      return false;
    }
    return Save(path, buffer.data(), problem);
  }
  if (extension == ".svg")
    return Save(
        path,
        SvgOf(width, height, kScreenDpi, [&](QPainter& painter) { PaintAt(painter, doc, kScreenDpi, width, height); }),
        problem);
  if (extension == ".pdf") {
    // A page the size of the window, drawn as vectors.
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
      QPdfWriter writer(&buffer);
      writer.setPageSize(
          QPageSize(QSizeF(width * 25.4 / kScreenDpi, height * 25.4 / kScreenDpi), QPageSize::Millimeter));
      writer.setPageMargins(QMarginsF(0, 0, 0, 0));
      writer.setResolution(static_cast<int>(kScreenDpi));
      QPainter painter(&writer);
      PaintAt(painter, doc, kScreenDpi, width, height);
    }
    return Save(path, buffer.data(), problem);
  }
  problem = "render writes .png, .svg or .pdf files, not " + path;
  return false;
}

void PaintPrintedPage(QPainter& painter, Document& doc) {
  QPaintDevice* device = painter.device();
  const double unitsX = device->logicalDpiX() / kUnitsPerInch;
  const double unitsY = device->logicalDpiY() / kUnitsPerInch;
  PainterContext dc(painter, unitsX, unitsY);
  PaintView(dc, doc, {0, 0, device->width(), device->height()});
}

void PaintLayoutPage(QPainter& painter, Document& doc, const std::string& title) {
  QPaintDevice* device = painter.device();
  const double unitsX = device->logicalDpiX() / kUnitsPerInch;
  const double unitsY = device->logicalDpiY() / kUnitsPerInch;
  PainterContext dc(painter, unitsX, unitsY);
  const int width = static_cast<int>(device->width() / unitsX);
  const int height = static_cast<int>(device->height() / unitsY);
  DrawPrintLayout(dc, doc, width, height, title);
}

bool WriteLayoutFile(Document& doc, const std::string& path, const std::string& title, std::string& problem) {
  const std::string extension = Lower(std::filesystem::path(path).extension().string());
  const QPageSize a4(QPageSize::A4);
  if (extension == ".pdf") {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
      QPdfWriter writer(&buffer);
      writer.setPageLayout(QPageLayout(a4, QPageLayout::Landscape, QMarginsF(0, 0, 0, 0)));
      writer.setResolution(kPrintDpi);
      writer.setTitle(QString::fromStdString(title));
      writer.setCreator("Gridora");
      QPainter painter(&writer);
      PaintLayoutPage(painter, doc, title);
    }
    return Save(path, buffer.data(), problem);
  }
  if (extension == ".png") {
    constexpr double kLayoutDpi = 150.0;
    const QSizeF millimetres = a4.size(QPageSize::Millimeter).transposed();  // landscape
    const int width = static_cast<int>(std::lround(millimetres.width() / 25.4 * kLayoutDpi));
    const int height = static_cast<int>(std::lround(millimetres.height() / 25.4 * kLayoutDpi));
    QImage image(width, height, QImage::Format_RGB32);
    if (image.isNull()) {
      problem = fmt::sprintf("Cannot write %s: there is not enough memory for an image of %d x %d pixels.", path, width,
                             height);
      return false;
    }
    image.fill(Qt::white);
    {
      QPainter painter(&image);
      painter.setRenderHint(QPainter::Antialiasing);
      PainterContext dc(painter, kLayoutDpi / kUnitsPerInch, kLayoutDpi / kUnitsPerInch);
      DrawPrintLayout(dc, doc, static_cast<int>(width * kUnitsPerInch / kLayoutDpi),
                      static_cast<int>(height * kUnitsPerInch / kLayoutDpi), title);
    }
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) {
      problem = "Cannot write " + path + ": the image could not be encoded as PNG";
      return false;
    }
    return Save(path, buffer.data(), problem);
  }
  problem = "export-layout writes .pdf or .png files, not " + path;
  return false;
}

bool PrintViewToPdf(Document& doc, const std::string& path, std::string& problem) {
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
  return Save(path, buffer.data(), problem);
}

ClipboardDrawing CopyDrawing(Document& doc) {
  const CopyFrame frame = BeginCopy(doc);
  ClipboardDrawing copy;
  // Vectors at one user unit a logical unit: 254 "dots" an inch.
  copy.svg = SvgOf(frame.width, frame.height, kUnitsPerInch, [&](QPainter& painter) {
    PainterContext dc(painter, 1.0, 1.0);
    DrawDocument(dc, doc, frame.layout);
  });
  const int width = Pixels(frame.width, kScreenDpi), height = Pixels(frame.height, kScreenDpi);
  // Without memory for the image the clipboard gets the vectors alone.
  if (static_cast<long long>(width) * height <= kMaximumImagePixels)
    copy.image = QImage(width, height, QImage::Format_RGB32);
  if (!copy.image.isNull()) {
    copy.image.fill(Qt::white);
    QPainter painter(&copy.image);
    PainterContext dc(painter, kScreenDpi / kUnitsPerInch, kScreenDpi / kUnitsPerInch);
    DrawDocument(dc, doc, frame.layout);
  }
  EndCopy(doc);
  return copy;
}

bool WriteCopyDrawing(Document& doc, const std::string& path, std::string& problem) {
  return Save(path, CopyDrawing(doc).svg, problem);
}

}  // namespace gridora
