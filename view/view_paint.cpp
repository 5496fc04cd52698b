#include "view/view_paint.h"

#include <fmt/printf.h>

#include "view/document.h"

namespace gridora {

LogicalRect PaintView(DrawingContext& dc, Document& doc, const LogicalRect& clientDevice) {
  const GridModel& grid = *doc.grid;
  const int points = doc.primaryData ? doc.primaryData->count : 0;
  dc.TextOut(10, -10, fmt::sprintf("N=%d NX=%d NZ=%d Data=%d  ", grid.layerCount, grid.NX, grid.NY, points));
  const LogicalRect layout = dc.DeviceToLogical(clientDevice);
  if ((grid.NX > 1 && grid.NY > 1) || points >= 1 || doc.krigingState) DrawDocument(dc, doc, layout);
  return layout;
}

}  // namespace gridora
