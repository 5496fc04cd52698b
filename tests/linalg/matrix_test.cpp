#include "linalg/matrix.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <string>

#include "linalg/matrix_text.h"
#include "support/test_support.h"

namespace gridora {
namespace {

// Runs the test body inside a fresh temporary folder, since the dumps write "in the
// current directory".
class InCurrentFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(folder_.Path());
  }
  void TearDown() override { std::filesystem::current_path(previous_); }
  std::string Read(const std::string& name) { return test::ReadFileBytes(folder_ / name); }

  test::TempFolder folder_;
  std::filesystem::path previous_;
};

std::string Utf16(const std::string& ascii) {
  std::string wide("\xFF\xFE", 2);
  for (char c : ascii) {
    wide.push_back(c);
    wide.push_back('\0');
  }
  return wide;
}

DenseMatrix Make(int rows, int columns, std::initializer_list<double> values) {
  DenseMatrix m(rows, columns);
  auto it = values.begin();
  for (int i = 0; i < rows; ++i)
    for (int j = 0; j < columns; ++j) m(i, j) = *it++;
  return m;
}

TEST(MatrixStorage, IndexConventionsMatchTheBlockLayout) {
  DenseMatrix d(2, 3);
  d(1, 2) = 3.0;
  EXPECT_EQ(d.values.Block()[1 * 4 + 2], 3.0);
  EXPECT_EQ(d.values[2][3], 0.0);  // the spare row and column exist and stay zero
}

TEST(MatrixStorage, ImpossibleSizesThrowInsteadOfEndingTheProcess) {
  EXPECT_THROW(DenseMatrix(-1, 3), std::invalid_argument);
  EXPECT_THROW(DenseMatrix(1 << 30, 1 << 30), std::bad_alloc);
}

TEST(MatrixBuilders, DistancesDifferencesAndColumn) {
  const double x[] = {0.0, 3.0, 0.0};
  const double y[] = {0.0, 4.0, 1.0};
  const DenseMatrix d = DistanceMatrix(3, x, y);
  EXPECT_EQ(d(0, 1), 5.0);
  EXPECT_EQ(d(1, 0), 5.0);
  EXPECT_EQ(d(2, 2), 0.0);

  const double x2[] = {3.0};
  const double y2[] = {0.0};
  const DenseMatrix c = CrossDistanceMatrix(3, x, y, 1, x2, y2);
  ASSERT_EQ(c.rows, 3);
  ASSERT_EQ(c.columns, 1);
  EXPECT_EQ(c(1, 0), 4.0);
  EXPECT_DOUBLE_EQ(c(2, 0), std::sqrt(10.0));

  const double v[] = {1.0, 4.0};
  const DenseMatrix h = HalfSquaredDifferences(2, v);
  EXPECT_EQ(h(0, 1), 4.5);
  EXPECT_EQ(h(1, 0), 4.5);
  EXPECT_EQ(h(0, 0), 0.0);

  const DenseMatrix column = ColumnVector(2, v);
  EXPECT_EQ(column.rows, 2);
  EXPECT_EQ(column.columns, 1);
  EXPECT_EQ(column(1, 0), 4.0);
}

TEST(MatrixOperations, BlockProductTransposeRootMeanSquare) {
  const DenseMatrix block = BlockMatrix(Make(1, 1, {2}), Make(1, 1, {7}), Make(1, 1, {5}));
  ASSERT_EQ(block.rows, 2);
  ASSERT_EQ(block.columns, 2);
  EXPECT_EQ(block(0, 0), 2.0);
  EXPECT_EQ(block(0, 1), 5.0);
  EXPECT_EQ(block(1, 0), 5.0);
  EXPECT_EQ(block(1, 1), 7.0);

  // A 2 x 2 A, 1 x 1 D and a 2 x 1 B: B fills column 2 and row 2.
  const DenseMatrix wide = BlockMatrix(Make(2, 2, {1, 2, 3, 4}), Make(1, 1, {9}), Make(2, 1, {5, 6}));
  const DenseMatrix expected = Make(3, 3, {1, 2, 5, 3, 4, 6, 5, 6, 9});
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) EXPECT_EQ(wide(i, j), expected(i, j)) << i << "," << j;

  const DenseMatrix a = Make(2, 3, {1, 2, 3, 4, 5, 6});
  const DenseMatrix at = Transpose(a);
  ASSERT_EQ(at.rows, 3);
  EXPECT_EQ(at(2, 1), 6.0);
  const DenseMatrix p = Product(a, at);
  ASSERT_EQ(p.rows, 2);
  ASSERT_EQ(p.columns, 2);
  EXPECT_EQ(p(0, 0), 14.0);
  EXPECT_EQ(p(0, 1), 32.0);
  EXPECT_EQ(p(1, 1), 77.0);

  EXPECT_DOUBLE_EQ(RootMeanSquare(Make(1, 2, {3, 4})), std::sqrt(12.5));
}

TEST_F(InCurrentFolder, MatrixTextInBothKinds) {
  const DenseMatrix column = Make(2, 1, {1.5, -2});
  EXPECT_TRUE(WriteMatrixText(column, "rows.txt", MatrixTextKind::MatrixLayoutOne));
  EXPECT_EQ(Read("rows.txt"), "2 1\r\n1.500000e+00 \r\n-2.000000e+00 \r\n");
  EXPECT_FALSE(WriteMatrixText(column, "no-such-folder/file.txt", MatrixTextKind::MatrixLayoutOne));

  EXPECT_TRUE(WriteMatrixText(Make(2, 2, {0.5, 0, 0, 0.25}), "inverse_matrix.txt", MatrixTextKind::InverseDump));
  EXPECT_EQ(Read("inverse_matrix.txt"), Utf16("0.500000 0.000000 \r\n0.000000 0.250000 \r\n"));
}

}  // namespace
}  // namespace gridora
