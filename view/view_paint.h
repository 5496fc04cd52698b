#pragma once
// The view's paint entry: the status line, then the document. Painting, printing,
// preview, copy and the batch render all come through here.
#include "platform/drawing_context.h"

namespace gridora {

class Document;

// clientDevice: the view's client rectangle in device units. Returns the layout
// rectangle (the client rectangle in logical units) that the document was drawn into.
LogicalRect PaintView(DrawingContext& dc, Document& doc, const LogicalRect& clientDevice);

// The document's Draw: the variogram chart while chartMode is Variogram, else the map.
void DrawDocument(DrawingContext& dc, Document& doc, const LogicalRect& layout);

}  // namespace gridora
