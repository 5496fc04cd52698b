#pragma once
// One state of what a user changes in a document and can take back: the grid with its
// settings, the point sets, the document's contour levels, layer and variable choice and
// the kriging options. What only the drawing sets (the scales, the drawn window and its
// ticks while the axes are not fixed) is left out, so painting never counts as a change.
//
// The large parts (node values, distances to the data, blanked nodes, the points) are
// immutable blocks held by shared pointers: a snapshot taken while a block is unchanged
// from one of the snapshots it is compared with shares that block instead of copying it,
// so a grid that many steps leave alone is kept once.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "document/grid_model.h"
#include "document/random_data.h"
#include "geostat/kriging_options.h"

namespace gridora {

class Document;

struct PointBlock {
  std::vector<DataPoint> points;
  std::vector<std::string> labels;  // empty: the set has none
  double xMinimum = 0.0, xMaximum = 0.0;
  double yMinimum = 0.0, yMaximum = 0.0;
  double zMinimum = 0.0, zMaximum = 0.0;
};

struct DocumentSnapshot {
  // The grid's fields without its large vectors; null when the document has no grid.
  std::shared_ptr<const GridModel> settings;
  std::shared_ptr<const std::vector<float>> values;
  std::shared_ptr<const std::vector<float>> distances;
  std::shared_ptr<const std::vector<std::uint8_t>> emptyNodes;
  std::shared_ptr<const PointBlock> primary;
  std::shared_ptr<const PointBlock> secondary;  // null: the document has no secondary set
  float contourInterval = 0.0f, contourMinimum = 0.0f, contourMaximum = 0.0f;
  int logScale = 0;
  int variableSelection = 0;
  int showStandardError = 0;
  int layerIndex = 0;
  std::optional<KrigingOptions> krigingOptions;
};

// The document's state now. A large block equal (byte for byte) to the same block of
// one of `shareWith` is taken from there rather than copied. Throws std::bad_alloc.
DocumentSnapshot TakeSnapshot(Document& doc, const std::vector<const DocumentSnapshot*>& shareWith);

// Whether two snapshots hold the same state. Blocks compare by identity: call it on
// snapshots taken with each other in `shareWith`.
bool SameState(const DocumentSnapshot& a, const DocumentSnapshot& b);

// Puts the state back into the document; the drawing's own fields stay as they are.
// Builds the new grid and points before touching the document. Throws std::bad_alloc.
void RestoreSnapshot(Document& doc, const DocumentSnapshot& snapshot);

// Bytes of the large blocks of the snapshots, each block counted once however many
// snapshots share it.
std::size_t SharedBytes(const std::vector<const DocumentSnapshot*>& snapshots);

}  // namespace gridora
