#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <random>

#include "commands/command_ids.h"
#include "dialogs/dialogs.h"
#include "geostat/kriging_file_size.h"
#include "geostat/kriging_state.h"
#include "geostat/kriging_test_support.h"
#include "support/test_support.h"

namespace gridora {
namespace {

void FillRandom(RandomData& data, int n, unsigned seed, double scale) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> position(0.0, 100.0), noise(-0.5, 0.5);
  data.count = 0;
  data.StartRanges();
  for (int i = 0; i < n; ++i) {
    const DataPoint p{position(random), position(random), 0.0};
    const DataPoint q{p.x, p.y, scale * (std::sin(p.x / 20.0) + std::cos(p.y / 30.0) + noise(random))};
    data.points[data.count++] = q;
    data.ExtendRanges(q);
  }
}

// The estimate that decides whether to ask, against the files a run really writes.
class KrigingMatrixFiles : public test::InTempFolderTest {
 protected:
  void SetUp() override {
    test::InTempFolderTest::SetUp();
    f.doc->dataFolder = Folder();
  }
  std::uintmax_t WrittenBytes() const {
    std::uintmax_t bytes = 0;
    for (const char* name :
         {"kriging_matrix.txt", "kriging_matrix_inv.txt", "inverse_matrix.txt", "kriging_matrix_c22.txt",
          "kriging_matrix_c12.txt", "cokriging_matrix.txt", "cross_distance_matrix.txt",
          "cross_dissimilarity_matrix.txt", "variogram_cloud_cross.txt"})
      if (Exists(name)) bytes += std::filesystem::file_size(folder_ / name);
    return bytes;
  }
  test::DocumentFixture f;
};

TEST_F(KrigingMatrixFiles, EstimateIsCloseToWhatARunWrites) {
  struct Case {
    int n1, n2;
  };
  for (const Case c : {Case{300, 0}, Case{160, 120}}) {
    FillRandom(*f.doc->primaryData, c.n1, 1, 3.0);
    if (c.n2 > 0) {
      f.doc->secondaryData = CreateRandomData();
      FillRandom(*f.doc->secondaryData, c.n2, 2, 10.0);
    }
    for (int k = 0; k < (c.n2 > 0 ? 3 : 1); ++k)
      f.ui.dialogHandlers.push_back([](DialogData& dialog) {
        dynamic_cast<FloatDialog&>(dialog).value = 10.0f;
        return true;
      });
    ASSERT_EQ(f.Run(ID_VARIOGRAM), CommandStatus::Done);
    const double written = static_cast<double>(WrittenBytes());
    const double estimate = KrigingMatrixFileBytes(static_cast<std::size_t>(c.n1), static_cast<std::size_t>(c.n2));
    EXPECT_NEAR(estimate / written, 1.0, 0.15) << c.n1 << " " << c.n2 << ": " << written;
    EXPECT_TRUE(f.ui.questions.empty());  // far below the size that asks
  }
}

TEST(KrigingMatrixFileSize, AsksFromAboutFourThousandSevenHundredPoints) {
  EXPECT_FALSE(MatrixFilesQuestion(4000, 0));
  EXPECT_FALSE(MatrixFilesQuestion(2000, 1000));
  const std::optional<std::string> question = MatrixFilesQuestion(5000, 0);
  ASSERT_TRUE(question);
  EXPECT_NE(question->find("kriging 5000 data points"), std::string::npos) << *question;
  EXPECT_NE(question->find("about 1.1 GB"), std::string::npos) << *question;
  EXPECT_TRUE(MatrixFilesQuestion(3000, 2000));
}

// A run told not to write them writes none of the matrix files, and still inverts.
TEST_F(KrigingMatrixFiles, ARunWithoutMatrixFilesWritesNone) {
  FillRandom(*f.doc->primaryData, 40, 1, 3.0);
  KrigingState state(Folder(), 0);
  state.writeMatrixFiles = false;
  state.LoadVariable(40, f.doc->primaryData->points.get(), 0, nullptr);
  state.primary->writeMatrixFiles = false;
  state.primary->BuildKrigingMatrix();
  ASSERT_EQ(state.InvertSystem(state.primary->covarianceMatrix, nullptr), SystemInverseStatus::Inverted);
  EXPECT_EQ(WrittenBytes(), 0u);
  EXPECT_TRUE(state.inverse);
}

}  // namespace
}  // namespace gridora
