#include "linalg/matrix_text.h"

#include <fmt/compile.h>
#include <fmt/format.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <iterator>
#include <vector>

#include "platform/diagnostic_file.h"
#include "platform/replacing_file.h"
#include "platform/trace.h"

namespace gridora {
namespace {

// Rows formatted per task; a block of tasks is formatted in parallel, then written.
constexpr int kRowsPerTask = 16;
constexpr int kTasksPerBlock = 64;

// A scaled value below 1e7 that came from at most three roundings of relative size
// 2^-53 (the power of ten, the product, and the difference in NearTie) errs by under
// 4e-9. A fraction this close to one half cannot be trusted to round as the exact
// binary value would, and goes to the general formatter.
constexpr double kTieWindow = 1e-7;

// 10^k for k = -kPowerRange..kPowerRange, each within half an ulp or so of the truth.
constexpr int kPowerRange = 330;
struct PowersOfTen {
  PowersOfTen() {
    for (int k = -kPowerRange; k <= kPowerRange; ++k) value[k + kPowerRange] = std::pow(10.0, k);
  }
  double operator[](int k) const { return value[k + kPowerRange]; }
  double value[2 * kPowerRange + 1];
};
const PowersOfTen kPowersOfTen;

// scaled >= 0 and below 2^63.
bool NearTie(double scaled) {
  const double fraction = scaled - static_cast<double>(static_cast<std::uint64_t>(scaled));
  return std::fabs(fraction - 0.5) < kTieWindow;
}

// `count` digits of value, zero-padded on the left, at p; returns the end.
char* PutDigits(char* p, std::uint64_t value, int count) {
  for (int i = count - 1; i >= 0; --i) {
    p[i] = static_cast<char>('0' + value % 10);
    value /= 10;
  }
  return p + count;
}

char* PutInteger(char* p, std::uint64_t value) {
  char digits[20];
  int n = 0;
  do {
    digits[n++] = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  while (n > 0) *p++ = digits[--n];
  return p;
}

bool FastExponent(std::string& out, double v) {
  if (!std::isfinite(v)) return false;
  const bool negative = std::signbit(v);
  const double a = std::fabs(v);
  if (a == 0.0) {
    out.append(negative ? "-0.000000e+00" : "0.000000e+00");
    return true;
  }
  // a lies in [2^(b-1), 2^b), so floor(log10 a) is this estimate or one more.
  int b = 0;
  std::frexp(a, &b);
  int exponent = static_cast<int>(std::floor((b - 1) * 0.30102999566398120));
  if (exponent < -300 || exponent > 300) return false;  // subnormals and extremes
  double scaled = a * kPowersOfTen[6 - exponent];
  if (scaled >= 1e7) {
    ++exponent;
    scaled = a * kPowersOfTen[6 - exponent];
  }
  if (NearTie(scaled)) return false;
  auto mantissa = static_cast<std::uint64_t>(scaled + 0.5);
  if (mantissa < 1000000) return false;  // the estimate was off the other way: leave it to fmt
  if (mantissa >= 10000000) {
    mantissa /= 10;
    ++exponent;
  }
  char text[24];
  char* p = text;
  if (negative) *p++ = '-';
  *p++ = static_cast<char>('0' + mantissa / 1000000);
  *p++ = '.';
  p = PutDigits(p, mantissa % 1000000, 6);
  *p++ = 'e';
  *p++ = exponent < 0 ? '-' : '+';
  const int magnitude = std::abs(exponent);
  p = PutDigits(p, static_cast<std::uint64_t>(magnitude), magnitude >= 100 ? 3 : 2);
  out.append(text, static_cast<std::size_t>(p - text));
  return true;
}

bool FastFixed(std::string& out, double v) {
  if (!std::isfinite(v)) return false;
  const bool negative = std::signbit(v);
  const double a = std::fabs(v);
  if (a >= 1e15) return false;
  double whole = std::floor(a);
  const double micro = (a - whole) * 1e6;  // a - whole is exact
  if (NearTie(micro)) return false;
  auto fraction = static_cast<std::uint64_t>(std::floor(micro + 0.5));
  if (fraction >= 1000000) {
    fraction -= 1000000;
    whole += 1.0;
  }
  char text[32];
  char* p = text;
  if (negative) *p++ = '-';
  p = PutInteger(p, static_cast<std::uint64_t>(whole));
  *p++ = '.';
  p = PutDigits(p, fraction, 6);
  out.append(text, static_cast<std::size_t>(p - text));
  return true;
}

void FormatRow(const DenseMatrix& A, int i, MatrixTextKind kind, std::string& out) {
  const double* row = A.values[i];
  if (kind == MatrixTextKind::MatrixLayoutOne) {
    for (int j = 0; j < A.columns; ++j) {
      AppendExponent(out, row[j]);
      out.push_back(' ');
    }
  } else {
    for (int j = 0; j < A.columns; ++j) {
      AppendFixed(out, row[j]);
      out.push_back(' ');
    }
  }
  out.append("\r\n");
}

// ASCII to UTF-16LE.
void Widen(const std::string& text, std::string& wide) {
  wide.assign(text.size() * 2, '\0');
  for (std::size_t k = 0; k < text.size(); ++k) wide[2 * k] = text[k];
}

}  // namespace

// fmt's "{:e}" and "{:f}" are printf's "%e" and "%f" (precision 6), without the locale.
void AppendExponent(std::string& out, double v) {
  if (!FastExponent(out, v)) fmt::format_to(std::back_inserter(out), FMT_COMPILE("{:e}"), v);
}

void AppendFixed(std::string& out, double v) {
  if (!FastFixed(out, v)) fmt::format_to(std::back_inserter(out), FMT_COMPILE("{:f}"), v);
}

namespace {

// The text of the matrix, block after block of rows, into `put`; false when `put` fails
// or `feedback` is cancelled between blocks.
template <typename Put>
bool FormatMatrix(const DenseMatrix& A, MatrixTextKind kind, Put put, Feedback* feedback) {
  const bool wide = kind == MatrixTextKind::InverseDump;
  if (!(wide ? put(std::string("\xFF\xFE", 2)) : put(fmt::format("{} {}\r\n", A.rows, A.columns)))) return false;
  const int tasks = (A.rows + kRowsPerTask - 1) / kRowsPerTask;
  std::vector<std::string> narrow(kTasksPerBlock), widened(kTasksPerBlock);
  for (int first = 0; first < tasks; first += kTasksPerBlock) {
    const int last = std::min(tasks, first + kTasksPerBlock);
#pragma omp parallel for schedule(dynamic, 1)
    for (int t = first; t < last; ++t) {
      std::string& out = narrow[t - first];
      out.clear();
      const int endRow = std::min(A.rows, (t + 1) * kRowsPerTask);
      for (int i = t * kRowsPerTask; i < endRow; ++i) FormatRow(A, i, kind, out);
      if (wide) Widen(out, widened[t - first]);
    }
    for (int t = first; t < last; ++t)
      if (!put(wide ? widened[t - first] : narrow[t - first])) return false;
    if (feedback) {
      feedback->SetProgress(static_cast<double>(last) / tasks);
      if (feedback->IsCanceled()) return false;
    }
  }
  return true;
}

}  // namespace

bool WriteMatrixText(const DenseMatrix& A, const std::filesystem::path& path, MatrixTextKind kind,
                     long long entriesWithProgress) {
  if (!DiagnosticFilesEnabled()) return false;
  const long long entries = static_cast<long long>(A.rows) * A.columns;
  std::unique_ptr<Feedback> feedback;
  if (entries >= entriesWithProgress) feedback = BeginDiagnosticProgress("Writing " + path.filename().string());
  if (!feedback) {
    // In place, as the batch mode always writes them.
    DiagnosticFile file(path);
    if (!file.IsOpen()) return false;
    FormatMatrix(
        A, kind,
        [&](const std::string& bytes) {
          file.WriteBytes(bytes);
          return !file.Failed();
        },
        nullptr);
    return file.Close();
  }
  // Aside, renamed into place when whole; a Cancel drops it.
  ReplacingFile file(path, ReplacingFile::Name::Fixed);
  if (!file.Open()) {
    Trace("Diagnostic file %s skipped: %s\n", path.string(), file.Error());
    return false;
  }
  std::string pending;
  const bool whole = FormatMatrix(
      A, kind,
      [&](const std::string& bytes) {
        pending += bytes;
        if (pending.size() < (1u << 20)) return true;
        const bool written = file.Write(pending);
        pending.clear();
        return written;
      },
      feedback.get());
  if (!whole || !file.Write(pending) || !file.Commit()) {
    file.Discard();
    return false;
  }
  return true;
}

}  // namespace gridora
