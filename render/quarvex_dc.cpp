#include "render/quarvex_dc.h"

#include <algorithm>
#include <utility>

namespace gridora {

int CQuarvexDC::Ellipse(const LogicalRect& rect) {
  context_.Ellipse(rect);
  return 1;
}

int CQuarvexDC::Ellipse(int x1, int y1, int x2, int y2) {
  context_.Ellipse({x1, y1, x2, y2});
  return 1;
}

Font CQuarvexDC::SelectObject(const Font& font) { return context_.SelectFont(font); }
Brush CQuarvexDC::SelectObject(const Brush& brush) { return context_.SelectBrush(brush); }
Pen CQuarvexDC::SelectObject(const Pen& pen) { return context_.SelectPen(pen); }
LogicalPoint CQuarvexDC::MoveTo(int x, int y) { return context_.MoveTo(x, y); }

int CQuarvexDC::LineTo(int x, int y) {
  context_.LineTo(x, y);
  return 1;
}

int CQuarvexDC::TextOut(int x, int y, const char* text) {
  context_.TextOut(x, y, text ? std::string(text) : std::string());
  return 1;
}

int CQuarvexDC::TextOut(int x, int y, std::string text) {
  context_.TextOut(x, y, text);
  return 1;
}

Pen CQuarvexDC::SelectStockObject(int index) { return context_.SelectStockPen(index); }

int CQuarvexDC::StretchBlt(int x, int y, int width, int height, const PixelMap* source, int xSrc, int ySrc,
                           int widthSrc, int heightSrc, std::uint32_t rasterOperation) {
  const LogicalRect destination{x, y, x + width, y - height};
  if (rasterOperation == kBlackness || rasterOperation == kWhiteness) {
    const Brush brush{false, rasterOperation == kBlackness ? Rgb(0, 0, 0) : Rgb(255, 255, 255)};
    context_.FillRect(destination, &brush);
    return 1;
  }
  if (!source || source->Empty()) return 0;
  if (xSrc == 0 && ySrc == 0 && widthSrc == source->width && heightSrc == source->height) {
    context_.StretchPixelMap(destination, *source);
    return 1;
  }
  // A part of the source: copy that part out first.
  const int left = std::clamp(xSrc, 0, source->width), top = std::clamp(ySrc, 0, source->height);
  const int right = std::clamp(xSrc + widthSrc, left, source->width);
  const int bottom = std::clamp(ySrc + heightSrc, top, source->height);
  PixelMap part{right - left, bottom - top, {}};
  if (part.Empty()) return 0;
  part.pixels.reserve(static_cast<std::size_t>(part.width) * static_cast<std::size_t>(part.height));
  for (int row = top; row < bottom; ++row)
    for (int column = left; column < right; ++column) part.pixels.push_back(source->At(column, row));
  context_.StretchPixelMap(destination, part);
  return 1;
}

int CQuarvexDC::FillRect(const LogicalRect& rect, const Brush* brush) {
  context_.FillRect(rect, brush);
  return 1;
}

int CQuarvexDC::Polygon(const LogicalPoint* points, int count) {
  context_.Polygon(points, count);
  return 1;
}

int CQuarvexDC::SetPolyFillMode(int mode) { return context_.SetPolyFillMode(mode); }

int CQuarvexDC::Rectangle(int x1, int y1, int x2, int y2) {
  context_.Rectangle({x1, y1, x2, y2});
  return 1;
}

int CQuarvexDC::Rectangle(const LogicalRect& rect) {
  context_.Rectangle(rect);
  return 1;
}

int CQuarvexDC::Polyline(const LogicalPoint* points, int count) {
  context_.Polyline(points, count);
  return 1;
}

int CQuarvexDC::DPtoLP(LogicalRect& rect) {
  rect = context_.DeviceToLogical(rect);
  return 1;
}

Color CQuarvexDC::SetTextColor(Color color) { return context_.SetTextColor(color); }
int CQuarvexDC::SetBkMode(int mode) { return context_.SetBkMode(mode); }

}  // namespace gridora
