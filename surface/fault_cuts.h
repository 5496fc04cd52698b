#pragma once
// Faults in the minimum-curvature functional: which of its terms couple nodes on
// opposite sides of a fault line, so that the assembly leaves them out.
//
// A term couples the nodes it reads: a first difference two neighbours, a second
// difference three nodes in a row, the twist the four corners of a cell, a data term the
// four corners of the cell around its point. The term is left out when a fault crosses
// the segment between two of its nodes (for a cell: an edge or a diagonal). The surface
// then bends freely at the fault, and each side is shaped by its own data only; a data
// point in a cell that a fault cuts keeps the corners on its own side (its bilinear
// weights on them, rescaled to sum to 1).
//
// Crossing is decided in node-index space, where the nodes are whole numbers (the test is
// the same in map units: an affine map keeps which side of a line a point is on). Two
// segments cross when each has its ends on opposite sides of the other's line; an end
// exactly on the other's line counts as lying on its left. So a fault through a node
// puts the node on one definite side, and a fault whose vertex lies on a node segment
// crosses it once, never twice or not at all, which would let the surface leak through.
#include <cstdint>
#include <vector>

#include "document/polyline.h"

namespace gridora {

class FaultCuts {
 public:
  // The cuts of an NX x NY grid whose node (i, j), 1-based, lies at ((i-1)*DX, (j-1)*DY),
  // by `faults` in the same frame (map coordinates less the grid's origin). Vertices that
  // are not finite numbers end a line's run of segments. Throws std::bad_alloc.
  FaultCuts(int nx, int ny, double DX, double DY, const std::vector<Polyline>& faults);

  // True when no fault crosses any term of the grid.
  bool Empty() const { return cellSegments_.empty(); }

  // Between (i, j) and (i+1, j).
  bool CutX(int i, int j) const { return (Flags(i, j) & kCutX) != 0; }
  // Between (i, j) and (i, j+1).
  bool CutY(int i, int j) const { return (Flags(i, j) & kCutY) != 0; }
  // Any two corners of the cell (i, j)..(i+1, j+1).
  bool CutCell(int i, int j) const { return (Flags(i, j) & kCutCell) != 0; }
  // The diagonals of the cell (i, j): from (i, j) to (i+1, j+1), and from (i, j+1) to
  // (i+1, j).
  bool CutRising(int i, int j) const { return (Flags(i, j) & kCutRising) != 0; }
  bool CutFalling(int i, int j) const { return (Flags(i, j) & kCutFalling) != 0; }
  // Nodes (i, j) and (k, l), at most one step apart along each axis, lie on one side.
  bool Linked(int i, int j, int k, int l) const;
  // A fault reaches into the cell (i, j): its data terms need ReachedCorners.
  bool Touched(int i, int j) const { return (Flags(i, j) & kTouched) != 0; }

  // The corners of cell (i, j) that the point (x, y) (map units, the grid's frame) reaches
  // without crossing a fault: bit 0 (i, j), bit 1 (i, j+1), bit 2 (i+1, j), bit 3
  // (i+1, j+1), the order of the data term's coefficients.
  unsigned ReachedCorners(int i, int j, double x, double y) const;

 private:
  static constexpr std::uint8_t kCutX = 1, kCutY = 2, kCutCell = 4, kTouched = 8, kCutRising = 16, kCutFalling = 32;
  struct Segment {
    double ax, ay, bx, by;  // node-index units
  };
  std::uint8_t Flags(int i, int j) const {
    return flags_[static_cast<std::size_t>(i - 1) * static_cast<std::size_t>(ny_) + static_cast<std::size_t>(j - 1)];
  }
  void Cut(const Segment& segment, int index);

  int nx_, ny_;
  double dx_, dy_;
  std::vector<Segment> segments_;
  std::vector<std::uint8_t> flags_;  // one a node, column by column
  // (cell index, segment index) for every cell a segment reaches into, sorted.
  std::vector<std::pair<std::int64_t, int>> cellSegments_;
};

// The data term's coefficients c (bilinear weights on the corners of cell (i, j), in the
// order of ReachedCorners) for a point at (x, y): those of corners across a fault set to
// 0 and the rest rescaled to sum to 1. False when the point reaches no corner with
// weight: it is left out.
bool KeepOneSide(const FaultCuts& cuts, int i, int j, double x, double y, float (&c)[4]);
bool KeepOneSide(const FaultCuts& cuts, int i, int j, double x, double y, double (&c)[4]);

}  // namespace gridora
