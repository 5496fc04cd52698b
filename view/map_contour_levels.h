#pragma once
// The levels of the map's contour lines: where its colour bands meet. They follow the
// colour scale (the user's levels or the default ones) and, with the log scale on,
// are levels of log10 of the values.
#include <vector>

namespace gridora {

class Document;

struct MapContourLevels {
  std::vector<double> levels;  // ascending
  bool logValues = false;
};

// Sets up the colour scale as a drawing would, then takes its inner levels: the lowest
// level opens the first band and the top one is open-ended, so neither is a line. The
// user's levels (of the layer shown) are all lines, their Minimum and Maximum included.
MapContourLevels CurrentContourLevels(Document& doc);

}  // namespace gridora
