#pragma once
// The variogram chart the view shows instead of the map while chartMode is 1.
#include "platform/drawing_context.h"

namespace gridora {

class CGridoraDoc;

void DrawVariogramChart(DrawingContext& dc, CGridoraDoc& doc, const LogicalRect& layout);

}  // namespace gridora
