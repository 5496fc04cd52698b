#include "geostat/kriging_state.h"

#include <algorithm>
#include <filesystem>

#include <cmath>
#include "linalg/matrix_text.h"
#include "platform/feedback.h"
#include "platform/trace.h"
#include "platform/user_interface.h"

namespace gridora {

KrigingState::KrigingState(std::string folder, int showMessages)
    : folder(std::move(folder)),
      showMessages(showMessages),
      primary(std::make_unique<VariogramModel>(this->folder, showMessages)) {}

bool KrigingState::LoadVariable(int n, const DataPoint* points, int secondaryFlag, UserInterface* ui,
                                bool withMatrices) {
  if (!primary) return false;
  // SetData centres the values in place; the document's points never change.
  std::vector<double> xs(static_cast<std::size_t>(n)), ys(xs), zs(xs);
  for (int i = 0; i < n; ++i) {
    xs[i] = points[i].x;
    ys[i] = points[i].y;
    zs[i] = points[i].z;
  }
  VariogramModel* model = primary.get();
  int kind = 0;
  if (secondaryFlag == 1) {
    secondary = std::make_unique<VariogramModel>(folder, showMessages);
    model = secondary.get();
    kind = 1;
  }
  if (withMatrices)
    model->SetData(n, xs.data(), ys.data(), zs.data(), kind, ui);
  else
    model->SetDataWithoutMatrices(n, xs.data(), ys.data(), zs.data(), kind, ui);
  return true;
}

bool KrigingState::HasSecondary() const { return secondary && secondary->count > 0; }

bool KrigingState::Ordinary() const {
  return primary && !HasSecondary() && primary->options.type == KrigingType::Ordinary;
}

int KrigingState::SystemSize() const {
  const int n1 = primary ? primary->count : 0;
  if (HasSecondary()) return n1 + secondary->count;
  return Ordinary() ? n1 + BorderSize() : n1;
}

DenseMatrix KrigingState::OrdinarySystem() const {
  return BorderedSystem(primary->covarianceMatrix, drift.get(), primary->x, primary->y);
}

void KrigingState::BorderAt(double x, double y, double* f) const {
  if (drift)
    drift->At(x, y, f);
  else
    f[0] = 1.0;
}

DenseMatrix BorderedSystem(const DenseMatrix& K, const DriftBasis* drift, const std::vector<double>& x,
                           const std::vector<double>& y) {
  if (!drift) return BorderedSystem(K);
  const int n = K.rows, p = drift->Count();
  DenseMatrix system(n + p, n + p);
  std::vector<double> f(static_cast<std::size_t>(p));
  for (int i = 0; i < n; ++i) {
    std::copy(K.values[i], K.values[i] + n, system.values[i]);
    drift->At(x[i], y[i], f.data());
    for (int l = 0; l < p; ++l) {
      system(i, n + l) = f[l];
      system(n + l, i) = f[l];
    }
  }
  return system;
}

DenseMatrix BorderedSystem(const DenseMatrix& K) {
  const int n = K.rows;
  DenseMatrix system(n + 1, n + 1);
  for (int i = 0; i < n; ++i) {
    std::copy(K.values[i], K.values[i] + n, system.values[i]);
    system(i, n) = 1.0;
    system(n, i) = 1.0;
  }
  return system;
}

DenseMatrix KrigingState::CokrigingSystem() const {
  return BlockMatrix(primary->covarianceMatrix, secondary->covarianceMatrix, cross->covarianceMatrix);
}

Outcome KrigingState::InvertSystem(const DenseMatrix& M, Feedback* feedback, bool writeFiles) {
  SystemInverse result = InvertSystemMatrix(M, feedback);
  if (!result.outcome.Done()) return result.outcome;
  inverse = std::make_unique<DenseMatrix>(std::move(result.inverse));
  if (writeFiles) WriteInverseFiles();
  return result.outcome;
}

void KrigingState::WriteInverseFiles() const {
  if (!inverse || !writeMatrixFiles) return;
  WriteMatrixText(*inverse, "inverse_matrix.txt", MatrixTextKind::InverseDump);
  WriteMatrixText(*inverse, std::filesystem::path(folder) / "kriging_matrix_inv.txt", MatrixTextKind::MatrixLayoutOne);
}

void KrigingState::AdoptRun(KrigingState&& run) {
  primary = std::move(run.primary);
  secondary = std::move(run.secondary);
  cross = std::move(run.cross);
  inverse = std::move(run.inverse);
  drift = std::move(run.drift);
  crossValidation.reset();
  writeMatrixFiles = run.writeMatrixFiles;
}

// Simple cokriging of the primary variable from the primary and the secondary points.
//
// Both variables are standardised separately. With the covariance matrices K11, K22 of
// the two variables and K12 of the cross model (C12(h) = c12 exp(-h / a12)), the system
//
//     K = [[K11, K12], [K12^T, K22]]
//
// and the covariances k(x) of a position with the primary points (C11) and with the
// secondary points (C12), the estimate is
//
//     z*(x) = m'1 + k(x)^T K^-1 [z'1 - m'1; z'2 - m'2],   z(x) = z*(x) sd1 + mean1.
//
// As in simple kriging, K^-1 [...] is computed once per grid.
namespace {

double Distance(double x, double y, double px, double py) {
  return std::sqrt((y - py) * (y - py) + (x - px) * (x - px));
}

}  // namespace

double KrigingState::CoPredict(double x, double y, const DenseMatrix* inverseMatrix, UserInterface* ui) const {
  const VariogramModel& p = *primary;
  const VariogramModel& s = *secondary;
  const VariogramModel& x12 = *cross;
  const int n1 = p.count, n2 = s.count;
  DenseMatrix k(n1 + n2, 1);
  for (int i = 0; i < n1; ++i) {
    const double d = Distance(x, y, p.x[i], p.y[i]);
    k(i, 0) = p.options.PlainExponential() ? std::exp(-d / p.a) * p.c : p.ModelCovarianceTo(x, y, i);
    Trace("%d %f %f\n", i, d, k(i, 0));
  }
  for (int j = 0; j < n2; ++j) {
    const double d = Distance(x, y, s.x[j], s.y[j]);
    k(n1 + j, 0) = x12.options.PlainExponential() ? std::exp(-d / x12.a) * x12.c : x12.ModelCovarianceTo(x, y, j);
    Trace("%d %d %f %f\n", j, n1 + j, d, k(n1 + j, 0));
  }
  if (!inverseMatrix) {
    if (ui) ui->Message("NULL");
    return 0.0;
  }
  const DenseMatrix w = Product(*inverseMatrix, k);
  if (TraceEnabled()) PrintToConsole(w);
  double sum = 0.0;
  for (int i = 0; i < n1; ++i) {
    Trace("%d %f %f\n", i, w(i, 0), p.values[i]);
    sum += (p.values[i] - p.residualMean) * w(i, 0);
  }
  for (int j = 0; j < n2; ++j) {
    Trace("%d %d %f %f\n", j, n1 + j, w(n1 + j, 0), s.values[j]);
    sum += (s.values[j] - s.residualMean) * w(n1 + j, 0);
  }
  double v = sum + p.residualMean;
  if (p.standardised == 1) v = v * p.standardDeviation + p.mean;
  return v;
}

std::vector<double> KrigingState::CoResidualWeights(const DenseMatrix& inverseMatrix) const {
  const VariogramModel& p = *primary;
  const VariogramModel& s = *secondary;
  const int n1 = p.count, n = n1 + s.count;
  std::vector<double> beta(static_cast<std::size_t>(n), 0.0);
  for (int i = 0; i < n; ++i) {
    const double r = i < n1 ? p.values[i] - p.residualMean : s.values[i - n1] - s.residualMean;
    const double* row = inverseMatrix.values[i];
    for (int j = 0; j < n; ++j) beta[j] += r * row[j];
  }
  return beta;
}

double KrigingState::CoPredictWithWeights(double x, double y, const std::vector<double>& beta) const {
  const VariogramModel& p = *primary;
  const VariogramModel& s = *secondary;
  const VariogramModel& x12 = *cross;
  const int n1 = p.count;
  double sum = 0.0;
  if (p.options.PlainExponential() && x12.options.PlainExponential()) {
    for (int i = 0; i < n1; ++i) sum += std::exp(-Distance(x, y, p.x[i], p.y[i]) / p.a) * p.c * beta[i];
    for (int j = 0; j < s.count; ++j) sum += std::exp(-Distance(x, y, s.x[j], s.y[j]) / x12.a) * x12.c * beta[n1 + j];
  } else {
    for (int i = 0; i < n1; ++i) sum += p.ModelCovarianceTo(x, y, i) * beta[i];
    for (int j = 0; j < s.count; ++j) sum += x12.ModelCovarianceTo(x, y, j) * beta[n1 + j];
  }
  double v = sum + p.residualMean;
  if (p.standardised == 1) v = v * p.standardDeviation + p.mean;
  return v;
}

}  // namespace gridora
