#pragma once
// The document file: a flat little-endian stream of 4-byte words (32-bit integers and
// single-precision floats) holding the grid, its map settings and the primary points.
//
//   header        layerCount (negative: rows stored reversed), reserved, NY, NX, DX, DY,
//                 three reserved words
//   values        per layer, per ix, the NY floats of the row
//   points        count, then x y z floats per point
//   the rest is optional, each part read only when the file still holds it:
//   origin        x0, xLastDrawn, y0, xLastDrawn
//   window        xStart xEnd xInterval xTickCount yStart yEnd yInterval yTickCount
//   levels        count, then level, red, green, blue per level
//   map           scaleX, scaleY, reverseColors, showRandomData, xTitle and yTitle
//                 (128 bytes each: UTF-16LE ended by a 0 character)
//   distances     reserved, hideFarNodes, maxDistance, then NX rows of NY distances
#include <iosfwd>
#include <string>

#include "document/grid_model.h"
#include "document/random_data.h"

namespace gridora {

class UserInterface;

// Titles hold at most this many UTF-16 code units; longer ones are cut.
inline constexpr int kSnpTitleCharacters = 63;

// Writes the grid and the points as they stand (points rounded to float). False when
// the stream fails.
bool WriteSnp(const GridModel& grid, std::ostream& out, const RandomData& points);

// Reads a document file into the grid and the points: shows the header message
// "%d %f %f %d %d" (layer count as stored, DX, DY, NX, NY), then reads the rest and
// returns the layer count. The optional parts that the file does not hold keep their
// earlier values; the points' ranges are left as they are. A file whose counts are
// impossible or that ends inside its header, values or points is refused: the result
// is -1, the user is told what is wrong (naming `name`), and grid and points are
// unchanged. Text labels of an earlier import stay only while NX and NY do.
int ReadSnp(GridModel& grid, std::istream& in, RandomData& points, UserInterface& ui, const std::string& name);

}  // namespace gridora
