#pragma once
// Text labels name the columns and rows of the shape they were read for: a grid that
// takes another shape loses them. The one place for that rule, used wherever a grid
// gets a new shape (reshaping, reading a document, handing over a computed grid).
namespace gridora {

struct GridModel;

// Call after `grid` took its new shape: drops the labels (and their switches) when NX or
// NY differ from the shape it had before.
void DropLabelsIfShapeChanged(GridModel& grid, int oldNX, int oldNY);

}  // namespace gridora
