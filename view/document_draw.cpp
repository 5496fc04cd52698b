#include "view/contour_map.h"
#include "view/cross_validation_chart.h"
#include "view/document.h"
#include "view/variogram_chart.h"
#include "view/variography_charts.h"
#include "view/view_paint.h"

namespace gridora {

void DrawDocument(DrawingContext& dc, Document& doc, const LogicalRect& layout) {
  if (doc.chartMode == ChartMode::Variogram)
    DrawVariogramChart(dc, doc, layout);
  else if (doc.chartMode == ChartMode::CrossValidation)
    DrawCrossValidationChart(dc, doc, layout);
  else if (doc.chartMode == ChartMode::Directional)
    DrawDirectionalVariogramChart(dc, doc, layout);
  else if (doc.chartMode == ChartMode::VariogramMap)
    DrawVariogramMapChart(dc, doc, layout);
  else
    DrawMap(dc, doc, layout);
}

}  // namespace gridora
