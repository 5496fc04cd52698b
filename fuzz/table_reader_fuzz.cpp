// The delimited table reader on arbitrary text: the preview with every delimiter, then
// the points of the first three columns. A point is never made of a word ("nan",
// "inf"), so every point read is finite, and every row is read or counted once.
#include <cmath>

#include "document/random_data.h"
#include "formats/delimited_table.h"
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
  if (ReadTablePoints(*points, path, import, report, problem)) {
    fuzz::Require(report.rowsRead == points->count && points->count > 0, "the points read are counted");
    for (int i = 0; i < points->count; ++i) {
      const DataPoint& p = points->points[i];
      fuzz::Require(std::isfinite(p.x) && std::isfinite(p.y) && std::isfinite(p.z), "every point is finite");
    }
  }
  return 0;
}
