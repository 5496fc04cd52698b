#include "render/view_paint.h"

namespace gridora {

void DrawDocument(DrawingContext& /*dc*/, CGridoraDoc& /*doc*/, const LogicalRect& /*layout*/) {}

}  // namespace gridora
