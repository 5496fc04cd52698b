#include "view/variogram_chart.h"

#include <cmath>
#include <cstdlib>

#include "geostat/kriging_state.h"
#include "geostat/variogram_fit.h"
#include "render/chart_axes.h"
#include "render/drawing_parameter.h"
#include "render/map_text.h"
#include "view/document.h"

namespace gridora {
namespace {

constexpr int kCloudRadius = 5;
constexpr int kClassRadius = 15;
constexpr int kCurveSteps = 500;

// The axis extent for a largest value v: v itself, or 1 when v is 0 (one position, or
// equal values) or not a number, so that the scale stays finite and the axes still draw.
double Extent(double v) { return v > 0.0 && std::isfinite(v) ? v : 1.0; }

void Circle(DrawingContext& dc, LogicalPoint centre, int radius) {
  dc.Ellipse(LogicalRect{centre.x - radius, centre.y + radius, centre.x + radius, centre.y - radius});
}

// The chart's lags are reduced distances: the model along them is isotropic. The cross
// model has no nugget.
CovarianceModel IsotropicModel(const VariogramModel& model) {
  CovarianceModel m = model.Model();
  m.ratio = 1.0;
  if (model.pairMode == 1) m.nugget = 0.0;
  return m;
}

}  // namespace

const VariogramModel* ChartModel(const Document& doc) {
  if (!doc.krigingState) return nullptr;
  const KrigingState& state = *doc.krigingState;
  switch (doc.variableSelection) {
    case 1: return state.secondary.get();
    case 2: return state.cross.get();
    default: return state.primary.get();
  }
}

int CloudStride(std::size_t count) {
  if (count <= 10000) return 1;
  if (count <= 100000) return 2;
  if (count <= 1000000) return 4;
  if (count <= 10000000) return 8;
  return 16;
}

void DrawVariogramChart(DrawingContext& dc, Document& doc, const LogicalRect& layout) {
  const VariogramModel* model = ChartModel(doc);
  if (!model || layout.left == layout.right || layout.top == layout.bottom) return;
  const DrawingParameters& parameter = *doc.chartParameter;
  ChartAxes& axes = *doc.chartAxes;

  const double hExtent = Extent(model->cloudMaximumDistance);
  const double gExtent = Extent(model->cloudMaximumDissimilarity);
  axes.xStart = 0.0f;
  axes.yStart = 0.0f;
  axes.xEnd = static_cast<float>(hExtent);
  axes.yEnd = static_cast<float>(gExtent);
  const int width = static_cast<int>(std::abs(layout.right - layout.left) * parameter.areaFraction);
  const int height = static_cast<int>(std::abs(layout.top - layout.bottom) * parameter.areaFraction);
  axes.xScale = static_cast<float>((width - parameter.marginRight - parameter.marginLeft) / hExtent);
  axes.yScale = static_cast<float>((height - parameter.marginBottom - parameter.marginTop) / gExtent);

  ChooseIntervals(axes);
  SetupTicks(axes, doc.profile());
  DrawChartAxes(dc, parameter, axes);

  const int left = parameter.offsetX + parameter.marginLeft;
  const int top = parameter.offsetY + 2 * axes.yExtraOffset + parameter.marginTop;
  auto at = [&](double h, double g) {
    return LogicalPoint{static_cast<int>(std::trunc((h - axes.xStart) * axes.xScale)) + left,
                        -(static_cast<int>(std::trunc((axes.yEnd - g) * axes.yScale)) + top)};
  };

  const Pen oldPen = dc.SelectPen(Pen{PenStyle::Solid, 1, Rgb(100, 100, 100)});
  const Brush oldBrush = dc.SelectBrush(Brush{false, Rgb(150, 150, 150)});
  const std::size_t stride = static_cast<std::size_t>(CloudStride(model->cloudCount));
  const std::size_t drawn = model->cloudCount / stride;
  for (std::size_t k = 0; k < drawn; ++k)
    Circle(dc, at(model->cloudDistance[k * stride], model->cloudDissimilarity[k * stride]), kCloudRadius);

  dc.SelectPen(Pen{PenStyle::Solid, 1, Rgb(0, 0, 0)});
  dc.SelectBrush(Brush{false, Rgb(100, 100, 100)});
  for (int i = 0; i < model->classCount; ++i) Circle(dc, at(model->classLag[i], model->classGamma[i]), kClassRadius);

  dc.SelectPen(Pen{PenStyle::Solid, 5, Rgb(255, 0, 0)});
  if (model->a > 0.0 && std::isfinite(model->a) && std::isfinite(model->c)) {
    const LogicalPoint origin = at(0.0, 0.0);
    dc.MoveTo(origin.x, origin.y);
    for (int i = 0; i < kCurveSteps; ++i) {
      const double h = i * static_cast<double>(axes.xEnd) / kCurveSteps;
      const double g = model->options.PlainExponential() ? ExponentialVariogram(h, model->a, model->c)
                                                         : IsotropicModel(*model).Variogram(h, 0.0);
      const LogicalPoint p = at(h, g);
      dc.LineTo(p.x, p.y);
    }
  }
  dc.SelectBrush(oldBrush);
  dc.SelectPen(oldPen);

  // With a drift the primary cloud and fit are those of the drift's residuals
  // (the Variogram command fits them so): the title says it. Without one the chart
  // has no title, as it always had.
  if (doc.krigingState->drift && model == doc.krigingState->primary.get()) {
    const Font oldFont = dc.SelectFont(MapFont(kChartTextHeight));
    dc.TextOut(left, -(parameter.offsetY + parameter.marginTop) + 60, std::string(kResidualsTitle));
    dc.SelectFont(oldFont);
  }
}

}  // namespace gridora
