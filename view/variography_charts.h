#pragma once
// The charts of the variography commands: the experimental variograms by direction (one
// series of class averages, joined, per direction, with a legend of the directions) and
// the variogram map (the cells coloured by their variogram, with the colour scale).
// Both on the axes of the variogram chart.
#include "platform/drawing_context.h"

namespace gridora {

class Document;

// Draw nothing without their results or with an empty layout rectangle.
void DrawDirectionalVariogramChart(DrawingContext& dc, Document& doc, const LogicalRect& layout);
void DrawVariogramMapChart(DrawingContext& dc, Document& doc, const LogicalRect& layout);

// The colour of series k of the directional chart.
Color DirectionColor(int k);

}  // namespace gridora
