// The PWRI grid data reader on arbitrary text. A number that is not finite is passed
// over, so every cell read is finite.
#include <cmath>

#include "formats/pwri_grid.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace gridora;
  static std::unique_ptr<RandomData> points = CreateRandomData();
  std::string problem;
  if (ReadPwriGrid(*points, fuzz::ScratchFile(data, size), problem))
    for (int i = 0; i < points->count; ++i) {
      const DataPoint& p = points->points[i];
      fuzz::Require(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z), "every cell is finite");
    }
  return 0;
}
