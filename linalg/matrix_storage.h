#pragma once
// Owning storage for the numerical routines, in three index conventions:
//
//   fmatrix(r, c)      float  [1..r][1..c]           one-based, as the band solver numbers rows
//   fvector(n)         float  [1..n]                 one-based
//   fmatrix0(r, c)     float  [0..r][0..c]           zero-based with one spare zero row and column
//   dmatrix0(r, c)     double [0..r][0..c]           the same in double precision
//   ftensor3(L, r, c)  float  [0..L][0..r][0..c]     layers of zero-based matrices
//
// Each is one contiguous block stored row after row; m[i][j] works as with a table of
// row pointers. Everything starts at zero. When the memory cannot be had the allocator
// throws std::bad_alloc (also for sizes whose element count overflows), so the command
// that asked can tell the user and leave its document as it was; nothing here ends the
// process.
#include <cstddef>
#include <cstdint>
#include <limits>
#include <new>
#include <stdexcept>
#include <vector>

namespace gridora {

namespace storage_detail {

// No block may hold more elements than this (2^59): beyond it no machine has the memory,
// and the byte count of a double block would overflow.
inline constexpr std::size_t kMaximumElements =
    static_cast<std::size_t>(std::numeric_limits<std::ptrdiff_t>::max()) / 16;

// a * b, throwing std::bad_alloc when the product is beyond any memory.
inline std::size_t Times(std::size_t a, std::size_t b) {
  if (a != 0 && b > kMaximumElements / a) throw std::bad_alloc();
  return a * b;
}

inline std::size_t Count(int n) {
  if (n < 0) throw std::invalid_argument("negative matrix dimension");
  return static_cast<std::size_t>(n);
}

}  // namespace storage_detail

// Float matrix with rows 1..r and columns 1..c: element [i][j] is block position
// (i-1)*c + j, so block position 0 is never used.
class FMatrix {
 public:
  FMatrix() = default;
  FMatrix(int rows, int columns)
      : rows_(rows),
        columns_(columns),
        block_(storage_detail::Times(storage_detail::Count(rows), storage_detail::Count(columns)) + 1, 0.0f) {}

  int Rows() const { return rows_; }
  int Columns() const { return columns_; }
  float* operator[](int i) { return block_.data() + static_cast<std::size_t>(i - 1) * columns_; }
  const float* operator[](int i) const { return block_.data() + static_cast<std::size_t>(i - 1) * columns_; }
  float* Block() { return block_.data(); }
  std::size_t BlockSize() const { return block_.size(); }

 private:
  int rows_ = 0, columns_ = 0;
  std::vector<float> block_;
};

// Float vector 1..n (position 0 unused).
class FVector {
 public:
  FVector() = default;
  explicit FVector(int n) : size_(n), block_(storage_detail::Count(n) + 1, 0.0f) {}

  int Size() const { return size_; }
  float& operator[](int i) { return block_[static_cast<std::size_t>(i)]; }
  float operator[](int i) const { return block_[static_cast<std::size_t>(i)]; }
  float* Block() { return block_.data(); }

 private:
  int size_ = 0;
  std::vector<float> block_;
};

// Zero-based matrix with one spare zero row and column: rows 0..r, columns 0..c, row i
// at block position i*(c+1). Callers use [0..r-1][0..c-1] as an r x c matrix.
template <typename T>
class Matrix0 {
 public:
  Matrix0() = default;
  Matrix0(int rows, int columns)
      : rows_(rows),
        columns_(columns),
        stride_(storage_detail::Count(columns) + 1),
        block_(storage_detail::Times(storage_detail::Count(rows) + 1, stride_), T{}) {}

  int Rows() const { return rows_; }
  int Columns() const { return columns_; }
  std::size_t Stride() const { return stride_; }
  T* operator[](int i) { return block_.data() + static_cast<std::size_t>(i) * stride_; }
  const T* operator[](int i) const { return block_.data() + static_cast<std::size_t>(i) * stride_; }
  T* Block() { return block_.data(); }
  const T* Block() const { return block_.data(); }

 private:
  int rows_ = 0, columns_ = 0;
  std::size_t stride_ = 1;
  std::vector<T> block_;
};

using FMatrix0 = Matrix0<float>;
using DMatrix0 = Matrix0<double>;

// Layers 0..L of float matrices with rows 0..r and columns 0..c: element [l][i][j] is
// block position 1 + l*(r+1)*(c+1) + i*(c+1) + j (block position 0 unused).
class FTensor3 {
 public:
  class Layer {
   public:
    float* operator[](int i) const { return base_ + static_cast<std::size_t>(i) * stride_; }

   private:
    friend class FTensor3;
    Layer(float* base, std::size_t stride) : base_(base), stride_(stride) {}
    float* base_;
    std::size_t stride_;
  };

  FTensor3() = default;
  FTensor3(int layers, int rows, int columns)
      : layers_(layers),
        rows_(rows),
        columns_(columns),
        stride_(storage_detail::Count(columns) + 1),
        layerSize_(storage_detail::Times(storage_detail::Count(rows) + 1, stride_)),
        block_(storage_detail::Times(storage_detail::Count(layers) + 1, layerSize_) + 1, 0.0f) {}

  int Layers() const { return layers_; }
  int Rows() const { return rows_; }
  int Columns() const { return columns_; }
  Layer operator[](int l) { return Layer(block_.data() + 1 + static_cast<std::size_t>(l) * layerSize_, stride_); }
  float& operator()(int l, int i, int j) {
    return block_[1 + static_cast<std::size_t>(l) * layerSize_ + static_cast<std::size_t>(i) * stride_ + j];
  }
  float operator()(int l, int i, int j) const {
    return block_[1 + static_cast<std::size_t>(l) * layerSize_ + static_cast<std::size_t>(i) * stride_ + j];
  }
  float* Block() { return block_.data(); }

 private:
  int layers_ = 0, rows_ = 0, columns_ = 0;
  std::size_t stride_ = 1, layerSize_ = 0;
  std::vector<float> block_;
};

// The allocators by their customary names. Each throws std::bad_alloc when the memory
// cannot be had and std::invalid_argument for a negative dimension.
inline FMatrix fmatrix(int rows, int columns) { return FMatrix(rows, columns); }
inline FVector fvector(int n) { return FVector(n); }
inline FMatrix0 fmatrix0(int rows, int columns) { return FMatrix0(rows, columns); }
inline DMatrix0 dmatrix0(int rows, int columns) { return DMatrix0(rows, columns); }
inline FTensor3 ftensor3(int layers, int rows, int columns) { return FTensor3(layers, rows, columns); }

}  // namespace gridora
