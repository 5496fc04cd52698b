#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "geostat/kriging_prediction.h"
#include "geostat/kriging_state.h"
#include "geostat/kriging_test_support.h"
#include "geostat/local_prediction.h"
#include "platform/number_text.h"

namespace gridora {
namespace {

using test::CrLfLines;
using test::FromUtf16;

class LocalPredictionTest : public test::InTempFolderTest {
 protected:
  void SetUp() override {
    test::InTempFolderTest::SetUp();
    std::mt19937 random(21);
    std::uniform_real_distribution<double> position(0.0, 50.0), noise(-0.1, 0.1);
    for (int i = 0; i < 80; ++i) {
      const double x = position(random), y = position(random);
      points_.push_back({x, y, 20.0 + std::sin(x / 9.0) * std::cos(y / 7.0) + noise(random)});
    }
    state_ = std::make_unique<KrigingState>(Folder(), 0);
    state_->LoadVariable(80, points_.data(), 0, nullptr);
    state_->primary->a = 9.0;
    state_->primary->c = 1.0;
    state_->primary->BuildKrigingMatrix();
    ASSERT_EQ(state_->InvertSystem(state_->primary->covarianceMatrix, nullptr).kind, OutcomeKind::Done);
    model_.range = 9.0;
    model_.sill = 1.0;
  }
  std::vector<DataPoint> points_;
  std::unique_ptr<KrigingState> state_;
  CovarianceModel model_;
};

// Every point in the neighbourhood: the global grid, in the data's units, with empty
// nodes taking the mean when a distance limit leaves them without points.
TEST_F(LocalPredictionTest, GridsInTheDataUnitsLikeTheGlobalPrediction) {
  const NodeLayout layout{-20.0f, -20.0f, 3.0f, 3.0f, 31, 31};
  std::vector<float> global(31 * 31), local(31 * 31), errors(31 * 31);
  std::vector<std::uint8_t> empty(31 * 31);
  ASSERT_EQ(PredictGrid(*state_, layout, global.data(), nullptr).kind, OutcomeKind::Done);
  const LocalPrediction all = PredictGridLocally(*state_->primary, model_, LocalKrigingType::Simple, {80, 0.0, 3},
                                                 layout, local.data(), errors.data(), empty.data(), nullptr);
  EXPECT_EQ(all.grid.emptyNodes, 0u);
  for (std::size_t k = 0; k < local.size(); ++k) {
    EXPECT_NEAR(local[k], global[k], 1e-5f * std::fabs(global[k]));
    EXPECT_GE(errors[k], 0.0f);
    EXPECT_LE(errors[k], static_cast<float>(state_->primary->standardDeviation * 1.0001));
  }
  const LocalPrediction near = PredictGridLocally(*state_->primary, model_, LocalKrigingType::Ordinary, {16, 6.0, 3},
                                                  layout, local.data(), errors.data(), empty.data(), nullptr);
  ASSERT_GT(near.grid.emptyNodes, 0u);
  std::size_t marked = 0;
  for (std::size_t k = 0; k < local.size(); ++k)
    if (empty[k]) {
      ++marked;
      EXPECT_FLOAT_EQ(local[k], static_cast<float>(state_->primary->mean));
      EXPECT_EQ(errors[k], 0.0f);
    }
  EXPECT_EQ(marked, near.grid.emptyNodes);
}

TEST_F(LocalPredictionTest, VerificationReproducesTheDataWithoutNugget) {
  WriteLocalVerification(*state_->primary, model_, LocalKrigingType::Ordinary, {12, 0.0, 3});
  const auto lines = CrLfLines(FromUtf16(Bytes("verification.txt")));
  ASSERT_EQ(lines.size(), 80u);
  for (int j = 0; j < 80; ++j) {
    double numbers[5] = {};
    std::size_t pos = 0;
    for (double& v : numbers) ASSERT_TRUE(ScanDouble(lines[j], pos, v)) << lines[j];
    EXPECT_EQ(numbers[0], j);
    EXPECT_NEAR(numbers[4], numbers[3], 2e-6);
  }
}

}  // namespace
}  // namespace gridora
