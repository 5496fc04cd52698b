#pragma once
// Painting the view into files and onto the clipboard, with no window: the batch mode
// and the window's Copy and Print share these. Each returns an empty text on success,
// else what went wrong.
#include <QByteArray>
#include <QImage>
#include <string>

namespace gridora {

class CGridoraDoc;

// The view as a window of width x height pixels at 96 dpi would show it, into a .png,
// .svg or .pdf file (chosen by the extension).
std::string RenderViewToFile(CGridoraDoc& doc, const std::string& path, int width, int height);

// One printed page at physical size (0.1 mm a unit) into a PDF file.
std::string PrintViewToPdf(CGridoraDoc& doc, const std::string& path);

// What Copy puts on the clipboard: the drawing framed by legendRight and mapBottom, as
// SVG and as an image.
QByteArray CopyDrawingAsSvg(CGridoraDoc& doc);
QImage CopyDrawingAsImage(CGridoraDoc& doc);
std::string WriteCopyDrawing(CGridoraDoc& doc, const std::string& path);

}  // namespace gridora
