#include "interpolation/matrix_text.h"

#include <fmt/compile.h>
#include <fmt/format.h>

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <string>
#include <vector>

namespace gridora {
namespace {

// Rows formatted per task; a block of tasks is formatted in parallel, then written.
constexpr int kRowsPerTask = 16;
constexpr int kTasksPerBlock = 64;

// fmt's "{:e}" and "{:f}" are printf's "%e" and "%f" (precision 6), without the locale.
void FormatRow(const CMatrix& A, int i, MatrixTextKind kind, std::string& out) {
  const double* row = A.values[i];
  auto sink = std::back_inserter(out);
  if (kind == MatrixTextKind::MatrixLayoutOne) {
    for (int j = 0; j < A.columns; ++j) fmt::format_to(sink, FMT_COMPILE("{:e} "), row[j]);
  } else {
    for (int j = 0; j < A.columns; ++j) fmt::format_to(sink, FMT_COMPILE("{:f} "), row[j]);
  }
  out.append("\r\n");
}

// ASCII to UTF-16LE.
std::string Widen(const std::string& text) {
  std::string wide(text.size() * 2, '\0');
  for (std::size_t k = 0; k < text.size(); ++k) wide[2 * k] = text[k];
  return wide;
}

}  // namespace

bool WriteMatrixText(const CMatrix& A, const std::filesystem::path& path, MatrixTextKind kind) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  bool ok = true;
  auto put = [&](const std::string& bytes) {
    if (ok && !bytes.empty() && std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) ok = false;
  };
  const bool wide = kind == MatrixTextKind::InverseDump;
  if (wide) put(std::string("\xFF\xFE", 2));
  else put(fmt::format("{} {}\r\n", A.rows, A.columns));

  const int tasks = (A.rows + kRowsPerTask - 1) / kRowsPerTask;
  std::vector<std::string> buffers(kTasksPerBlock);
  for (int first = 0; first < tasks && ok; first += kTasksPerBlock) {
    const int last = std::min(tasks, first + kTasksPerBlock);
#pragma omp parallel for schedule(dynamic, 1)
    for (int t = first; t < last; ++t) {
      std::string& out = buffers[t - first];
      out.clear();
      const int endRow = std::min(A.rows, (t + 1) * kRowsPerTask);
      for (int i = t * kRowsPerTask; i < endRow; ++i) FormatRow(A, i, kind, out);
      if (wide) out = Widen(out);
    }
    for (int t = first; t < last; ++t) put(buffers[t - first]);
  }
  if (std::fclose(file) != 0) ok = false;
  return ok;
}

}  // namespace gridora
