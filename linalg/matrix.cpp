#include "linalg/matrix.h"

#include <cmath>

#include "platform/trace.h"

namespace gridora {

DenseMatrix DistanceMatrix(int n, const double* x, const double* y) {
  DenseMatrix result(n, n);
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j) {
      const double dy = y[i] - y[j], dx = x[i] - x[j];
      result(i, j) = std::sqrt(dy * dy + dx * dx);
    }
  return result;
}

DenseMatrix CrossDistanceMatrix(int n1, const double* x1, const double* y1, int n2, const double* x2,
                                const double* y2) {
  DenseMatrix result(n1, n2);
  for (int i = 0; i < n1; ++i)
    for (int j = 0; j < n2; ++j) {
      const double dy = y1[i] - y2[j], dx = x1[i] - x2[j];
      result(i, j) = std::sqrt(dy * dy + dx * dx);
    }
  return result;
}

DenseMatrix HalfSquaredDifferences(int n, const double* v) {
  DenseMatrix result(n, n);
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j) {
      const double d = v[i] - v[j];
      result(i, j) = 0.5 * d * d;
    }
  return result;
}

DenseMatrix ColumnVector(int n, const double* v) {
  DenseMatrix result(n, 1);
  for (int i = 0; i < n; ++i) result(i, 0) = v[i];
  return result;
}

DenseMatrix BlockMatrix(const DenseMatrix& A, const DenseMatrix& D, const DenseMatrix& B) {
  DenseMatrix result(A.rows + D.rows, A.columns + D.columns);
  for (int i = 0; i < A.rows; ++i)
    for (int j = 0; j < A.columns; ++j) result(i, j) = A(i, j);
  // B's copy is offset by A's row count, which is its column count for a square A.
  for (int i = 0; i < B.rows; ++i)
    for (int j = 0; j < B.columns; ++j) {
      result(i, A.rows + j) = B(i, j);
      result(A.rows + j, i) = B(i, j);
    }
  for (int i = 0; i < D.rows; ++i)
    for (int j = 0; j < D.columns; ++j) result(A.rows + i, A.columns + j) = D(i, j);
  return result;
}

DenseMatrix Product(const DenseMatrix& A, const DenseMatrix& B) {
  DenseMatrix result(A.rows, B.columns);
  for (int i = 0; i < A.rows; ++i)
    for (int j = 0; j < B.columns; ++j) {
      double sum = 0.0;
      for (int k = 0; k < A.columns; ++k) sum += A(i, k) * B(k, j);
      result(i, j) = sum;
    }
  return result;
}

DenseMatrix Transpose(const DenseMatrix& A) {
  DenseMatrix result(A.columns, A.rows);
  for (int i = 0; i < A.columns; ++i)
    for (int j = 0; j < A.rows; ++j) result(i, j) = A(j, i);
  return result;
}

double RootMeanSquare(const DenseMatrix& A) {
  double sum = 0.0;
  for (int i = 0; i < A.rows; ++i)
    for (int j = 0; j < A.columns; ++j) sum += std::pow(A(i, j), 2.0);
  return std::sqrt(sum / (static_cast<double>(A.rows) * A.columns));
}

void PrintToConsole(const DenseMatrix& A) {
  Trace("%d %d\n", A.rows, A.columns);
  for (int i = 0; i < A.rows; ++i) {
    for (int j = 0; j < A.columns; ++j) Trace("%f ", A(i, j));
    Trace("\n");
  }
}

}  // namespace gridora
