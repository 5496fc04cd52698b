#include "document/random_data.h"

#include <algorithm>
#include <type_traits>

namespace gridora {

void RandomData::StartRanges() {
  xMinimum = yMinimum = zMinimum = 1.0e10;
  xMaximum = yMaximum = zMaximum = -1.0e10;
}

void RandomData::ExtendRanges(const DataPoint& point) {
  xMinimum = std::min(xMinimum, point.x);
  xMaximum = std::max(xMaximum, point.x);
  yMinimum = std::min(yMinimum, point.y);
  yMaximum = std::max(yMaximum, point.y);
  zMinimum = std::min(zMinimum, point.z);
  zMaximum = std::max(zMaximum, point.z);
}

static_assert(std::is_trivially_default_constructible_v<DataPoint>,
              "the point array relies on allocation without initialisation");

std::unique_ptr<RandomData> CreateRandomData() {
  auto data = std::make_unique<RandomData>();
  data->points = std::make_unique_for_overwrite<DataPoint[]>(RandomData::kCapacity);
  return data;
}

}  // namespace gridora
