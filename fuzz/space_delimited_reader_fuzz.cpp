// The space-delimited point reader, with its echo, on arbitrary text.
#include "formats/space_delimited.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace gridora;
  static std::unique_ptr<RandomData> points = CreateRandomData();
  SpaceDelimitedOptions options;
  options.echoPath = "/dev/null";
  std::string problem;
  ReadSpaceDelimited(*points, fuzz::ScratchFile(data, size), problem, options);
  return 0;
}
