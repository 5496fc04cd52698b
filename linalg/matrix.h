#pragma once
// Dense double-precision matrices for the geostatistics: distance and variogram
// matrices, products and their console dump. Everything is plain triple loops, no
// blocking, no sparsity; the callers pass arrays and are responsible for matching
// dimensions. Creating a matrix throws std::bad_alloc when the memory cannot be had (also
// for sizes whose element count overflows) and std::invalid_argument for a negative
// dimension, so the command that asked can tell the user and leave its document as it
// was.
#include <cstddef>
#include <limits>
#include <new>
#include <stdexcept>
#include <vector>

namespace gridora {

// The entries of a rows x columns matrix in one block, row after row, with one spare
// zero row and column: row i starts at block position i * (columns + 1). The stride is
// the leading dimension LAPACK is given.
class MatrixRows {
 public:
  MatrixRows() = default;
  MatrixRows(int rows, int columns) : stride_(Count(columns) + 1), block_(Times(Count(rows) + 1, stride_), 0.0) {}

  std::size_t Stride() const { return stride_; }
  double* operator[](int i) { return block_.data() + static_cast<std::size_t>(i) * stride_; }
  const double* operator[](int i) const { return block_.data() + static_cast<std::size_t>(i) * stride_; }
  double* Block() { return block_.data(); }
  const double* Block() const { return block_.data(); }

 private:
  // No block may hold more elements than this (2^59): beyond it no machine has the
  // memory, and the byte count would overflow.
  static constexpr std::size_t kMaximumElements =
      static_cast<std::size_t>(std::numeric_limits<std::ptrdiff_t>::max()) / 16;
  static std::size_t Times(std::size_t a, std::size_t b) {
    if (a != 0 && b > kMaximumElements / a) throw std::bad_alloc();
    return a * b;
  }
  static std::size_t Count(int n) {
    if (n < 0) throw std::invalid_argument("negative matrix dimension");
    return static_cast<std::size_t>(n);
  }

  std::size_t stride_ = 1;
  std::vector<double> block_;
};

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
  MatrixRows values;
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

// "%d %d\n" and one line of "%f " entries per row, to the console trace.
void PrintToConsole(const DenseMatrix& A);

}  // namespace gridora
