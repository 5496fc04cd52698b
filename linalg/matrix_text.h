#pragma once
// Fast writers for the n x n matrix dumps of kriging (a 4000-point system is 16 million
// numbers per file), byte for byte what printf would write:
//
//   MatrixLayoutOne  - "%d %d\n" (rows, columns), then per row "%e " for each entry and
//                      "\n"; single-byte text.
//   InverseDump      - per row "%f " for each entry and "\n", no header; UTF-16LE with
//                      the mark FF FE.
//
// Every "\n" is written as CR LF. Rows are formatted in parallel into per-block buffers
// and written in order.
#include <filesystem>
#include <string>

#include "linalg/matrix.h"

namespace gridora {

enum class MatrixTextKind { MatrixLayoutOne, InverseDump };

// printf's "%e" and "%f" (six digits after the point), appended to `out`: exactly the
// same characters, about ten times faster. The number is scaled by exact powers of ten
// and rounded; the rare value that lies too close to a rounding tie for the scaled
// double to decide it, and the extremes, go through the general formatter.
void AppendExponent(std::string& out, double v);
void AppendFixed(std::string& out, double v);

// A matrix of at least this many entries (some 14 MB of text) is written with progress
// where the window gives one (BeginDiagnosticProgress).
inline constexpr long long kMatrixEntriesWithProgress = 1 << 20;

// false when the file cannot be created or written, or its writing was cancelled
// (nothing else happens then). A matrix of `entriesWithProgress` entries or more, while
// the window gives a progress, is written aside and renamed into place when whole: a
// Cancel leaves the file that was under the name. The bytes are the same either way.
bool WriteMatrixText(const DenseMatrix& A, const std::filesystem::path& path, MatrixTextKind kind,
                     long long entriesWithProgress = kMatrixEntriesWithProgress);

}  // namespace gridora
