#pragma once
// Dense double-precision matrices for the geostatistics: distance and variogram
// matrices, products, the Gauss-Jordan inverse and their text dumps. Everything is
// plain triple loops, no blocking, no sparsity; the callers pass arrays and are
// responsible for matching dimensions. Creating a matrix throws std::bad_alloc when the
// memory cannot be had.
#include <string>

#include "linalg/matrix_storage.h"

namespace gridora {

class DenseMatrix {
 public:
  DenseMatrix() = default;
  // A zero-filled rows x columns matrix.
  DenseMatrix(int rows, int columns) : rows(rows), columns(columns), values(rows, columns) {}

  double& operator()(int i, int j) { return values[i][j]; }
  double operator()(int i, int j) const { return values[i][j]; }

  int rows = 0;
  int columns = 0;
  // values[i][j], i = 0..rows-1, j = 0..columns-1; one spare zero row and column.
  DMatrix0 values;
};

// n x n, (i, j) = sqrt((y_i - y_j)^2 + (x_i - x_j)^2).
DenseMatrix DistanceMatrix(int n, const double* x, const double* y);
// n1 x n2, (i, j) = sqrt((y1_i - y2_j)^2 + (x1_i - x2_j)^2).
DenseMatrix CrossDistanceMatrix(int n1, const double* x1, const double* y1, int n2, const double* x2, const double* y2);
// n x n, (i, j) = 0.5 * (v_i - v_j)^2.
DenseMatrix HalfSquaredDifferences(int n, const double* v);
// n x 1, (i, 0) = v_i.
DenseMatrix ColumnVector(int n, const double* v);
// The symmetric block matrix [[A, B], [B^T, D]] for square A (r1 x r1), square D
// (r2 x r2) and B (r1 x r2).
DenseMatrix BlockMatrix(const DenseMatrix& A, const DenseMatrix& D, const DenseMatrix& B);
// A.rows x B.columns.
DenseMatrix Product(const DenseMatrix& A, const DenseMatrix& B);
DenseMatrix Transpose(const DenseMatrix& A);
// sqrt(sum of squares / (rows * columns)).
double RootMeanSquare(const DenseMatrix& A);

enum class InverseStatus {
  Inverted,
  NotSquare,
  // A pivot was zero or the result is not finite: elimination without row exchanges
  // cannot invert this matrix (singular, or a zero on the diagonal where exchanges
  // would be needed). No inverse is handed back and no file is written.
  Singular,
};

struct InverseResult {
  InverseStatus status = InverseStatus::NotSquare;
  DenseMatrix inverse;       // n x n when status is Inverted, else empty
  int failedPivot = -1;  // the 0-based pivot that was zero, for Singular (-1: non-finite result)

  bool Inverted() const { return status == InverseStatus::Inverted; }
};

// Gauss-Jordan elimination without pivoting. On success the inverse is also written to
// "inverse_matrix.txt" in the current directory (UTF-16LE with its mark, "%f " per entry,
// one line per row); a file that cannot be created is skipped.
InverseResult Inverse(const DenseMatrix& A);

// Writes "%d %d\n" (rows, columns), then with layout 1 one line of "%e " entries per row,
// with any other layout one "%d %d %e\n" line (i, j, value) per entry. With echo 1 the
// name and every piece also go to the console trace. False when the file could not be
// created.
bool WriteToFile(const DenseMatrix& A, const std::string& fileName, int echo, int layout);

// "%d %d\n" and one line of "%f " entries per row, to the console trace.
void PrintToConsole(const DenseMatrix& A);

}  // namespace gridora
