#include "document/gridora_doc.h"
#include "render/contour_map.h"
#include "render/variogram_chart.h"
#include "render/view_paint.h"

namespace gridora {

void DrawDocument(DrawingContext& dc, CGridoraDoc& doc, const LogicalRect& layout) {
  if (doc.chartMode == 1)
    DrawVariogramChart(dc, doc, layout);
  else
    DrawMap(dc, doc, layout);
}

}  // namespace gridora
