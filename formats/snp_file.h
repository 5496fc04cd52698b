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
//   trailer       "KOPT", byte count, then that many bytes of text (the kriging options);
//                 written only when there is a text
//   empty nodes   "KEMP", then a byte a node (1: no estimate); written only when a node
//                 has none
//   exact values  "KDBL", byte count, then x0, y0, DX, DY and x y z per point as
//                 little-endian doubles: the values the 4-byte fields above hold rounded
//                 to single precision. Written only when one of them is not exact there;
//                 last of the older parts, so that readers that stop before it read
//                 the rest as always.
//   point labels  "KLBL", byte count, then per point its label's byte count and its
//                 UTF-8 bytes. Written only when the points have labels; after every
//                 other part, so older readers stop before it and read the file as
//                 always.
#include <iosfwd>
#include <string>

#include "document/grid_model.h"
#include "document/random_data.h"

namespace gridora {

// Titles hold at most this many UTF-16 code units; longer ones are cut.
inline constexpr int kSnpTitleCharacters = 63;

// Writes the grid and the points as they stand: the single-precision fields rounded, and
// the exact values in their own part when rounding lost anything. False when the stream
// fails.
bool WriteSnp(const GridModel& grid, std::ostream& out, const RandomData& points, const std::string& trailer = {});

// What reading a document file found besides the grid and the points. `header` is the
// line "%d %f %f %d %d" (layer count as stored, DX, DY, NX, NY) once the header was
// read, shown to the user before anything else, also when the file is then refused.
struct SnpReadResult {
  int layers = 0;  // the layer count read
  std::string header;
  std::string trailer;  // the trailing text part, empty when the file has none
  // What is damaged in the tagged parts (left out), for a message; empty when nothing.
  std::string damage;
};

// Reads a document file into the grid and the points. The optional parts that the file
// does not hold keep their earlier values; the points' ranges are left as they are. The
// exact values' part is taken only when it is whole, finite and agrees with the
// single-precision fields (each double rounds to the float the file holds); otherwise
// the file reads as one without it. A
// file whose counts are impossible or that ends inside its header, values or points is
// refused: false, `problem` says what is wrong (naming `name`), and grid and points are
// unchanged. Text labels of an earlier import stay only while NX and NY do. The points'
// labels come from their part; a file without it gives points without labels, and a
// damaged one is left out and named in `result.damage`.
bool ReadSnp(GridModel& grid, std::istream& in, RandomData& points, const std::string& name, SnpReadResult& result,
             std::string& problem);

// True when the stream, from its current position, holds a document file's header,
// values and point count that fit its length: what a saved document always does and a
// text table never can (its layer and node counts would have zero bytes). The position
// is put back.
bool HasSnpLayout(std::istream& in);

}  // namespace gridora
