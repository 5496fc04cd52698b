#pragma once
// The chart the view shows after "Cross-validation": each point's estimate against its
// observed value, with the 1:1 line on which a perfect prediction would lie. Drawn on the
// axes of the variogram chart.
#include "platform/drawing_context.h"

namespace gridora {

class Document;

// Draws nothing without a cross-validation of the current kriging state or with an
// empty layout rectangle.
void DrawCrossValidationChart(DrawingContext& dc, Document& doc, const LogicalRect& layout);

}  // namespace gridora
