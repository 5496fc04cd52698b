// The delimited table reader on arbitrary text: the preview with every delimiter, then
// the points of the first three columns.
#include "formats/delimited_table.h"
#include "document/random_data.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace gridora;
  static std::unique_ptr<RandomData> points = CreateRandomData();
  const std::string path = fuzz::ScratchFile(data, size);
  std::string problem;
  for (TableDelimiter delimiter : {TableDelimiter::Auto, TableDelimiter::Comma, TableDelimiter::Semicolon,
                                   TableDelimiter::Tab, TableDelimiter::Space}) {
    TablePreview preview;
    PreviewTable(path, delimiter, 1, 5, preview, problem);
  }
  TableImport import;
  TableImportReport report;
  ReadTablePoints(*points, path, import, report, problem);
  return 0;
}
