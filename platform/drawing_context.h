#pragma once
// The platform drawing services the rendering relies on. Coordinates are logical units
// of 0.1 mm with X to the right and Y upward (points below the page origin have
// negative Y). Colours are 0x00BBGGRR. Pens, brushes and fonts are plain descriptions;
// selecting one returns the description selected before, so passing it back restores
// it. Implementations: QPainter in the window (screen, printer, preview, PNG, SVG,
// PDF) and a recording context for tests.
#include <cstdint>
#include <string>
#include <vector>

namespace gridora {

struct TracedBands;

using Color = std::uint32_t;  // 0x00BBGGRR

constexpr Color Rgb(int red, int green, int blue) {
  return static_cast<Color>((red & 0xff) | ((green & 0xff) << 8) | ((blue & 0xff) << 16));
}
constexpr int RedOf(Color c) { return static_cast<int>(c & 0xff); }
constexpr int GreenOf(Color c) { return static_cast<int>((c >> 8) & 0xff); }
constexpr int BlueOf(Color c) { return static_cast<int>((c >> 16) & 0xff); }

struct LogicalPoint {
  int x = 0;
  int y = 0;
  bool operator==(const LogicalPoint&) const = default;
};

struct LogicalRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  bool operator==(const LogicalRect&) const = default;
};

enum class PenStyle { Solid, Null };

struct Pen {
  PenStyle style = PenStyle::Solid;
  int width = 0;  // logical units; 0 is the thinnest line the device draws
  Color color = 0;
  bool operator==(const Pen&) const = default;
};

struct Brush {
  bool null = false;
  Color color = 0xffffff;
  bool operator==(const Brush&) const = default;
};

struct Font {
  std::string face = "Arial";
  int height = 0;      // logical units
  int escapement = 0;  // tenths of a degree, counter-clockwise
  int weight = 400;
  bool operator==(const Font&) const = default;
};

enum StockObject { kBlackPen = 7, kNullPen = 8 };
enum FillMode { kAlternate = 1, kWinding = 2 };
enum BackgroundMode { kTransparent = 1, kOpaque = 2 };

// A pixel map: width x height colours, row 0 at the top.
struct PixelMap {
  int width = 0;
  int height = 0;
  std::vector<Color> pixels;
  bool Empty() const { return width <= 0 || height <= 0; }
  Color& At(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
  Color At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

class DrawingContext {
 public:
  virtual ~DrawingContext() = default;

  virtual Pen SelectPen(const Pen& pen) = 0;
  virtual Brush SelectBrush(const Brush& brush) = 0;
  virtual Font SelectFont(const Font& font) = 0;
  // Stock index 7 black pen, 8 null pen; returns the pen selected before.
  virtual Pen SelectStockPen(int index) = 0;

  virtual LogicalPoint MoveTo(int x, int y) = 0;
  virtual void LineTo(int x, int y) = 0;
  virtual void Polyline(const LogicalPoint* points, int count) = 0;
  virtual void Polygon(const LogicalPoint* points, int count) = 0;
  virtual int SetPolyFillMode(int mode) = 0;
  virtual void Rectangle(const LogicalRect& rect) = 0;
  virtual void Ellipse(const LogicalRect& rect) = 0;
  // No brush: nothing is filled.
  virtual void FillRect(const LogicalRect& rect, const Brush* brush) = 0;

  // Text (UTF-8) with its top-left corner at (x, y), in the current font, text colour
  // and background mode.
  virtual void TextOut(int x, int y, const std::string& text) = 0;
  virtual Color SetTextColor(Color color) = 0;
  virtual int SetBkMode(int mode) = 0;

  // Stretches the pixel map onto the logical rectangle with a plain copy.
  virtual void StretchPixelMap(const LogicalRect& destination, const PixelMap& source) = 0;

  // Converts a device rectangle (pixels of the target) into logical units.
  virtual LogicalRect DeviceToLogical(const LogicalRect& deviceRect) = 0;

  // The band modes' map body can come traced in one piece (render/traced_bands.h)
  // when the context fills many polygons faster at once; the others get it cell by
  // cell through the calls above.
  virtual bool TakesTracedBands() const { return false; }
  virtual void FillTracedBands(const TracedBands& /*bands*/) {}
};

}  // namespace gridora
