#include "render/variogram_chart.h"

namespace gridora {

// Draws nothing until the variogram chart is written.
void DrawVariogramChart(DrawingContext& /*dc*/, CGridoraDoc& /*doc*/, const LogicalRect& /*layout*/) {}

}  // namespace gridora
