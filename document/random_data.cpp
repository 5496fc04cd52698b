#include "document/random_data.h"

#include <algorithm>
#include <type_traits>

namespace gridora {

void RandomData::StartRanges() {
  xMinimum = yMinimum = zMinimum = 1.0e10f;
  xMaximum = yMaximum = zMaximum = -1.0e10f;
}

void RandomData::ExtendRanges(const DataPoint& point) {
  const float x = static_cast<float>(point.x);
  const float y = static_cast<float>(point.y);
  const float z = static_cast<float>(point.z);
  xMinimum = std::min(xMinimum, x);
  xMaximum = std::max(xMaximum, x);
  yMinimum = std::min(yMinimum, y);
  yMaximum = std::max(yMaximum, y);
  zMinimum = std::min(zMinimum, z);
  zMaximum = std::max(zMaximum, z);
}

static_assert(std::is_trivially_default_constructible_v<DataPoint>,
              "the point array relies on allocation without initialisation");

std::unique_ptr<RandomData> CreateRandomData() {
  auto data = std::make_unique<RandomData>();
  data->points = std::make_unique_for_overwrite<DataPoint[]>(RandomData::kCapacity);
  return data;
}

}  // namespace gridora
