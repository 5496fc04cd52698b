#include <fmt/printf.h>
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "geostat/kriging_checks.h"
#include "geostat/kriging_prediction.h"
#include "geostat/kriging_state.h"
#include "geostat/kriging_test_support.h"
#include "linalg/matrix_text.h"
#include "linalg/system_inverse.h"
#include "platform/trace.h"
#include "support/dense_solve.h"

namespace gridora {
namespace {

using test::CrLfLines;
using test::FromUtf16;

const DataPoint kPrimary[] = {{0, 0, 1}, {1, 0, 2}, {0, 1, 3}, {2, 2, 0.5}, {3, 1, 4}};
const DataPoint kSecondary[] = {{0.5, 0.5, 10}, {2, 0, 14}, {1, 2, 11}};

class Kriging : public test::InTempFolderTest {
 protected:
  // Simple kriging with a = 2, c = 1 on the five primary points.
  void SetUpSimple() {
    state_ = std::make_unique<KrigingState>(Folder(), 0);
    state_->LoadVariable(5, kPrimary, 0, nullptr);
    state_->primary->a = 2.0;
    state_->primary->c = 1.0;
    state_->primary->BuildKrigingMatrix();
    ASSERT_EQ(state_->InvertSystem(state_->primary->covarianceMatrix, nullptr).kind, OutcomeKind::Done);
  }
  // Cokriging with three secondary points (n1 != n2) and a weak cross covariance.
  void SetUpCokriging() {
    SetUpSimple();
    state_->LoadVariable(3, kSecondary, 1, nullptr);
    state_->secondary->a = 1.5;
    state_->secondary->c = 0.8;
    state_->secondary->BuildKrigingMatrix();
    state_->cross = std::make_unique<VariogramModel>(Folder(), 0);
    state_->cross->SetCross(state_->primary.get(), state_->secondary.get());
    state_->cross->a = 2.0;
    state_->cross->c = 0.3;
    state_->cross->BuildKrigingMatrix();
    ASSERT_EQ(state_->InvertSystem(state_->CokrigingSystem(), nullptr).kind, OutcomeKind::Done);
  }
  std::unique_ptr<KrigingState> state_;
};

TEST_F(Kriging, SimpleKrigingAgreesWithADirectSolveOfTheCovarianceSystem) {
  SetUpSimple();
  const VariogramModel& m = *state_->primary;
  std::vector<std::vector<double>> K(5, std::vector<double>(5));
  for (int i = 0; i < 5; ++i)
    for (int j = 0; j < 5; ++j)
      K[i][j] = std::exp(-std::hypot(kPrimary[i].x - kPrimary[j].x, kPrimary[i].y - kPrimary[j].y) / 2.0);
  for (auto [x, y] : {std::pair{0.5, 0.5}, std::pair{2.5, -1.0}, std::pair{1.0, 1.7}}) {
    std::vector<double> k(5);
    for (int i = 0; i < 5; ++i) k[i] = std::exp(-std::hypot(x - kPrimary[i].x, y - kPrimary[i].y) / 2.0);
    const std::vector<double> w = test::SolveDense(K, k);
    double s = 0;
    for (int i = 0; i < 5; ++i) s += w[i] * (m.values[i] - m.residualMean);
    const double expected = (s + m.residualMean) * m.standardDeviation + m.mean;
    EXPECT_NEAR(m.Predict(x, y, state_->inverse.get()), expected, 1e-10);
    EXPECT_NEAR(m.PredictWithWeights(x, y, m.ResidualWeights(*state_->inverse)), expected, 1e-10);
  }
}

TEST_F(Kriging, EstimatesReproduceTheDataAndTendToTheMeanFarAway) {
  SetUpSimple();
  const VariogramModel& m = *state_->primary;
  const std::vector<double> beta = m.ResidualWeights(*state_->inverse);
  for (const DataPoint& p : kPrimary) EXPECT_NEAR(m.PredictWithWeights(p.x, p.y, beta), p.z, 1e-9);
  EXPECT_NEAR(m.PredictWithWeights(1e4, -1e4, beta), m.mean, 1e-12);
}

TEST_F(Kriging, FilesOfTheSystemAndItsInverse) {
  SetUpSimple();
  const auto matrix = CrLfLines(Bytes("kriging_matrix.txt"));
  ASSERT_EQ(matrix.size(), 6u);
  EXPECT_EQ(matrix[0], "5 5");
  EXPECT_EQ(matrix[1].rfind("1.000000e+00 6.065307e-01 ", 0), 0u) << matrix[1];
  const auto inverse = CrLfLines(Bytes("kriging_matrix_inv.txt"));
  ASSERT_EQ(inverse.size(), 6u);
  EXPECT_EQ(inverse[1], fmt::sprintf("%e %e %e %e %e ", (*state_->inverse)(0, 0), (*state_->inverse)(0, 1),
                                     (*state_->inverse)(0, 2), (*state_->inverse)(0, 3), (*state_->inverse)(0, 4)));
  const auto dump = CrLfLines(FromUtf16(Bytes("inverse_matrix.txt")));
  ASSERT_EQ(dump.size(), 5u);
  EXPECT_EQ(dump[4].rfind(fmt::sprintf("%f ", (*state_->inverse)(4, 0)), 0), 0u);
}

TEST_F(Kriging, CokrigingBlockSystemHoldsTheCrossBlockAndItsMirror) {
  SetUpCokriging();
  const DenseMatrix system = state_->CokrigingSystem();
  ASSERT_EQ(system.rows, 8);
  ASSERT_EQ(system.columns, 8);
  const DenseMatrix& k12 = state_->cross->covarianceMatrix;
  ASSERT_EQ(k12.rows, 5);
  ASSERT_EQ(k12.columns, 3);
  for (int i = 0; i < 5; ++i)
    for (int j = 0; j < 3; ++j) {
      EXPECT_EQ(system(i, 5 + j), k12(i, j));
      EXPECT_EQ(system(5 + j, i), k12(i, j));
    }
  EXPECT_EQ(system(6, 7), state_->secondary->covarianceMatrix(1, 2));
  EXPECT_EQ(state_->SystemSize(), 8);
  EXPECT_TRUE(Exists("kriging_matrix_c22.txt"));
  EXPECT_EQ(CrLfLines(Bytes("kriging_matrix_c12.txt"))[0], "5 3");
}

TEST_F(Kriging, CokrigingAgreesWithADirectSolveAndReproducesThePrimaryData) {
  SetUpCokriging();
  const DenseMatrix system = state_->CokrigingSystem();
  std::vector<std::vector<double>> K(8, std::vector<double>(8));
  for (int i = 0; i < 8; ++i)
    for (int j = 0; j < 8; ++j) K[i][j] = system(i, j);
  const VariogramModel& p = *state_->primary;
  const VariogramModel& s = *state_->secondary;
  const std::vector<double> beta = state_->CoResidualWeights(*state_->inverse);
  for (auto [x, y] : {std::pair{0.7, 0.2}, std::pair{3.0, 3.0}}) {
    std::vector<double> k(8);
    for (int i = 0; i < 5; ++i) k[i] = std::exp(-std::hypot(x - kPrimary[i].x, y - kPrimary[i].y) / 2.0);
    for (int j = 0; j < 3; ++j) k[5 + j] = 0.3 * std::exp(-std::hypot(x - kSecondary[j].x, y - kSecondary[j].y) / 2.0);
    const std::vector<double> w = test::SolveDense(K, k);
    double sum = 0;
    for (int i = 0; i < 5; ++i) sum += w[i] * (p.values[i] - p.residualMean);
    for (int j = 0; j < 3; ++j) sum += w[5 + j] * (s.values[j] - s.residualMean);
    const double expected = (sum + p.residualMean) * p.standardDeviation + p.mean;
    EXPECT_NEAR(state_->CoPredict(x, y, state_->inverse.get(), nullptr), expected, 1e-10);
    EXPECT_NEAR(state_->CoPredictWithWeights(x, y, beta), expected, 1e-10);
  }
  for (const DataPoint& point : kPrimary)
    EXPECT_NEAR(state_->CoPredictWithWeights(point.x, point.y, beta), point.z, 1e-9);
}

TEST_F(Kriging, CoPredictWithoutAnInverseSaysNull) {
  SetUpCokriging();
  test::FakeUserInterface ui;
  EXPECT_EQ(state_->CoPredict(1, 1, nullptr, &ui), 0.0);
  EXPECT_EQ(ui.messages, std::vector<std::string>{"NULL"});
}

TEST_F(Kriging, VerificationFilesListTheDataBesideTheirEstimates) {
  SetUpSimple();
  WriteVerification(*state_);
  auto lines = CrLfLines(FromUtf16(Bytes("verification.txt")));
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[1], fmt::sprintf(" 1 %f %f %f %f ", 1.0, 0.0, 2.0, 2.0));
  EXPECT_FALSE(Exists("cokriging_verification.txt"));

  SetUpCokriging();
  WriteVerification(*state_);
  lines = CrLfLines(FromUtf16(Bytes("cokriging_verification.txt")));
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_EQ(lines[4], fmt::sprintf(" 4 %f %f %f %f ", 3.0, 1.0, 4.0, 4.0));
}

TEST_F(Kriging, GridPredictionFillsEveryNodeOrStopsAtACancel) {
  SetUpSimple();
  const NodeLayout layout{0.0f, 0.0f, 1.0f, 0.5f, 4, 3};
  std::vector<float> values(12, -1.0f);
  Outcome grid = PredictGrid(*state_, layout, values.data(), nullptr);
  ASSERT_EQ(grid.kind, OutcomeKind::Done);
  EXPECT_NEAR(values[0 * 3 + 0], 1.0, 1e-6);  // node (0, 0) on point 0
  EXPECT_NEAR(values[1 * 3 + 0], 2.0, 1e-6);  // node (1, 0) on point 1
  EXPECT_NEAR(values[0 * 3 + 2], 3.0, 1e-6);  // node (0, 2) at y = 1

  class CancelAtOnce : public Feedback {
   public:
    void SetProgress(double) override {}
    bool IsCanceled() const override { return true; }
  } cancel;
  std::vector<float> untouched(12, -1.0f);
  grid = PredictGrid(*state_, layout, untouched.data(), &cancel);
  EXPECT_EQ(grid.kind, OutcomeKind::Canceled);
  EXPECT_EQ(untouched, std::vector<float>(12, -1.0f));
}

TEST_F(Kriging, TracesAppearOnlyWhenAskedForAndDoNotChangeTheEstimates) {
  SetUpCokriging();
  const NodeLayout layout{0.0f, 0.0f, 1.0f, 1.0f, 3, 2};
  std::vector<float> quiet(6), traced(6);
  testing::internal::CaptureStdout();
  PredictGrid(*state_, layout, quiet.data(), nullptr);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");

  SetTraceEnabled(true);
  testing::internal::CaptureStdout();
  PredictGrid(*state_, layout, traced.data(), nullptr);
  const std::string trace = testing::internal::GetCapturedStdout();
  SetTraceEnabled(false);
  for (int k = 0; k < 6; ++k) EXPECT_NEAR(traced[k], quiet[k], 1e-5);
  // Per node: a line per primary and per secondary point, the weights, the sums.
  EXPECT_NE(trace.find("0 5 "), std::string::npos);
  EXPECT_NE(trace.find("8 1\n"), std::string::npos);
}

// ---- the inverse ----

DenseMatrix FromRows(std::initializer_list<std::initializer_list<double>> rows) {
  DenseMatrix m(static_cast<int>(rows.size()), static_cast<int>(rows.begin()->size()));
  int i = 0;
  for (auto row : rows) {
    int j = 0;
    for (double v : row) m(i, j++) = v;
    ++i;
  }
  return m;
}

TEST(SystemInverse, InvertsPositiveDefiniteIndefiniteAndRefusesSingularMatrices) {
  SystemInverse r = InvertSystemMatrix(FromRows({{2, 0}, {0, 4}}), nullptr);
  ASSERT_EQ(r.outcome.kind, OutcomeKind::Done);
  EXPECT_DOUBLE_EQ(r.inverse(0, 0), 0.5);
  EXPECT_DOUBLE_EQ(r.inverse(1, 1), 0.25);
  EXPECT_EQ(r.inverse(0, 1), 0.0);

  // A zero first pivot: no Cholesky, but the pivoting LU inverts it.
  r = InvertSystemMatrix(FromRows({{0, 1}, {1, 0}}), nullptr);
  ASSERT_EQ(r.outcome.kind, OutcomeKind::Done);
  EXPECT_DOUBLE_EQ(r.inverse(0, 1), 1.0);
  EXPECT_EQ(r.inverse(0, 0), 0.0);

  // A non-symmetric matrix comes back as its own inverse, not its transpose's.
  r = InvertSystemMatrix(FromRows({{0, 2}, {1, 0}}), nullptr);
  ASSERT_EQ(r.outcome.kind, OutcomeKind::Done);
  EXPECT_DOUBLE_EQ(r.inverse(0, 1), 1.0);
  EXPECT_DOUBLE_EQ(r.inverse(1, 0), 0.5);

  EXPECT_EQ(InvertSystemMatrix(FromRows({{1, 1}, {1, 1}}), nullptr).outcome.kind, OutcomeKind::Singular);
  EXPECT_EQ(InvertSystemMatrix(FromRows({{1, 2, 3}}), nullptr).outcome.kind, OutcomeKind::Singular);
}

TEST(SystemInverse, BlockedFactorisationOfALargeSystemAndItsCancel) {
  // Covariances of 600 random points: more than two blocks of the factorisation.
  const int n = 600;
  std::mt19937 random(7);
  std::uniform_real_distribution<double> u(0, 100);
  std::vector<double> x(n), y(n);
  for (int i = 0; i < n; ++i) x[i] = u(random), y[i] = u(random);
  DenseMatrix K(n, n);
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j) K(i, j) = std::exp(-std::hypot(x[i] - x[j], y[i] - y[j]) / 10.0);
  const SystemInverse r = InvertSystemMatrix(K, nullptr);
  ASSERT_EQ(r.outcome.kind, OutcomeKind::Done);
  double worst = 0;
  for (int i = 0; i < n; i += 37)
    for (int j = 0; j < n; ++j) {
      double s = 0;
      for (int k = 0; k < n; ++k) s += K(i, k) * r.inverse(k, j);
      worst = std::max(worst, std::fabs(s - (i == j ? 1.0 : 0.0)));
    }
  EXPECT_LT(worst, 1e-9);
  EXPECT_EQ(r.inverse(3, 17), r.inverse(17, 3));

  class CancelAfter : public Feedback {
   public:
    void SetProgress(double) override { ++reports; }
    bool IsCanceled() const override { return reports >= 1; }
    int reports = 0;
  } cancel;
  const SystemInverse canceled = InvertSystemMatrix(K, &cancel);
  EXPECT_EQ(canceled.outcome.kind, OutcomeKind::Canceled);
  EXPECT_EQ(canceled.inverse.rows, 0);
}

TEST_F(Kriging, InversionThatFailsKeepsTheOldInverseAndWritesNothing) {
  SetUpSimple();
  const DenseMatrix* before = state_->inverse.get();
  std::filesystem::remove("kriging_matrix_inv.txt");
  EXPECT_EQ(state_->InvertSystem(FromRows({{1, 1}, {1, 1}}), nullptr).kind, OutcomeKind::Singular);
  EXPECT_EQ(state_->inverse.get(), before);
  EXPECT_FALSE(Exists("kriging_matrix_inv.txt"));
}

// ---- the fast matrix dumps ----

// The dumps as printf writes them, entry by entry: the oracle of the fast writers.
std::string PrintfDump(const DenseMatrix& A, MatrixTextKind kind) {
  const bool layoutOne = kind == MatrixTextKind::MatrixLayoutOne;
  std::string text = layoutOne ? fmt::sprintf("%d %d\r\n", A.rows, A.columns) : std::string();
  for (int i = 0; i < A.rows; ++i) {
    for (int j = 0; j < A.columns; ++j) text += fmt::sprintf(layoutOne ? "%e " : "%f ", A(i, j));
    text += "\r\n";
  }
  if (layoutOne) return text;
  std::string wide("\xFF\xFE", 2);
  for (char c : text) wide += std::string{c, '\0'};
  return wide;
}

TEST_F(Kriging, FastDumpsWriteWhatTheGeneralRoutinesWrite) {
  DenseMatrix m(40, 3);
  for (int i = 0; i < 40; ++i)
    for (int j = 0; j < 3; ++j) m(i, j) = (i - 20) * std::pow(10.0, j * 3 - 4) / 7.0;
  ASSERT_TRUE(WriteMatrixText(m, "fast.txt", MatrixTextKind::MatrixLayoutOne));
  EXPECT_EQ(Bytes("fast.txt"), PrintfDump(m, MatrixTextKind::MatrixLayoutOne));

  const SystemInverse inverse = InvertSystemMatrix(FromRows({{2, 0.5}, {0.5, 4}}), nullptr);
  ASSERT_TRUE(inverse.outcome.Done());
  ASSERT_TRUE(WriteMatrixText(inverse.inverse, "fast_inverse.txt", MatrixTextKind::InverseDump));
  EXPECT_EQ(Bytes("fast_inverse.txt"), PrintfDump(inverse.inverse, MatrixTextKind::InverseDump));
  EXPECT_FALSE(WriteMatrixText(m, Folder() + "/no/such/folder/x.txt", MatrixTextKind::MatrixLayoutOne));
}

// ---- refusals ----

TEST(KrigingChecks, CoincidentPointsAreFoundAndNamed) {
  const DataPoint points[] = {{0, 0, 1}, {5, 5, 2}, {1, 1, 3}, {5, 5, 4}, {1, 1, 5}};
  const auto found = FindCoincidentPoints(5, points);
  ASSERT_TRUE(found);
  EXPECT_EQ(found->first, 1);
  EXPECT_EQ(found->second, 3);
  EXPECT_EQ(found->pairs, 2);
  const auto message = CheckVariogramData("primary", 5, points);
  ASSERT_TRUE(message);
  EXPECT_NE(message->find("No.2 and No.4"), std::string::npos) << *message;
  EXPECT_NE(message->find("(5.000000, 5.000000)"), std::string::npos);
  EXPECT_NE(message->find("2 pairs"), std::string::npos);
  EXPECT_FALSE(FindCoincidentPoints(3, points));
}

TEST(KrigingChecks, TooFewPointsAndEqualValuesAreRefused) {
  const DataPoint flat[] = {{0, 0, 7}, {1, 0, 7}, {0, 1, 7}};
  auto message = CheckVariogramData("secondary", 3, flat);
  ASSERT_TRUE(message);
  EXPECT_NE(message->find("All 3 values of the secondary data are equal"), std::string::npos) << *message;
  message = CheckVariogramData("primary", 1, flat);
  ASSERT_TRUE(message);
  EXPECT_NE(message->find("at least two points"), std::string::npos);
  const DataPoint fine[] = {{0, 0, 7}, {1, 0, 8}};
  EXPECT_FALSE(CheckVariogramData("primary", 2, fine));
}

TEST(KrigingChecks, SystemsThatDoNotFitInMemoryAreRefusedWithTheirSize) {
  const double need = VariogramMemoryNeed(1000000, 0);
  EXPECT_GT(need, 3.0 * 8e12);  // three n x n matrices of doubles at least
  const auto message = CheckMemory("Kriging 1000000 data points", need);
  ASSERT_TRUE(message);
  EXPECT_NE(message->find("needs about"), std::string::npos) << *message;
  EXPECT_NE(message->find(" GB"), std::string::npos);
  EXPECT_FALSE(CheckMemory("Kriging 10 data points", VariogramMemoryNeed(10, 0)));
  EXPECT_GT(VariogramMemoryNeed(100, 50), VariogramMemoryNeed(100, 0));
}

TEST(MatrixText, FastNumberFormsAreThoseOfPrintf) {
  std::mt19937_64 random(99);
  std::uniform_real_distribution<double> unit(-1.0, 1.0);
  std::uniform_int_distribution<int> decade(-40, 40);
  std::vector<double> values = {0.0,       -0.0,      1.0,          -1.0,         0.5,
                                1e-7,      5e-7,      4.9999995e-7, 0.0000005,    0.0000015,
                                9.9999995, 9.9999996, 999999.5,     123456789.0,  1e22,
                                1e-22,     1e-300,    5e-324,       1e300,        1.7976931348623157e308,
                                0.1,       0.7,       2.5e-5,       1234.5678905, 1e15,
                                9.5e14,    NAN,       INFINITY,     -INFINITY};
  for (int i = 0; i < 100000; ++i) values.push_back(unit(random) * std::pow(10.0, decade(random)));
  // Values on a six-decimal grid (ties of the binary values nearest to them).
  for (int i = 0; i < 20000; ++i) values.push_back(std::round(unit(random) * 1e9) / 1e6 + 5e-7);
  int mismatches = 0;
  for (double v : values) {
    std::string e, f;
    AppendExponent(e, v);
    AppendFixed(f, v);
    if (e != fmt::sprintf("%e", v) || f != fmt::sprintf("%f", v)) {
      if (++mismatches < 10) ADD_FAILURE() << fmt::sprintf("%.17g: %s %s", v, e, f);
    }
  }
  EXPECT_EQ(mismatches, 0);
}

}  // namespace
}  // namespace gridora
