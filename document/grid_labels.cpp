#include "document/grid_labels.h"

#include "document/grid_model.h"

namespace gridora {

void DropLabelsIfShapeChanged(GridModel& grid, int oldNX, int oldNY) {
  if (grid.NX == oldNX && grid.NY == oldNY) return;
  grid.xLabelsOn = grid.yLabelsOn = 0;
  grid.xLabels.clear();
  grid.yLabels.clear();
}

}  // namespace gridora
