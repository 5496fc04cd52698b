#pragma once
// A set of scattered measurements ("random data"): points (x, y, z) in a fixed-size
// array, and their ranges, which the readers keep while reading. Both hold the doubles
// that were read: projected coordinates (eastings of 350000 m, northings of 4100000 m
// with centimetres) have no exact single-precision value.
#include <cstddef>
#include <memory>

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

  // Starts the running ranges (minimum 1.0e10, maximum -1.0e10).
  void StartRanges();
  // Widens the ranges by one point.
  void ExtendRanges(const DataPoint& point);
};

// count 0, points allocated for kCapacity entries. Throws std::bad_alloc when the
// array cannot be had.
std::unique_ptr<RandomData> CreateRandomData();

}  // namespace gridora
