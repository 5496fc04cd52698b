#pragma once
// A set of scattered measurements ("random data"): points (x, y, z) in a fixed-size
// array, and their ranges, which the readers keep while reading. Both hold the doubles
// that were read: projected coordinates (eastings of 350000 m, northings of 4100000 m
// with centimetres) have no exact single-precision value.
#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace gridora {

// No member initialisers: the point array is allocated without being written, which
// only a trivial type allows. Write `DataPoint point{}` for a zeroed point.
struct DataPoint {
  double x;
  double y;
  double z;
};

struct RandomData {
  static constexpr int kCapacity = 1000000;

  int count = 0;
  // Allocated at full capacity and never grown. Pages not written are never touched,
  // so an unused point set costs address space, not memory.
  std::unique_ptr<DataPoint[]> points;
  double xMinimum = 0.0, xMaximum = 0.0;
  double yMinimum = 0.0, yMaximum = 0.0;
  double zMinimum = 0.0, zMaximum = 0.0;
  // The points' names (a well or sample id from a table's label column): empty when the
  // set has none, else one per point, in the points' order. Whatever keeps, reorders or
  // drops points does the same to the labels (see KeepPoints).
  std::vector<std::string> labels;

  bool HasLabels() const { return !labels.empty(); }
  // The label of point i; empty when the set has none.
  const std::string& LabelOf(int i) const;

  // Starts the running ranges (minimum 1.0e10, maximum -1.0e10).
  void StartRanges();
  // Widens the ranges by one point.
  void ExtendRanges(const DataPoint& point);
};

// count 0, points allocated for kCapacity entries. Throws std::bad_alloc when the
// array cannot be had.
std::unique_ptr<RandomData> CreateRandomData();

// Keeps the points at `kept` (0-based indices into `data`, in the order given; an
// index may appear once), their labels with them, and recomputes the ranges.
void KeepPoints(RandomData& data, const std::vector<int>& kept);

// A copy of the set's points, labels and ranges. Throws std::bad_alloc.
std::unique_ptr<RandomData> CopyRandomData(const RandomData& data);

}  // namespace gridora
