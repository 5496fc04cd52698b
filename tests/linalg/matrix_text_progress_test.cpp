// The large matrix dumps under the window: written aside with progress, renamed into
// place when whole, and a Cancel keeps what was under the name. The in-place writer of
// the batch mode is the oracle for the bytes.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "linalg/matrix_text.h"
#include "platform/diagnostic_file.h"
#include "support/test_support.h"

namespace gridora {
namespace {

class CancelAtPoll : public Feedback {
 public:
  CancelAtPoll(int cancelAt, int& polls) : cancelAt_(cancelAt), polls_(polls) {}
  void SetProgress(double) override {}
  bool IsCanceled() const override { return ++polls_ >= cancelAt_; }

 private:
  int cancelAt_;
  int& polls_;
};

// 2,100 rows: three blocks of rows, so a Cancel can come between them.
DenseMatrix Sample() {
  DenseMatrix A(2100, 3);
  for (int i = 0; i < A.rows; ++i)
    for (int j = 0; j < A.columns; ++j) A(i, j) = (i - 1000) * 0.37 + j / 7.0;
  return A;
}

struct MakerScope {
  explicit MakerScope(DiagnosticProgressMaker maker) { SetDiagnosticProgressMaker(std::move(maker)); }
  ~MakerScope() { SetDiagnosticProgressMaker({}); }
};

bool OnlyFileIn(const std::filesystem::path& folder) {
  int files = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder)) ++files;
  return files == 1;
}

TEST(MatrixTextWithProgress, SameBytesAsInPlaceAndACancelKeepsTheFileThatWasThere) {
  const DenseMatrix A = Sample();
  test::TempFolder inPlace;
  ASSERT_TRUE(WriteMatrixText(A, inPlace.Path() / "m.txt", MatrixTextKind::MatrixLayoutOne, 1));
  ASSERT_TRUE(WriteMatrixText(A, inPlace.Path() / "inv.txt", MatrixTextKind::InverseDump, 1));
  struct Case {
    MatrixTextKind kind;
    const char* name;
    int cancelAt;  // the poll that cancels; 0: none does
  };
  const Case cases[] = {{MatrixTextKind::MatrixLayoutOne, "m.txt", 0},
                        {MatrixTextKind::InverseDump, "inv.txt", 0},
                        {MatrixTextKind::MatrixLayoutOne, "m.txt", 1},
                        {MatrixTextKind::InverseDump, "inv.txt", 2},
                        {MatrixTextKind::MatrixLayoutOne, "m.txt", 3}};  // after the last block
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " cancelled at poll " + std::to_string(c.cancelAt));
    test::TempFolder folder;
    const auto path = folder.Path() / c.name;
    test::WriteFileBytes(path, "the file of an earlier run");
    int polls = 0, made = 0;
    MakerScope scope([&](const std::string& title) -> std::unique_ptr<Feedback> {
      ++made;
      EXPECT_EQ(title, std::string("Writing ") + c.name);
      return std::make_unique<CancelAtPoll>(c.cancelAt == 0 ? 1 << 30 : c.cancelAt, polls);
    });
    const bool written = WriteMatrixText(A, path, c.kind, 1);
    EXPECT_EQ(made, 1);
    EXPECT_EQ(polls, c.cancelAt == 0 ? 3 : c.cancelAt);
    EXPECT_EQ(written, c.cancelAt == 0);
    EXPECT_EQ(test::ReadFileBytes(path),
              c.cancelAt == 0 ? test::ReadFileBytes(inPlace.Path() / c.name) : "the file of an earlier run");
    EXPECT_TRUE(OnlyFileIn(folder.Path())) << "no staged file is left";
  }
}

TEST(MatrixTextWithProgress, SmallMatricesAndTheBatchModeWriteInPlaceWithoutProgress) {
  const DenseMatrix A = Sample();
  test::TempFolder folder;
  int made = 0;
  {
    MakerScope scope([&](const std::string&) -> std::unique_ptr<Feedback> {
      ++made;
      return nullptr;
    });
    EXPECT_TRUE(WriteMatrixText(A, folder.Path() / "small.txt", MatrixTextKind::MatrixLayoutOne));
    EXPECT_EQ(made, 0) << "6,300 entries is below the size that gets a progress";
  }
  // No maker at all (the batch mode): in place.
  EXPECT_TRUE(WriteMatrixText(A, folder.Path() / "batch.txt", MatrixTextKind::MatrixLayoutOne, 1));
  EXPECT_EQ(test::ReadFileBytes(folder.Path() / "small.txt"), test::ReadFileBytes(folder.Path() / "batch.txt"));
}

}  // namespace
}  // namespace gridora
