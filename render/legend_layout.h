#pragma once
// Where the colour legend's boxes and texts go. Right of the map, bottom to top, the
// boxes share the map's height, each labelled with its upper level when there is room;
// that is the whole legend while it has no title and fits the view. With a title or
// units, or when it would run off the view, it is laid out to fit: the title wraps
// (and is cut short with "..." past four lines, the units included), the units follow it in brackets, the
// boxes share what is left of the height, labels are thinned so they never overlap,
// the column moves left onto a white panel over the map when it would pass the view's
// right edge, and the texts shrink when the view is narrower than the column.
// Logical units (0.1 mm), Y up; a text's (x, y) is its top-left corner.
#include <string>
#include <vector>

#include "platform/drawing_context.h"

namespace gridora {

struct LegendText {
  int x = 0, y = 0;
  int height = 35;
  std::string text;
};

struct LegendInput {
  // label[i] is the text of box i's upper edge (the last box is never labelled).
  std::vector<std::string> labels;
  // The height is cut into this many rows while the legend keeps its plain layout (the
  // user's level count; at least 1).
  int rows = 1;
  std::string title, units;
  int left = 0;    // the boxes' left edge
  int bottom = 0;  // the map's bottom edge
  int height = 0;  // the map's height
  // The view, when the legend is to fit it: left < right, bottom < top.
  bool hasView = false;
  int viewLeft = 0, viewRight = 0, viewBottom = 0, viewTop = 0;
};

struct LegendLayout {
  std::vector<LogicalRect> boxes;  // box i: {left, lower y, right, upper y}
  std::vector<LegendText> labels;  // one per box; empty text: not labelled
  std::vector<LegendText> titles;  // the title's lines, then the units
  bool panel = false;              // a white panel behind the legend (it covers the map)
  LogicalRect panelRect{};
  bool fitted = false;  // laid out to fit rather than as the plain legend
  int right = 0;        // the boxes' right edge + 100 (what the map's drawing reports)
};

// The width a text of `height` takes, estimated at 0.6 height a character (Arial's
// widest digits and capitals stay inside it).
int EstimatedTextWidth(const std::string& text, int height);

// Breaks `text` at spaces into lines of at most `maxWidth` at `height` (a word longer
// than a line is cut), at most `maxLines` of them: the last then ends in "...".
std::vector<std::string> WrapText(const std::string& text, int height, int maxWidth, int maxLines);

LegendLayout LayOutLegend(const LegendInput& input);

}  // namespace gridora
