#pragma once
// Draws one grid cell as filled contour bands. The cell is split into four triangles
// around its centre and each triangle is cut along the contour levels into polygons
// filled with the band colours; with contour lines on, the cuts are then drawn in
// black. Everything goes through the drawing context in logical units.
#include "platform/drawing_context.h"
#include "render/color_scale.h"

namespace gridora {

struct CellCorner {
  int x = 0, y = 0;  // logical units
  float value = 0.0f;
};

class CellRenderer {
 public:
  // Most cut segments one triangle keeps: one per level crossed.
  static constexpr int kMaximumCuts = 100;

  CellRenderer() = default;
  CellRenderer(const CellRenderer&) = delete;
  CellRenderer& operator=(const CellRenderer&) = delete;

  // The scale to draw with; the map points it at the document's before each drawing.
  void SetColorScale(const ColorScale& scale) { colorScale_ = &scale; }
  const ColorScale& Scale() const { return *colorScale_; }

  // Corners in the order top-left, bottom-left, bottom-right, top-right.
  void DrawCell(DrawingContext& dc, const CellCorner corners[4]) const;
  void DrawTriangle(DrawingContext& dc, const CellCorner vertices[3]) const;

  int drawContourLines = 0;

 private:
  void FillPolygon(DrawingContext& dc, const LogicalPoint* points, int count, int colorIndex) const;

  ColorScale ownScale_;
  const ColorScale* colorScale_ = &ownScale_;
};

}  // namespace gridora
