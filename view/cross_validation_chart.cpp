#include "view/cross_validation_chart.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "geostat/cross_validation.h"
#include "geostat/kriging_state.h"
#include "render/chart_axes.h"
#include "render/drawing_parameter.h"
#include "view/document.h"

namespace gridora {
namespace {

constexpr int kPointRadius = 12;

}  // namespace

void DrawCrossValidationChart(DrawingContext& dc, Document& doc, const LogicalRect& layout) {
  if (!doc.krigingState || !doc.krigingState->crossValidation) return;
  const CrossValidation& cv = *doc.krigingState->crossValidation;
  if (cv.points.empty() || layout.left == layout.right || layout.top == layout.bottom) return;
  const DrawingParameters& parameter = *doc.chartParameter;
  ChartAxes& axes = *doc.chartAxes;

  // One range for both axes, so that the 1:1 line is the diagonal.
  double low = HUGE_VAL, high = -HUGE_VAL;
  for (const CrossValidationPoint& p : cv.points) {
    low = std::min({low, p.observed, p.estimate});
    high = std::max({high, p.observed, p.estimate});
  }
  if (!std::isfinite(low) || !std::isfinite(high)) return;
  if (!(high > low)) high = low + 1.0;
  axes.xStart = axes.yStart = static_cast<float>(low);
  axes.xEnd = axes.yEnd = static_cast<float>(high);
  const int width = static_cast<int>(std::abs(layout.right - layout.left) * parameter.areaFraction);
  const int height = static_cast<int>(std::abs(layout.top - layout.bottom) * parameter.areaFraction);
  axes.xScale = static_cast<float>((width - parameter.marginRight - parameter.marginLeft) / (high - low));
  axes.yScale = static_cast<float>((height - parameter.marginBottom - parameter.marginTop) / (high - low));

  ChooseIntervals(axes);
  SetupTicks(axes, doc.profile());
  DrawChartAxes(dc, parameter, axes);

  const int left = parameter.offsetX + parameter.marginLeft;
  const int top = parameter.offsetY + 2 * axes.yExtraOffset + parameter.marginTop;
  auto at = [&](double observed, double estimate) {
    return LogicalPoint{static_cast<int>(std::trunc((observed - axes.xStart) * axes.xScale)) + left,
                        -(static_cast<int>(std::trunc((axes.yEnd - estimate) * axes.yScale)) + top)};
  };

  const Pen oldPen = dc.SelectPen(Pen{PenStyle::Solid, 1, Rgb(0, 0, 0)});
  const Brush oldBrush = dc.SelectBrush(Brush{false, Rgb(100, 100, 100)});
  for (const CrossValidationPoint& p : cv.points) {
    const LogicalPoint c = at(p.observed, p.estimate);
    dc.Ellipse(LogicalRect{c.x - kPointRadius, c.y + kPointRadius, c.x + kPointRadius, c.y - kPointRadius});
  }
  dc.SelectPen(Pen{PenStyle::Solid, 5, Rgb(255, 0, 0)});
  const LogicalPoint from = at(low, low), to = at(high, high);
  dc.MoveTo(from.x, from.y);
  dc.LineTo(to.x, to.y);
  dc.SelectBrush(oldBrush);
  dc.SelectPen(oldPen);
}

}  // namespace gridora
