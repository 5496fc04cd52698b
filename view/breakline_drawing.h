#pragma once
// The faults of minimum curvature on the map: each line in the map's coordinates, cut
// to the display window, as a thick dark red line over the map body.
#include "platform/drawing_context.h"

namespace gridora {

class Document;

// Draws doc.breaklines in the frame that DrawFrameAndAxes drew (logical units, the
// frame's top-left corner at (marginLeft, -marginTop)). Draws nothing without lines.
void DrawBreaklines(DrawingContext& dc, Document& doc, float scaleX, float scaleY);

}  // namespace gridora
