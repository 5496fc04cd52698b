// Simple kriging of one standardised variable with the exponential covariance
//
//     C(h) = c exp(-h / a)
//
// of its fitted variogram. With the covariance matrix K (K_ij = C(d_ij)) and the
// covariances k(x) between a position x and the data points, the estimate is
//
//     z*(x) = m' + k(x)^T K^-1 (z' - m')            (standardised)
//     z(x)  = z*(x) sd + mean                       (the data's own units)
//
// There is no Lagrange row (the mean is taken as known) and no nugget, so the estimate
// reproduces the data at the data points. K^-1 (z' - m') does not depend on x: computed
// once it makes every estimate O(n) instead of the O(n^2) of forming the weights
// K^-1 k(x) at each position.
//
// The options (kriging_options.h) widen this: another model or a nugget replaces C,
// anisotropy measures h after turning and stretching the separation, and ordinary
// kriging borders K with a row and column of ones and a zero (the unknown mean's
// Lagrange multiplier). Then the inverse is (n + 1) x (n + 1), beta has n + 1 entries
// and the last one, multiplying the border's 1, is the estimated mean's share.
#include <cmath>
#include <filesystem>

#include "linalg/matrix_text.h"
#include "geostat/variogram_model.h"
#include "platform/trace.h"

namespace gridora {

double CVariogramModel::Covariance(double distance) const { return std::exp(-distance / a) * c; }

double CVariogramModel::ModelCovarianceTo(double px, double py, int i) const {
  const std::vector<double>& toX = pairMode == 1 ? otherX : x;
  const std::vector<double>& toY = pairMode == 1 ? otherY : y;
  CovarianceModel model = Model();
  if (pairMode == 1) model.nugget = 0.0;
  return model.Covariance(px - toX[i], py - toY[i]);
}

CMatrix CVariogramModel::CovarianceFor(double range, double sill) const {
  const int rows = distanceMatrix.rows, columns = distanceMatrix.columns;
  CMatrix covariance(rows, columns);
  if (!options.PlainExponential()) {
    // From the coordinates: anisotropy needs the separation, not only its length. The
    // cross model has no nugget of its own (the measurement noise of the two variables
    // is not shared).
    CovarianceModel model = options.Model(range, sill);
    if (pairMode == 1) model.nugget = 0.0;
    const std::vector<double>& toX = pairMode == 1 ? otherX : x;
    const std::vector<double>& toY = pairMode == 1 ? otherY : y;
#pragma omp parallel for schedule(static)
    for (int i = 0; i < rows; ++i) {
      double* k = covariance.values[i];
      for (int j = 0; j < columns; ++j) k[j] = model.Covariance(toX[j] - x[i], toY[j] - y[i]);
    }
    return covariance;
  }
#pragma omp parallel for schedule(static)
  for (int i = 0; i < rows; ++i) {
    const double* d = distanceMatrix.values[i];
    double* k = covariance.values[i];
    for (int j = 0; j < columns; ++j) k[j] = std::exp(-d[j] / range) * sill;
  }
  return covariance;
}

std::string CVariogramModel::KrigingMatrixFileName() const {
  if (pairMode == 1) return "kriging_matrix_c12.txt";
  if (variableKind == 1) return "kriging_matrix_c22.txt";
  return "kriging_matrix.txt";
}

void CVariogramModel::BuildKrigingMatrix() {
  Trace("nData=%d\n", count);
  Trace("n=%d\n", distanceMatrix.rows);
  Trace("m=%d\n", distanceMatrix.columns);
  Trace("a=%f\n", a);
  Trace("b=%f\n", b);
  Trace("c=%f\n", c);
  covarianceMatrix = CMatrix();
  covarianceMatrix = CovarianceFor(a, c);
  if (writeMatrixFiles)
    WriteMatrixText(covarianceMatrix, std::filesystem::path(folder) / KrigingMatrixFileName(),
                    MatrixTextKind::MatrixLayoutOne);
}

std::vector<double> CVariogramModel::ResidualWeights(const CMatrix& inverse) const {
  // beta_j = sum_i (z'_i - m') inv(i, j): the weights of the estimate's sum
  // sum_i (z'_i - m') (inv k)_i regrouped by covariance, so inv need not be symmetric.
  // An ordinary kriging inverse has one column more: beta gets the mean's share too.
  const int size = inverse.columns;
  std::vector<double> beta(static_cast<std::size_t>(size), 0.0);
  for (int i = 0; i < count; ++i) {
    const double r = values[i] - residualMean;
    const double* row = inverse.values[i];
    for (int j = 0; j < size; ++j) beta[j] += r * row[j];
  }
  return beta;
}

double CVariogramModel::PredictWithWeights(double px, double py, const std::vector<double>& beta) const {
  double s = 0.0;
  if (options.PlainExponential()) {
    for (int i = 0; i < count; ++i) {
      const double d = std::sqrt((py - y[i]) * (py - y[i]) + (px - x[i]) * (px - x[i]));
      s += std::exp(-d / a) * c * beta[i];
    }
  } else {
    const CovarianceModel model = Model();
    for (int i = 0; i < count; ++i) s += model.Covariance(px - x[i], py - y[i]) * beta[i];
  }
  if (beta.size() > static_cast<std::size_t>(count)) s += beta[count];
  double v = s + residualMean;
  if (standardised == 1) v = v * standardDeviation + mean;
  return v;
}

double CVariogramModel::Predict(double px, double py, const CMatrix* inverse) const {
  if (!inverse) return std::nan("");
  // k has the inverse's size: an ordinary system's border entry is 1.
  CMatrix k(inverse->rows, 1);
  for (int i = 0; i < count; ++i) {
    const double d = std::sqrt((py - y[i]) * (py - y[i]) + (px - x[i]) * (px - x[i]));
    k(i, 0) = options.PlainExponential() ? std::exp(-d / a) * c : ModelCovarianceTo(px, py, i);
    Trace("%d %f %f\n", i, d, k(i, 0));
  }
  for (int i = count; i < inverse->rows; ++i) k(i, 0) = 1.0;
  const CMatrix w = Product(*inverse, k);
  if (TraceEnabled()) PrintToConsole(w);
  double s = 0.0;
  for (int i = 0; i < count; ++i) {
    Trace("%d %f %f\n", i, w(i, 0), values[i]);
    s += (values[i] - residualMean) * w(i, 0);
  }
  double v = s + residualMean;
  if (standardised == 1) v = v * standardDeviation + mean;
  return v;
}

}  // namespace gridora
