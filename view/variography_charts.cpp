#include "view/variography_charts.h"

#include <fmt/format.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "render/chart_axes.h"
#include "render/drawing_parameter.h"
#include "variography/directional_variogram.h"
#include "variography/variogram_map.h"
#include "view/document.h"

namespace gridora {
namespace {

constexpr int kClassRadius = 15;
constexpr int kLegendLine = 300;
constexpr int kLegendRow = 120;

// Sets the axes for the extents and draws them; the position of (x, y) then.
struct ChartFrame {
  ChartAxes& axes;
  int left = 0, top = 0;
  LogicalPoint At(double x, double y) const {
    return LogicalPoint{static_cast<int>(std::trunc((x - axes.xStart) * axes.xScale)) + left,
                        -(static_cast<int>(std::trunc((axes.yEnd - y) * axes.yScale)) + top)};
  }
};

double Extent(double v) { return v > 0.0 && std::isfinite(v) ? v : 1.0; }

ChartFrame SetUpFrame(DrawingContext& dc, Document& doc, const LogicalRect& layout, double x0, double x1, double y0,
                      double y1) {
  const DrawingParameters& parameter = *doc.chartParameter;
  ChartAxes& axes = *doc.chartAxes;
  axes.xStart = static_cast<float>(x0);
  axes.xEnd = static_cast<float>(x1);
  axes.yStart = static_cast<float>(y0);
  axes.yEnd = static_cast<float>(y1);
  const int width = static_cast<int>(std::abs(layout.right - layout.left) * parameter.areaFraction);
  const int height = static_cast<int>(std::abs(layout.top - layout.bottom) * parameter.areaFraction);
  axes.xScale = static_cast<float>((width - parameter.marginRight - parameter.marginLeft) / (x1 - x0));
  axes.yScale = static_cast<float>((height - parameter.marginBottom - parameter.marginTop) / (y1 - y0));
  ChooseIntervals(axes);
  SetupTicks(axes, doc.profile());
  DrawChartAxes(dc, parameter, axes);
  return ChartFrame{axes, parameter.offsetX + parameter.marginLeft,
                    parameter.offsetY + 2 * axes.yExtraOffset + parameter.marginTop};
}

// Blue (low) through green to red (high), for t in [0, 1].
Color Ramp(double t) {
  t = std::clamp(t, 0.0, 1.0);
  const int r = static_cast<int>(std::lround(255.0 * std::clamp(2.0 * t - 0.5, 0.0, 1.0)));
  const int g = static_cast<int>(std::lround(255.0 * (1.0 - std::fabs(2.0 * t - 1.0))));
  const int b = static_cast<int>(std::lround(255.0 * std::clamp(1.5 - 2.0 * t, 0.0, 1.0)));
  return Rgb(r, g, b);
}

}  // namespace

Color DirectionColor(int k) {
  static const Color colors[] = {Rgb(220, 0, 0),   Rgb(0, 0, 220),   Rgb(0, 150, 0),  Rgb(200, 120, 0),
                                 Rgb(150, 0, 150), Rgb(0, 150, 150), Rgb(90, 90, 90), Rgb(120, 60, 0)};
  return colors[static_cast<std::size_t>(k) % (sizeof colors / sizeof colors[0])];
}

void DrawDirectionalVariogramChart(DrawingContext& dc, Document& doc, const LogicalRect& layout) {
  if (!doc.directionalVariograms || layout.left == layout.right || layout.top == layout.bottom) return;
  const DirectionalVariograms& result = *doc.directionalVariograms;
  double hMax = 0.0, gMax = 0.0;
  for (const DirectionalVariogram& v : result.directions)
    for (const DirectionalClass& c : v.classes) {
      if (std::isfinite(c.distance)) hMax = std::max(hMax, c.distance);
      if (std::isfinite(c.gamma)) gMax = std::max(gMax, c.gamma);
    }
  const ChartFrame frame = SetUpFrame(dc, doc, layout, 0.0, Extent(hMax) * 1.05, 0.0, Extent(gMax) * 1.1);

  const Pen oldPen = dc.SelectPen(Pen{PenStyle::Solid, 1, Rgb(0, 0, 0)});
  const Brush oldBrush = dc.SelectBrush(Brush{false, Rgb(255, 255, 255)});
  const Color oldText = dc.SetTextColor(Rgb(0, 0, 0));
  for (std::size_t d = 0; d < result.directions.size(); ++d) {
    const DirectionalVariogram& v = result.directions[d];
    const Color color = DirectionColor(static_cast<int>(d));
    dc.SelectPen(Pen{PenStyle::Solid, 5, color});
    bool first = true;
    for (const DirectionalClass& c : v.classes) {
      if (!std::isfinite(c.distance) || !std::isfinite(c.gamma)) continue;
      const LogicalPoint p = frame.At(c.distance, c.gamma);
      if (first)
        dc.MoveTo(p.x, p.y);
      else
        dc.LineTo(p.x, p.y);
      first = false;
    }
    dc.SelectBrush(Brush{false, color});
    for (const DirectionalClass& c : v.classes) {
      if (!std::isfinite(c.distance) || !std::isfinite(c.gamma)) continue;
      const LogicalPoint p = frame.At(c.distance, c.gamma);
      dc.Ellipse(LogicalRect{p.x - kClassRadius, p.y + kClassRadius, p.x + kClassRadius, p.y - kClassRadius});
    }
    // The legend, top right inside the axes: a stretch of the series' line and its angle.
    const LogicalPoint corner = frame.At(frame.axes.xEnd, frame.axes.yEnd);
    const int y = corner.y - kLegendRow * (static_cast<int>(d) + 1);
    const int x = corner.x - 2 * kLegendLine;
    dc.MoveTo(x, y);
    dc.LineTo(x + kLegendLine / 2, y);
    dc.TextOut(x + kLegendLine / 2 + 40, y + kLegendRow / 2, fmt::format("{:g} deg", v.angleDegrees));
  }
  dc.SetTextColor(oldText);
  dc.SelectBrush(oldBrush);
  dc.SelectPen(oldPen);
}

void DrawVariogramMapChart(DrawingContext& dc, Document& doc, const LogicalRect& layout) {
  if (!doc.variogramMap || layout.left == layout.right || layout.top == layout.bottom) return;
  const VariogramMap& map = *doc.variogramMap;
  if (map.cells < 1 || map.gamma.empty()) return;
  const double reach = (map.cells + 0.5) * map.lag;
  double gMax = 0.0;
  for (std::size_t c = 0; c < map.gamma.size(); ++c)
    if (map.pairs[c] > 0 && std::isfinite(map.gamma[c])) gMax = std::max(gMax, map.gamma[c]);
  gMax = Extent(gMax);
  const ChartFrame frame = SetUpFrame(dc, doc, layout, -reach, reach, -reach, reach);

  const Pen oldPen = dc.SelectPen(Pen{PenStyle::Null, 0, 0});
  const Brush oldBrush = dc.SelectBrush(Brush{false, Rgb(255, 255, 255)});
  for (int j = -map.cells; j <= map.cells; ++j)
    for (int i = -map.cells; i <= map.cells; ++i) {
      const std::size_t c = map.Index(i, j);
      if (map.pairs[c] == 0 || !std::isfinite(map.gamma[c])) continue;
      const LogicalPoint a = frame.At((i - 0.5) * map.lag, (j + 0.5) * map.lag);
      const LogicalPoint b = frame.At((i + 0.5) * map.lag, (j - 0.5) * map.lag);
      const Brush brush{false, Ramp(map.gamma[c] / gMax)};
      dc.FillRect(LogicalRect{a.x, a.y, b.x, b.y}, &brush);
    }
  // The colour scale right of the map: ten bands from 0 to the largest cell.
  const LogicalPoint corner = frame.At(reach, reach);
  const LogicalPoint bottom = frame.At(reach, -reach);
  const int x = corner.x + 150, step = (corner.y - bottom.y) / 10;
  const Color oldText = dc.SetTextColor(Rgb(0, 0, 0));
  for (int k = 0; k < 10; ++k) {
    const Brush brush{false, Ramp((k + 0.5) / 10.0)};
    const int y0 = bottom.y + k * step;
    dc.FillRect(LogicalRect{x, y0 + step, x + 150, y0}, &brush);
    dc.TextOut(x + 200, y0 + 40, fmt::format("{:.4g}", gMax * k / 10.0));
  }
  dc.TextOut(x + 200, bottom.y + 10 * step + 40, fmt::format("{:.4g}", gMax));
  dc.SetTextColor(oldText);
  dc.SelectBrush(oldBrush);
  dc.SelectPen(oldPen);
}

}  // namespace gridora
