#pragma once
// The regular grid and the map settings that belong to it. Values are stored layer by
// layer, node column by node column, with the NY values of one column contiguous:
// values[layer][ix][iy]. Node (ix, iy) lies at (x0 + ix*DX, y0 + iy*DY); origin and
// spacing are double, so projected coordinates keep every digit they were given.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "document/contour_levels.h"
#include "document/convex_hull.h"
#include "document/node_layout.h"

namespace gridora {

class Profile;
struct RandomData;

struct GridModel {
  int nxInWindow = -1, nyInWindow = -1;
  ContourLevels contourLevels;  // the one entry of the per-layer list (layer 0)
  int layerCount = 0;
  int reserved0 = 0;
  int NY = 0;
  int NX = 0;
  double DX = 1.0;
  double DY = 1.0;
  int reserved1 = 0, reserved2 = 0, reserved3 = 0;

  std::vector<float> values;        // layerCount * NX * NY
  std::vector<float> dataDistance;  // NX * NY
  std::vector<float> layerMinimum;  // layerCount
  std::vector<float> layerMaximum;  // layerCount

  float scaleX = 1.0f;
  float scaleY = 1.0f;
  double x0 = 0.0;
  double y0 = 0.0;
  float xLastDrawn = 0.0f, yLastDrawn = 0.0f;
  int reserved4 = 0;
  int userLevels = 0;
  int axisFixed = 0;
  int reverseColors = 0;
  int showRandomData = 1;
  int hideFarNodes = 0;
  float maxDistance = 10000000.0f;
  float xStart = 0.0f, xEnd = 0.0f, xInterval = 0.0f;
  float yStart = 0.0f, yEnd = 0.0f, yInterval = 0.0f;
  int xTickCount = 0, yTickCount = 0;
  std::string xTitle = "X";
  std::string yTitle = "Y";
  int xLabelsOn = 0, yLabelsOn = 0;
  std::vector<std::string> xLabels;
  std::vector<std::string> yLabels;
  int mapColorMode = 0;

  // Blanking beyond the data's convex hull, enlarged by hullDistance; the hull is taken
  // from the primary points when blanking is switched on. Not kept in the document file.
  int blankOutsideHull = 0;
  float hullDistance = 0.0f;
  std::vector<PlanePoint> dataHull;
  // Nodes a local kriging left without an estimate (1), column by column; empty when
  // every node has one. Kept in the document file's "KEMP" part.
  std::vector<std::uint8_t> emptyNodes;
  // The contour levels' values written along their lines on the map.
  int contourLabels = 0;
  // The standard error's own levels (layer 1), set while it is shown; until the user sets
  // some, it is drawn with default levels over its own range. Not kept in the file.
  ContourLevels errorLevels;
  int errorUserLevels = 0;

  // Where the nodes lie: origin, spacing and counts. SetLayout leaves the storage alone.
  // Every field alike (the undo history compares what a command left).
  bool operator==(const GridModel&) const = default;

  NodeLayout Layout() const { return {x0, y0, DX, DY, NX, NY}; }
  void SetLayout(const NodeLayout& layout) {
    x0 = layout.x0;
    y0 = layout.y0;
    DX = layout.dx;
    DY = layout.dy;
    NX = layout.nx;
    NY = layout.ny;
  }

  bool HasValues() const { return !values.empty(); }
  std::size_t NodeCount() const { return static_cast<std::size_t>(NX) * static_cast<std::size_t>(NY); }

  float& Value(int layer, int ix, int iy) { return values[Index(layer, ix, iy)]; }
  float Value(int layer, int ix, int iy) const { return values[Index(layer, ix, iy)]; }
  float* Column(int layer, int ix) { return values.data() + Index(layer, ix, 0); }
  const float* Column(int layer, int ix) const { return values.data() + Index(layer, ix, 0); }
  float& Distance(int ix, int iy) { return dataDistance[static_cast<std::size_t>(ix) * NY + iy]; }
  float Distance(int ix, int iy) const { return dataDistance[static_cast<std::size_t>(ix) * NY + iy]; }

  // Sets every scalar, flag, title and label field to its initial value; DX and DY come
  // from the profile keys "CellSizeXOrg" and "CellSizeYOrg". Leaves the value storage
  // and contourLevels alone.
  void ResetGrid(Profile& profile);

  // (Re)allocates the storage for the current layerCount, NX and NY: values undefined
  // (zero here), dataDistance 1.0e7, range arrays of layerCount entries. Returns false,
  // leaving the old storage as it was, when the shape is invalid or the memory cannot
  // be had.
  bool AllocateGrid();

  // Sets the shape and allocates it; on failure the shape and storage stay as they were.
  // Text labels were made for one shape: when NX or NY changes they are dropped.
  bool Reshape(int layers, int nx, int ny);

  // layerMinimum/layerMaximum[layer] from a scan of the layer's nodes (starting from
  // 1.0e10 and -1.0e10, so an empty layer keeps those).
  void ComputeLayerRange(int layer);

  // Releases the value storage, distances, ranges and labels.
  void ReleaseGrid();

 private:
  std::size_t Index(int layer, int ix, int iy) const { return (static_cast<std::size_t>(layer) * NX + ix) * NY + iy; }
};

// A new empty grid: no storage, contourLevels count 37, then ResetGrid.
std::unique_ptr<GridModel> CreateGridModel(Profile& profile);

// The largest number of floats one grid may hold (layers x NX x NY); keeps a corrupt
// header or an absurd dialog entry from asking for terabytes.
inline constexpr std::size_t kMaximumGridValues = std::size_t{1} << 31;

}  // namespace gridora
