// The CSV grid reader on arbitrary text. The first byte picks the import options
// (skips of 0 to 3 rows and columns, labels, transpose); the rest is the file.
#include "formats/csv_grid.h"
#include "formats/csv_line.h"
#include "fuzz_support.h"
#include "platform/profile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace gridora;
  if (size < 1) return 0;
  static MemoryProfile profile;
  const std::uint8_t choice = data[0];
  CsvImportOptions options;
  options.colSkip = choice & 3;
  options.rowSkip = (choice >> 2) & 3;
  options.columnLabels = (choice >> 4) & 1;
  options.rowLabels = (choice >> 5) & 1;
  options.transpose = (choice >> 6) & 1;
  auto grid = CreateGridModel(profile);
  std::string problem;
  ReadCsvTable(*grid, fuzz::ScratchFile(data + 1, size - 1), options, problem);
  SplitCsvLine(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));
  return 0;
}
