#include "render/cell_renderer.h"

#include <algorithm>
#include <utility>

namespace gridora {
namespace {

// The point on the edge from a to b where the value is `level`, computed in single
// precision and truncated toward zero; a flat edge gives its first end.
LogicalPoint PointAtLevel(const CellCorner& a, const CellCorner& b, float level) {
  if (a.value == b.value) return {a.x, a.y};
  const float dv = b.value - a.value;
  const float x = static_cast<float>(b.x - a.x) / dv * (level - a.value) + static_cast<float>(a.x);
  const float y = static_cast<float>(b.y - a.y) / dv * (level - a.value) + static_cast<float>(a.y);
  return {static_cast<int>(x), static_cast<int>(y)};
}

LogicalPoint At(const CellCorner& c) { return {c.x, c.y}; }

}  // namespace

void CellRenderer::FillPolygon(DrawingContext& dc, const LogicalPoint* points, int count, int colorIndex) const {
  const Pen previousPen = dc.SelectStockPen(kNullPen);
  const Brush previousBrush = dc.SelectBrush(Brush{false, colorScale_->LevelColor(colorIndex)});
  dc.SetPolyFillMode(kAlternate);
  dc.Polygon(points, count);
  dc.SelectBrush(previousBrush);
  dc.SelectPen(previousPen);
}

void CellRenderer::DrawCell(DrawingContext& dc, const CellCorner corners[4]) const {
  CellCorner centre;
  centre.x = (corners[0].x + corners[1].x + corners[2].x + corners[3].x) / 4;
  centre.y = (corners[0].y + corners[1].y + corners[2].y + corners[3].y) / 4;
  centre.value = (corners[0].value + corners[1].value + corners[2].value + corners[3].value) * 0.25f;
  for (int i = 0; i < 4; ++i) {
    const CellCorner triangle[3] = {centre, corners[i], corners[(i + 1) % 4]};
    DrawTriangle(dc, triangle);
  }
}

void CellRenderer::DrawTriangle(DrawingContext& dc, const CellCorner vertices[3]) const {
  const ColorScale& scale = *colorScale_;
  const int n = scale.levelCount;
  if (n < 2) return;
  const float* L = scale.levels.data();

  CellCorner p[3] = {vertices[0], vertices[1], vertices[2]};
  if (p[0].value > p[1].value) std::swap(p[0], p[1]);
  if (p[1].value > p[2].value) std::swap(p[1], p[2]);
  if (p[0].value > p[1].value) std::swap(p[0], p[1]);
  const float vLow = p[0].value, vMid = p[1].value, vHigh = p[2].value;
  const LogicalPoint whole[3] = {At(p[0]), At(p[1]), At(p[2])};

  if (L[0] >= vHigh) {
    FillPolygon(dc, whole, 3, 0);
    return;
  }
  if (vLow > L[n - 2]) {
    FillPolygon(dc, whole, 3, n - 2);
    return;
  }

  LogicalPoint previous[5];
  int previousCount = 0;
  bool cutBefore = false;
  bool middleUsed = false;
  LogicalPoint cuts[kMaximumCuts][2];
  int cutCount = 0;

  for (int k = 0; k < n; ++k) {
    const float level = L[k];
    if (k < n - 1 && level <= vLow && vHigh <= L[k + 1]) {
      FillPolygon(dc, whole, 3, k);
      break;
    }
    if (vLow <= level && level <= vHigh) {
      // The part of the triangle below this level, from the previous cut (reversed)
      // or the lowest vertex.
      LogicalPoint polygon[5];
      int count = 0;
      if (cutBefore) {
        polygon[count++] = previous[previousCount - 1];
        polygon[count++] = previous[previousCount - 2];
      } else {
        polygon[count++] = At(p[0]);
      }
      LogicalPoint a;
      if (vMid <= level) {
        if (!middleUsed) {
          polygon[count++] = At(p[1]);
          middleUsed = true;
        }
        a = PointAtLevel(p[1], p[2], level);
      } else {
        a = PointAtLevel(p[0], p[1], level);
      }
      const LogicalPoint b = PointAtLevel(p[0], p[2], level);
      polygon[count++] = a;
      polygon[count++] = b;
      if (cutCount < kMaximumCuts) {
        cuts[cutCount][0] = a;
        cuts[cutCount][1] = b;
        ++cutCount;
      }
      FillPolygon(dc, polygon, count, std::max(k, 1) - 1);
      std::copy(polygon, polygon + count, previous);
      previousCount = count;
      cutBefore = true;
    }
    if (level >= vHigh) {
      // What is left above the last cut: up to the highest vertex.
      LogicalPoint polygon[4];
      int count = 0;
      if (cutBefore) {
        polygon[count++] = previous[previousCount - 1];
        polygon[count++] = previous[previousCount - 2];
      } else {
        polygon[count++] = At(p[0]);
      }
      if (!middleUsed) polygon[count++] = At(p[1]);
      polygon[count++] = At(p[2]);
      FillPolygon(dc, polygon, count, std::max(k, 1) - 1);
      break;
    }
  }

  if (drawContourLines == 1) {
    for (int i = 0; i < cutCount; ++i) {
      const Pen previousPen = dc.SelectStockPen(kBlackPen);
      dc.Polyline(cuts[i], 2);
      dc.SelectPen(previousPen);
    }
  }
}

}  // namespace gridora
