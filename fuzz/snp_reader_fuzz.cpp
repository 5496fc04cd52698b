// The document file reader on arbitrary bytes: it must refuse or read, never crash,
// never read beyond what it owns, never ask for memory the file cannot justify.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <sstream>

#include "formats/snp_file.h"
#include "platform/profile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace gridora;
  static MemoryProfile profile;
  static std::unique_ptr<RandomData> points = CreateRandomData();
  auto grid = CreateGridModel(profile);
  points->count = 0;
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  SnpReadResult read;
  std::string problem;
  if (ReadSnp(*grid, in, *points, "fuzz.snp", read, problem)) {
    // What was read must be consistent enough to be written again.
    std::ostringstream out;
    WriteSnp(*grid, out, *points);
  }
  return 0;
}
