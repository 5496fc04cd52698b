#include "formats/snp_save.h"

#include <fmt/printf.h>

#include <ostream>
#include <streambuf>

#include "formats/finite_values.h"
#include "formats/snp_file.h"
#include "platform/replacing_file.h"

namespace gridora {
namespace {

// Lets the document writer's stream fill a file that replaces its target only once
// complete.
class ReplacingFileBuffer : public std::streambuf {
 public:
  explicit ReplacingFileBuffer(ReplacingFile& file) : file_(file) {}

 protected:
  std::streamsize xsputn(const char* bytes, std::streamsize count) override {
    return file_.Write(std::string_view(bytes, static_cast<std::size_t>(count))) ? count : 0;
  }
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    const char byte = traits_type::to_char_type(c);
    return file_.Write(std::string_view(&byte, 1)) ? c : traits_type::eof();
  }

 private:
  ReplacingFile& file_;
};

}  // namespace

bool SaveSnpFile(const GridModel& grid, const RandomData& points, const std::string& path, std::string& problem,
                 const std::string& trailer) {
  auto notFinite = FindNonFiniteGridValue(grid);
  if (!notFinite) notFinite = FindNonFinitePoint(points);
  if (notFinite) {
    problem = NonFiniteMessage(path, *notFinite);
    return false;
  }
  ReplacingFile file(path);
  ReplacingFileBuffer buffer(file);
  std::ostream out(&buffer);
  if (!file.Open() || !WriteSnp(grid, out, points, trailer) || !out.flush() || !file.Commit()) {
    problem = fmt::sprintf("Cannot save %s: %s.", path, file.Failed() ? file.Error() : "writing the file failed");
    return false;
  }
  return true;
}

}  // namespace gridora
