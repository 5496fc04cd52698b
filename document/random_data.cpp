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

const std::string& RandomData::LabelOf(int i) const {
  static const std::string kNone;
  return i >= 0 && static_cast<std::size_t>(i) < labels.size() ? labels[static_cast<std::size_t>(i)] : kNone;
}

std::unique_ptr<RandomData> CreateRandomData() {
  auto data = std::make_unique<RandomData>();
  data->points = std::make_unique_for_overwrite<DataPoint[]>(RandomData::kCapacity);
  return data;
}

void KeepPoints(RandomData& data, const std::vector<int>& kept) {
  std::vector<DataPoint> points;
  points.reserve(kept.size());
  std::vector<std::string> labels;
  if (data.HasLabels()) labels.reserve(kept.size());
  for (int i : kept) {
    points.push_back(data.points[static_cast<std::size_t>(i)]);
    if (data.HasLabels()) labels.push_back(std::move(data.labels[static_cast<std::size_t>(i)]));
  }
  std::copy(points.begin(), points.end(), data.points.get());
  data.count = static_cast<int>(points.size());
  data.labels = std::move(labels);
  data.StartRanges();
  for (int i = 0; i < data.count; ++i) data.ExtendRanges(data.points[static_cast<std::size_t>(i)]);
}

std::unique_ptr<RandomData> CopyRandomData(const RandomData& data) {
  auto copy = CreateRandomData();
  std::copy(data.points.get(), data.points.get() + data.count, copy->points.get());
  copy->count = data.count;
  copy->labels = data.labels;
  copy->xMinimum = data.xMinimum;
  copy->xMaximum = data.xMaximum;
  copy->yMinimum = data.yMinimum;
  copy->yMaximum = data.yMaximum;
  copy->zMinimum = data.zMinimum;
  copy->zMaximum = data.zMaximum;
  return copy;
}

}  // namespace gridora
