#include "document/space_delimited.h"

#include <fmt/printf.h>

#include <cstdio>
#include <memory>

#include "document/text_reader.h"
#include "platform/number_text.h"

namespace gridora {
namespace {

// "%lf%lf%lf": three numbers from the start of the line.
bool ScanPoint(const std::string& line, DataPoint& point) {
  std::size_t pos = 0;
  return ScanDouble(line, pos, point.x) && ScanDouble(line, pos, point.y) && ScanDouble(line, pos, point.z);
}

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

}  // namespace

int ReadSpaceDelimited(RandomData& points, const std::string& path, std::string& problem,
                       const SpaceDelimitedOptions& options) {
  TextReader reader;
  if (!reader.Open(path, problem)) return -1;

  // The echo is a diagnostic: reading goes on without it when it cannot be written.
  std::unique_ptr<std::FILE, FileCloser> echo;
  if (!options.echoPath.empty()) echo.reset(std::fopen(options.echoPath.c_str(), "wb"));

  points.StartRanges();
  points.count = 0;
  const int capacity = options.capacity < RandomData::kCapacity ? options.capacity : RandomData::kCapacity;
  std::string line;
  while (points.count < capacity && reader.ReadLine(line, 1023)) {
    DataPoint point;
    if (!ScanPoint(line, point)) continue;
    points.points[points.count++] = point;
    points.ExtendRanges(point);
    if (echo) fmt::fprintf(echo.get(), "%.3f %.3f %.3f \r\n", point.x, point.y, point.z);
  }
  if (reader.Failed()) {
    problem = fmt::sprintf("Cannot read %s: the system reported a read error.", path);
    return -1;
  }
  return points.count;
}

}  // namespace gridora
