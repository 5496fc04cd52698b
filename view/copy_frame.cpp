#include "view/copy_frame.h"

#include "view/document.h"

namespace gridora {

CopyFrame BeginCopy(Document& doc) {
  doc.legendRight += 100;
  doc.mapBottom += 200;
  CopyFrame frame;
  frame.width = doc.legendRight;
  frame.height = doc.mapBottom;
  frame.layout = {0, 0, doc.legendRight * 10, doc.mapBottom * 10};
  return frame;
}

void EndCopy(Document& doc) {
  doc.legendRight = 0;
  doc.mapBottom = 0;
}

}  // namespace gridora
