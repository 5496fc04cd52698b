#pragma once
// CQuarvexDC: the thin drawing interface the band fill draws through, so that it
// depends on nothing but these twenty operations. It forwards every call to the
// drawing context it was built around and keeps no state of its own; the target
// (screen, printer, preview, file) is whatever that context draws on. Coordinates are
// the context's logical units (0.1 mm, Y up). "Success" results are nonzero.
#include <cstdint>
#include <string>

#include "platform/drawing_context.h"

namespace gridora {

// Raster operations of StretchBlt.
enum RasterOperation : std::uint32_t {
  kSourceCopy = 0x00CC0020,
  kBlackness = 0x00000042,
  kWhiteness = 0x00FF0062,
};

class CQuarvexDC {
 public:
  explicit CQuarvexDC(DrawingContext& context) : context_(context) {}
  virtual ~CQuarvexDC() = default;
  CQuarvexDC(const CQuarvexDC&) = delete;
  CQuarvexDC& operator=(const CQuarvexDC&) = delete;

  // Ellipse inscribed in the rectangle: current pen and brush.
  virtual int Ellipse(const LogicalRect& rect);
  virtual int Ellipse(int x1, int y1, int x2, int y2);
  // Each returns the object selected before; passing it back restores it.
  virtual Font SelectObject(const Font& font);
  virtual Brush SelectObject(const Brush& brush);
  virtual Pen SelectObject(const Pen& pen);
  virtual LogicalPoint MoveTo(int x, int y);
  virtual int LineTo(int x, int y);
  // Text (UTF-8) with its top-left corner at (x, y).
  virtual int TextOut(int x, int y, const char* text);
  virtual int TextOut(int x, int y, std::string text);
  // Stock pens: 7 black, 8 null (no outline). Returns the pen selected before.
  virtual Pen SelectStockObject(int index);
  // Copies the source rectangle of `source` (none: only kBlackness and kWhiteness draw)
  // onto the rectangle whose top-left corner is (x, y), `width` to the right and
  // `height` downward. Every other operation is drawn as a plain copy.
  virtual int StretchBlt(int x, int y, int width, int height, const PixelMap* source, int xSrc, int ySrc, int widthSrc,
                         int heightSrc, std::uint32_t rasterOperation);
  // No brush: nothing is filled.
  virtual int FillRect(const LogicalRect& rect, const Brush* brush);
  virtual int Polygon(const LogicalPoint* points, int count);
  // 1 alternate, 2 winding; returns the previous mode.
  virtual int SetPolyFillMode(int mode);
  // The rectangle again, as four integers (a slot nothing in the program uses).
  virtual int Rectangle(int x1, int y1, int x2, int y2);
  virtual int Rectangle(const LogicalRect& rect);
  virtual int Polyline(const LogicalPoint* points, int count);
  // Device to logical units, in place.
  virtual int DPtoLP(LogicalRect& rect);
  virtual Color SetTextColor(Color color);
  // 1 transparent, 2 opaque; returns the previous mode.
  virtual int SetBkMode(int mode);

  DrawingContext& context() { return context_; }

 private:
  DrawingContext& context_;
};

}  // namespace gridora
