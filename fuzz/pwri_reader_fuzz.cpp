// The PWRI grid data reader on arbitrary text.
#include "formats/pwri_grid.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace gridora;
  static std::unique_ptr<RandomData> points = CreateRandomData();
  std::string problem;
  ReadPwriGrid(*points, fuzz::ScratchFile(data, size), problem);
  return 0;
}
