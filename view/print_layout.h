#pragma once
// The printed and exported map page: a title above the map, the map with its
// coordinate grid (full-length grid lines with tick labels in map units), the legend
// with its title and units, a north arrow and a scale bar; no status or scale text.
// File > Print and its preview, File > Export layout and the batch `export-layout`
// draw it through this one function.
#include <string>

#include "platform/drawing_context.h"

namespace gridora {

class Document;

// The layout's title: the style's own, else the document file's name without its
// folder and extension, else "Untitled".
std::string LayoutTitle(const Document& doc);

// Draws the page `width` x `height` (logical units, 0.1 mm) with its top-left corner at
// (0, 0), Y up. The map gets a scale fitted to the page for this drawing only: the
// view's scale, margins and frame are as they were afterwards. Nothing is drawn but
// the title when there is neither a grid nor a point.
void DrawPrintLayout(DrawingContext& dc, Document& doc, int width, int height, const std::string& title);

}  // namespace gridora
