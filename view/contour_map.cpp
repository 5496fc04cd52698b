#include "view/contour_map.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <new>

#include "document/hidden_nodes.h"
#include "platform/diagnostic_file.h"
#include "render/cell_renderer.h"
#include "render/color_scale.h"
#include "render/drawing_parameter.h"
#include "render/logical_units.h"
#include "render/traced_bands.h"
#include "view/breakline_drawing.h"
#include "view/contour_labels.h"
#include "view/document.h"
#include "view/map_frame.h"
#include "view/traced_band_cache.h"

namespace gridora {
namespace {

bool FinitePositive(double v) { return std::isfinite(v) && v > 0.0; }

float Log10(float v) { return static_cast<float>(std::log10(static_cast<double>(v))); }

// The node columns (or rows) inside [start, end]: how many, the first and the last.
struct NodeSpan {
  int count = 0;
  int first = -1;
  int last = -1;
};

NodeSpan NodesInside(int nodes, float spacing, float origin, float start, float end) {
  NodeSpan span;
  for (int i = 0; i < nodes; ++i) {
    const float at = static_cast<float>(i) * spacing + origin;
    if (start <= at && at <= end) {
      ++span.count;
      if (span.first < 0) span.first = i;
      span.last = i;
    }
  }
  return span;
}

bool Inside(int i, float spacing, float origin, float start, float end) {
  const float at = static_cast<float>(i) * spacing + origin;
  return start <= at && at <= end;
}

// Where the pixel map goes: the first in-window column at the left, the last
// in-window row at the top.
struct PixelMapPlace {
  float xFirst = 0.0f, yLast = 0.0f;  // data coordinates of those nodes
  float xGap = 0.0f, yGap = 0.0f;     // their distances from the window's left and top
  int xOffset = 0, yOffset = 0;       // the same in logical units
};

PixelMapPlace PlacePixelMap(const GridModel& g, float scaleX, float scaleY) {
  const NodeSpan columns = NodesInside(g.NX, g.DX, g.x0, g.xStart, g.xEnd);
  const NodeSpan rows = NodesInside(g.NY, g.DY, g.y0, g.yStart, g.yEnd);
  PixelMapPlace place;
  place.xFirst = static_cast<float>(std::max(columns.first, 0)) * g.DX + g.x0;
  place.yLast = static_cast<float>(std::max(rows.last, 0)) * g.DY + g.y0;
  place.xGap = std::max(0.0f, place.xFirst - g.xStart);
  place.yGap = std::max(0.0f, g.yEnd - place.yLast);
  place.xOffset = TruncToLogical(place.xGap * scaleX);
  place.yOffset = TruncToLogical(place.yGap * scaleY);
  return place;
}

void DrawPixelMap(DrawingContext& dc, Document& doc, DiagnosticFile& log, int& mapWidth, int& mapHeight) {
  GridModel& g = *doc.grid;
  if (doc.mapBitmapDirty != 0) BuildPixelMap(doc, &log);

  const int nx = g.nxInWindow, ny = g.nyInWindow;
  // Pixel extents in single precision, as the drawing has always measured them.
  const float spacingX = static_cast<float>(g.DX), spacingY = static_cast<float>(g.DY);
  mapWidth = TruncToLogical(std::max(0.0f, static_cast<float>(nx - 1) * spacingX * g.scaleX));
  mapHeight = TruncToLogical(std::max(0.0f, static_cast<float>(ny - 1) * spacingY * g.scaleY));

  const PixelMapPlace place = PlacePixelMap(g, g.scaleX, g.scaleY);
  log.Printf("%d %d : %d %d : %f %f : %f %f \n", g.NX, g.NY, nx, ny, g.DX, g.DY, static_cast<float>(nx - 1) * spacingX,
             static_cast<float>(ny - 1) * spacingY);
  log.Printf("X: %f %f %f %d Y: %f %f %f %d \n", place.xFirst, g.xStart, place.xGap, place.xOffset, place.yLast, g.yEnd,
             place.yGap, place.yOffset);

  if (doc.mapBitmap.Empty()) return;
  const int left = doc.marginLeft + place.xOffset;
  const int top = -(doc.marginTop + place.yOffset);
  const int width = TruncToLogical(static_cast<float>(nx - 1) * g.scaleX * spacingX);
  const int height = TruncToLogical(static_cast<float>(ny - 1) * g.scaleY * spacingY);
  dc.StretchPixelMap({left, top, left + width, top - height}, doc.mapBitmap);
}

void DrawBands(DrawingContext& context, Document& doc) {
  const GridModel& g = *doc.grid;
  CellRenderer& renderer = *doc.cellRenderer;
  renderer.SetColorScale(*doc.colorScale);
  renderer.drawContourLines = g.mapColorMode == 2 ? 1 : 0;

  // Every cell, inside the window or not: the positions of the node columns and rows.
  std::vector<int> xs(static_cast<std::size_t>(g.NX)), ys(static_cast<std::size_t>(g.NY));
  for (int ix = 0; ix < g.NX; ++ix)
    xs[static_cast<std::size_t>(ix)] =
        doc.marginLeft + TruncToLogical((static_cast<float>(ix) * g.DX + g.x0 - g.xStart) * g.scaleX);
  for (int iy = 0; iy < g.NY; ++iy)
    ys[static_cast<std::size_t>(iy)] =
        -(doc.marginTop + TruncToLogical((g.yEnd - (static_cast<float>(iy) * g.DY + g.y0)) * g.scaleY));

  if (context.TakesTracedBands()) {
    // Without the memory for the traced picture the cells are drawn one by one.
    std::shared_ptr<const TracedBands> bands;
    try {
      bands = TracedBandsFor(doc, xs, ys);
    } catch (const std::bad_alloc&) {
    }
    if (bands) {
      context.FillTracedBands(*bands);
      return;
    }
  }

  for (int ix = 0; ix + 1 < g.NX; ++ix) {
    const float* left = g.Column(doc.layerIndex, ix);
    const float* right = g.Column(doc.layerIndex, ix + 1);
    const int xA = xs[static_cast<std::size_t>(ix)], xB = xs[static_cast<std::size_t>(ix) + 1];
    for (int iy = 0; iy + 1 < g.NY; ++iy) {
      const int yLow = ys[static_cast<std::size_t>(iy)], yHigh = ys[static_cast<std::size_t>(iy) + 1];
      const CellCorner corners[4] = {
          {xA, yHigh, left[iy + 1]},
          {xA, yLow, left[iy]},
          {xB, yLow, right[iy]},
          {xB, yHigh, right[iy + 1]},
      };
      renderer.DrawCell(context, corners);
    }
  }
}

}  // namespace

bool GridHasLayer(const GridModel& g, int layer) {
  return g.NX > 1 && g.NY > 1 && layer >= 0 && layer < g.layerCount &&
         g.values.size() == static_cast<std::size_t>(g.layerCount) * g.NodeCount();
}

void SetupColorLevels(Document& doc, float& minimum, float& maximum) {
  const GridModel& g = *doc.grid;
  const auto layer = static_cast<std::size_t>(doc.layerIndex);
  if (g.NX > 1 && g.NY > 1) {
    const bool ranged = doc.layerIndex >= 0 && layer < g.layerMinimum.size() && layer < g.layerMaximum.size();
    minimum = ranged ? g.layerMinimum[layer] : 0.0f;
    maximum = ranged ? g.layerMaximum[layer] : 0.0f;
  } else {
    minimum = doc.primaryData->zMinimum;
    maximum = doc.primaryData->zMaximum;
  }
  float low = minimum, high = maximum;
  if (doc.logScale == 1) {
    low = Log10(low);
    high = Log10(high);
  }
  // The standard error has levels of its own: the estimate's would paint it one colour.
  const bool error = doc.layerIndex == 1;
  doc.colorScale->ramp = doc.mapParameter->style.ramp;
  doc.colorScale->rampReversed = doc.mapParameter->style.reverse;
  if (error ? g.errorUserLevels == 1 : g.userLevels == 1)
    doc.colorScale->SetupFromLevels(error ? g.errorLevels : g.contourLevels, g.reverseColors == 1);
  else
    doc.colorScale->SetupDefault(low, high, 36, g.reverseColors == 1);
}

void FitMapScale(Document& doc, const LogicalRect& layout) {
  GridModel& g = *doc.grid;
  if (doc.scaleFromFile == 1 || doc.scaleFitted == 1) return;
  const DrawingParameters& parameter = *doc.mapParameter;
  const int areaW = TruncToLogical(std::abs(static_cast<double>(layout.right) - layout.left) * parameter.areaFraction);
  const int areaH = TruncToLogical(std::abs(static_cast<double>(layout.top) - layout.bottom) * parameter.areaFraction);
  const double spanX = static_cast<double>(g.xEnd) - g.xStart;
  const double spanY = static_cast<double>(g.yEnd) - g.yStart;

  if (areaW > 0 && areaH > 0) {
    const float rx = static_cast<float>(spanX / areaW);
    const float ry = static_cast<float>(spanY / areaH);
    const double alongX = (areaW - doc.marginLeft) / spanX;
    const double alongY = (areaH - doc.marginTop - parameter.marginBottom) / spanY;
    double s = rx > ry ? alongX : alongY;
    // A window without width (or height) fits along the other axis; a layout smaller
    // than its margins along the chosen axis fits along the other one.
    if (!FinitePositive(s)) s = rx > ry ? alongY : alongX;
    if (FinitePositive(s) && FinitePositive(static_cast<float>(s))) {
      g.scaleX = g.scaleY = static_cast<float>(s);
      doc.scaleFitted = 1;
      return;
    }
  }
  // Nothing to fit to: a layout or a window without area. Draw with the stored scale.
  if (!FinitePositive(g.scaleX)) g.scaleX = 1.0f;
  if (!FinitePositive(g.scaleY)) g.scaleY = 1.0f;
}

void CountNodesInWindow(GridModel& g) {
  g.nxInWindow = NodesInside(g.NX, g.DX, g.x0, g.xStart, g.xEnd).count;
  g.nyInWindow = NodesInside(g.NY, g.DY, g.y0, g.yStart, g.yEnd).count;
  g.xLastDrawn = static_cast<float>(g.nxInWindow - 1) * g.DX + g.x0;
  g.yLastDrawn = static_cast<float>(g.nyInWindow - 1) * g.DY + g.y0;
}

void BuildPixelMap(Document& doc, DiagnosticFile* log) {
  GridModel& g = *doc.grid;
  doc.mapBitmapDirty = 0;
  const NodeSpan columns = NodesInside(g.NX, g.DX, g.x0, g.xStart, g.xEnd);
  const NodeSpan rows = NodesInside(g.NY, g.DY, g.y0, g.yStart, g.yEnd);
  const int nx = g.nxInWindow, ny = g.nyInWindow;

  if (log) {
    log->Printf("%f %f \n", doc.contourMinimum, doc.contourInterval);
    const int entries = std::clamp(g.contourLevels.count, 0, ContourLevels::kMaximumCount);
    for (int i = 0; i < entries; ++i) log->Printf("%d %f \n", i, g.contourLevels.levels[static_cast<std::size_t>(i)]);
  }

  PixelMap map;
  if (nx > 0 && ny > 0) {
    map.width = nx;
    map.height = ny;
    map.pixels.assign(static_cast<std::size_t>(nx) * static_cast<std::size_t>(ny), kMapBackground);
  }
  const bool hasLayer = GridHasLayer(g, doc.layerIndex);
  const bool hasLayer0 = GridHasLayer(g, 0);
  const HiddenNodes hidden(g);
  const bool logScale = doc.logScale == 1;
  const ColorScale& scale = *doc.colorScale;

  for (int ix = 0; ix < g.NX; ++ix) {
    const bool inside = Inside(ix, g.DX, g.x0, g.xStart, g.xEnd);
    const int column = std::clamp(ix - columns.first, 0, std::max(nx - 1, 0));
    if (log) {
      float low = 1e10f, high = -1e10f;
      if (hasLayer0) {
        const float* values = g.Column(0, ix);
        for (int iy = 0; iy < g.NY; ++iy) {
          low = std::min(low, values[iy]);
          high = std::max(high, values[iy]);
        }
      }
      log->Printf("%d %d %d %f %f\n", ix, inside ? 1 : 0, column, low, high);
    }
    if (!inside || map.Empty() || !hasLayer) continue;
    const float* values = g.Column(doc.layerIndex, ix);
    for (int iy = rows.first; iy >= 0 && iy <= rows.last; ++iy) {
      if (!Inside(iy, g.DY, g.y0, g.yStart, g.yEnd)) continue;
      const int row = rows.last - iy;
      Color color;
      if (hidden.Hidden(ix, iy)) {
        color = Rgb(255, 255, 255);
      } else {
        const float value = logScale ? Log10(values[iy]) : values[iy];
        color = scale.LookupColor(value);
      }
      if (column < map.width && row >= 0 && row < map.height) map.At(column, row) = color;
    }
  }
  doc.mapBitmap = std::move(map);
}

void DrawMap(DrawingContext& dc, Document& doc, const LogicalRect& layout) { DrawMap(dc, doc, layout, {}); }

void DrawMap(DrawingContext& dc, Document& doc, const LogicalRect& layout, const MapDrawOptions& options) {
  DiagnosticFile log("DrawMap.txt");
  GridModel& g = *doc.grid;

  if (g.axisFixed == 0) WindowAndTicks(doc);
  FitMapScale(doc, layout);
  CountNodesInWindow(g);
  log.Printf("kx = %d ky = %d\n", g.NX, g.NY);
  log.Printf("nx = %d ny = %d\n", g.nxInWindow, g.nyInWindow);
  log.Printf("xmin = %f xs =%f xe = %f\n", g.x0, g.xStart, g.xEnd);
  log.Printf("zmin = %f zs =%f ze = %f\n", g.y0, g.yStart, g.yEnd);

  float minimum = 0.0f, maximum = 0.0f;
  SetupColorLevels(doc, minimum, maximum);
  log.Printf("%d %f %f\n", doc.logScale, minimum, maximum);

  int mapWidth = 0, mapHeight = 0;
  const bool gridShown = g.NX > 1 && g.NY > 1;
  if (gridShown && GridHasLayer(g, doc.layerIndex)) {
    if (g.mapColorMode == 0)
      DrawPixelMap(dc, doc, log, mapWidth, mapHeight);
    else
      DrawBands(dc, doc);
    DrawContourLabels(dc, doc);
  }

  DrawFrameAndAxes(dc, doc, g.scaleX, g.scaleY, mapWidth, mapHeight, options.scaleText);
  DrawBreaklines(dc, doc, g.scaleX, g.scaleY);
  const bool markersShown = doc.primaryData->count > 0 && g.showRandomData == 1;
  if (markersShown) DrawDataMarkers(dc, doc, g.scaleX, g.scaleY);
  if (gridShown || markersShown)
    doc.legendRight =
        DrawLegend(dc, doc, mapWidth, mapHeight, doc.layerIndex, options.legendView ? options.legendView : &layout);
  doc.mapBottom = doc.marginTop + mapHeight;
}

}  // namespace gridora
