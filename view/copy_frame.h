#pragma once
// "Copy": the drawing goes to the clipboard inside a frame from the page origin to the
// right end of the legend and the bottom of the map, with some room around them.
#include "platform/drawing_context.h"

namespace gridora {

class Document;

struct CopyFrame {
  int width = 0, height = 0;  // logical units (0.1 mm)
  LogicalRect layout;         // the layout rectangle the copy is drawn with
};

// Widens legendRight by 100 and mapBottom by 200 and returns the frame they make.
// The layout rectangle is that frame in 0.01 mm, as the recording device measures it.
CopyFrame BeginCopy(Document& doc);
// legendRight and mapBottom go back to 0 until the view is drawn again; a second copy
// without a repaint therefore gets a frame of 100 x 200 units.
void EndCopy(Document& doc);

}  // namespace gridora
