// The batch script parser on arbitrary text: every line read and split into name,
// argument and keys. A parsed line always has a name, and no key is empty.
#include <cstdlib>

#include "batch/batch_script.h"
#include "batch/batch_script_reader.h"
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace gridora;
  BatchScriptReader reader;
  std::string problem;
  if (!reader.Open(fuzz::ScratchFile(data, size), problem)) return 0;
  std::string text;
  int lineNumber = 0;
  while (reader.ReadLine(text, problem) == BatchScriptReader::Next::Line) {
    std::string error;
    const auto line = ParseBatchLine(text, ++lineNumber, error);
    if (!line) continue;
    if (!error.empty() || line->name.empty() || line->lineNumber != lineNumber) std::abort();
    for (const auto& [key, value] : line->keys)
      if (key.empty()) std::abort();
  }
  return 0;
}
