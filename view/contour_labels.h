#pragma once
// Contour labels: each level's value written along its lines on the map, upright, at a
// readable spacing, inside the frame and never over another label. The lines are the
// map's own: traced at the colour scale's levels on the shown layer, hidden nodes left
// out. Drawn through the drawing context, so screen, print and exports agree.
#include <string>
#include <vector>

#include "document/convex_hull.h"
#include "platform/drawing_context.h"

namespace gridora {

class Document;

// The label text of a level ("%g").
std::string ContourLabelText(double level);

// A label placed on the map: its text, where its top-left corner goes and its angle.
struct PlacedLabel {
  std::string text;
  LogicalPoint topLeft;
  int escapement = 0;  // tenths of a degree, anticlockwise
};

// Labels for polylines given in logical units, each with its text; `frame` bounds them.
// Spacing and height are logical units.
std::vector<PlacedLabel> PlaceContourLabels(const std::vector<std::vector<PlanePoint>>& lines,
                                            const std::vector<std::string>& texts, const LogicalRect& frame, int height,
                                            double spacing);

// Draws the labels of the current map when the grid's contour labels are on.
void DrawContourLabels(DrawingContext& dc, Document& doc);

}  // namespace gridora
