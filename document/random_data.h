#pragma once
// A set of scattered measurements ("random data"): points (x, y, z) in a fixed-size
// array. The six range fields are single precision although the points are double;
// the readers keep them while reading.
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
  float xMinimum = 0.0f, xMaximum = 0.0f;
  float yMinimum = 0.0f, yMaximum = 0.0f;
  float zMinimum = 0.0f, zMaximum = 0.0f;

  // Starts the running ranges (minimum 1.0e10, maximum -1.0e10).
  void StartRanges();
  // Widens the ranges by one point, comparing in single precision.
  void ExtendRanges(const DataPoint& point);
};

// count 0, points allocated for kCapacity entries. Throws std::bad_alloc when the
// array cannot be had.
std::unique_ptr<RandomData> CreateRandomData();

}  // namespace gridora
