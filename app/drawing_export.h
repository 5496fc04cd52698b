#pragma once
// Painting the view into files and onto the clipboard, with no window: the batch mode
// and the window's Copy and Print share these. Each that writes a file returns false
// when it could not, with `problem` saying what went wrong.
#include <QByteArray>
#include <QImage>
#include <string>

class QPainter;

namespace gridora {

class Document;

// The view as a window of width x height pixels at 96 dpi would show it, into a .png,
// .svg or .pdf file (chosen by the extension; the PDF page is the window's size).
bool RenderViewToFile(Document& doc, const std::string& path, int width, int height, std::string& problem);

// One printed page at physical size (0.1 mm a unit): what the painter's device (a
// printer, a preview page, a PDF writer) shows, through the view's paint entry.
void PaintPrintedPage(QPainter& painter, Document& doc);

// The map page (view/print_layout.h) at the painter device's physical size: what File >
// Print and its preview show.
void PaintLayoutPage(QPainter& painter, Document& doc, const std::string& title);

// The map page on an A4 landscape sheet into a .pdf (vectors) or .png (150 dpi) file,
// chosen by the extension.
bool WriteLayoutFile(Document& doc, const std::string& path, const std::string& title, std::string& problem);

// One A4 page printed at physical size into a PDF file.
bool PrintViewToPdf(Document& doc, const std::string& path, std::string& problem);

// What "Copy" puts on the clipboard: the drawing inside the frame of legendRight and
// mapBottom, as SVG (one user unit a logical unit, physical size in millimetres) and
// as an image at 96 dpi. One call is one Copy: legendRight and mapBottom are widened
// for the frame and then reset to 0 until the view is painted again.
struct ClipboardDrawing {
  QByteArray svg;
  QImage image;
};
ClipboardDrawing CopyDrawing(Document& doc);

// Copy, writing the SVG to a file instead of the clipboard (the batch `copy`).
bool WriteCopyDrawing(Document& doc, const std::string& path, std::string& problem);

}  // namespace gridora
