// The space-delimited point reader, with its echo, on arbitrary text. Lines with "nan"
// or "inf" are counted, never kept.
#include <cmath>

#include "formats/space_delimited.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace gridora;
  static std::unique_ptr<RandomData> points = CreateRandomData();
  SpaceDelimitedOptions options;
  options.echoPath = "/dev/null";
  std::string problem;
  ReadSpaceDelimited(*points, fuzz::ScratchFile(data, size), problem, options);
  for (int i = 0; i < points->count; ++i) {
    const DataPoint& p = points->points[i];
    fuzz::Require(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z), "every point is finite");
  }
  return 0;
}
