#include "geostat/variogram_model.h"

#include <fmt/printf.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "geostat/variogram_fit.h"
#include "geostat/variogram_wls_fit.h"
#include "linalg/matrix_text.h"
#include "platform/diagnostic_file.h"
#include "platform/trace.h"
#include "platform/user_interface.h"

namespace gridora {
namespace {

// A lag width so small that it asks for more classes than this is a typing mistake,
// not a variogram: refuse it before the class sums are allocated.
constexpr double kMaximumLagClasses = 1.0e6;

std::filesystem::path InFolder(const std::string& folder, const char* name) {
  return std::filesystem::path(folder) / name;
}

}  // namespace

VariogramModel::VariogramModel(std::string folder, int showMessages)
    : folder(std::move(folder)), showMessages(showMessages) {}

void VariogramModel::SetData(int n, const double* xs, const double* ys, double* zs, int kind, UserInterface* ui) {
  SetDataWithoutMatrices(n, xs, ys, zs, kind, ui);
  distanceMatrix = DistanceMatrix(n, x.data(), y.data());
  dissimilarityMatrix = HalfSquaredDifferences(n, values.data());
}

void VariogramModel::SetDataWithoutMatrices(int n, const double* xs, const double* ys, double* zs, int kind,
                                            UserInterface* ui) {
  variableKind = kind;
  standardised = 1;
  count = n;

  double sum = 0.0;
  for (int i = 0; i < n; ++i) sum += zs[i];
  mean = sum / n;

  double squares = 0.0;
  for (int i = 0; i < n; ++i) {
    squares += (zs[i] - mean) * (zs[i] - mean);
    zs[i] -= mean;
  }
  standardDeviation = std::sqrt(squares / n);

  x.assign(xs, xs + n);
  y.assign(ys, ys + n);
  smallestX = n > 0 ? *std::min_element(x.begin(), x.end()) : 0.0;
  smallestY = n > 0 ? *std::min_element(y.begin(), y.end()) : 0.0;

  values.resize(static_cast<std::size_t>(n));
  double centredSum = 0.0;
  for (int i = 0; i < n; ++i) {
    values[i] = zs[i] / standardDeviation;
    centredSum += zs[i];
  }
  residualMean = centredSum / n;

  if (showMessages == 1 && ui) ui->Message(fmt::sprintf("Number of data=%d Mean=%f SD=%f", n, mean, standardDeviation));
  distanceMatrix = DenseMatrix();
  dissimilarityMatrix = DenseMatrix();
}

bool VariogramModel::SetCross(const VariogramModel* primary, const VariogramModel* secondary) {
  if (!primary || !secondary) return false;
  pairMode = 1;
  variableKind = 2;
  const int n1 = primary->count, n2 = secondary->count;
  x = primary->x;
  y = primary->y;
  otherX = secondary->x;
  otherY = secondary->y;
  distanceMatrix =
      CrossDistanceMatrix(n1, primary->x.data(), primary->y.data(), n2, secondary->x.data(), secondary->y.data());
  if (writeMatrixFiles)
    WriteMatrixText(distanceMatrix, InFolder(folder, "cross_distance_matrix.txt"), MatrixTextKind::MatrixLayoutOne);
  dissimilarityMatrix = DenseMatrix(n1, n2);
  for (int i = 0; i < n1; ++i) {
    const double zi = primary->values[i];
    double* row = dissimilarityMatrix.values[i];
    for (int j = 0; j < n2; ++j) {
      const double d = zi - secondary->values[j];
      row[j] = d * d * 0.5;
    }
  }
  if (writeMatrixFiles)
    WriteMatrixText(dissimilarityMatrix, InFolder(folder, "cross_dissimilarity_matrix.txt"),
                    MatrixTextKind::MatrixLayoutOne);
  return true;
}

std::size_t VariogramModel::BuildCloud(bool writeFile) {
  const int r = distanceMatrix.rows, s = distanceMatrix.columns;
  std::size_t pairs = 0;
  for (int i = 0; i < r; ++i) pairs += static_cast<std::size_t>(pairMode == 1 ? s : std::max(0, s - i - 1));
  cloudCount = pairs;
  Trace("nVC=%d\n", static_cast<long long>(pairs));
  cloudDistance.assign(pairs, 0.0);
  cloudDissimilarity.assign(pairs, 0.0);
  cloudMaximumDistance = 0.0;
  cloudMaximumDissimilarity = 0.0;

  const char* name = variableKind == 1   ? "variogram_cloud_second.txt"
                     : variableKind == 2 ? "variogram_cloud_cross.txt"
                                         : "variogram_cloud.txt";
  std::unique_ptr<DiagnosticFile> file;
  if (writeFile)
    file = std::make_unique<DiagnosticFile>(InFolder(folder, name), DiagnosticFile::Encoding::Utf16LittleEndian);

  // With anisotropy the cloud holds reduced distances, the lags the model is fitted on.
  const bool reduced = options.ratio != 1.0;
  const CovarianceModel shape = Model();
  const std::vector<double>& toX = pairMode == 1 ? otherX : x;
  const std::vector<double>& toY = pairMode == 1 ? otherY : y;
  std::size_t k = 0;
  for (int i = 0; i < r; ++i) {
    const double* distances = distanceMatrix.values[i];
    const double* dissimilarities = dissimilarityMatrix.values[i];
    for (int j = pairMode == 1 ? 0 : i + 1; j < s; ++j, ++k) {
      const double h = reduced ? shape.ReducedDistance(toX[j] - x[i], toY[j] - y[i]) : distances[j];
      const double g = dissimilarities[j];
      cloudDistance[k] = h;
      cloudDissimilarity[k] = g;
      if (file) file->Printf("%d %d %d %f %f\n", i, j, static_cast<long long>(k), h, g);
      cloudMaximumDistance = std::max(cloudMaximumDistance, h);
      cloudMaximumDissimilarity = std::max(cloudMaximumDissimilarity, g);
    }
  }
  if (file) file->Close();
  return cloudCount;
}

double VariogramModel::ClassCountFor(double lagWidth) const { return std::ceil(cloudMaximumDistance / lagWidth); }

int VariogramModel::FitVariogram(double lagWidth, double stepFactor, int iterationLimit, UserInterface* ui,
                                 std::string* refusal) {
  auto refuse = [refusal](std::string text) {
    if (refusal) *refusal = std::move(text);
    return 0;
  };
  if (!(lagWidth > 0.0) || !std::isfinite(lagWidth))
    return refuse(fmt::sprintf("The lag width must be a number greater than 0 (it is %g).", lagWidth));
  const double classes = ClassCountFor(lagWidth);
  if (!(classes <= kMaximumLagClasses))
    return refuse(
        fmt::sprintf("The lag width %g is too small for distances up to %g: it would make %.0f lag classes (at most "
                     "%.0f). Choose a larger lag width.",
                     lagWidth, cloudMaximumDistance, classes, kMaximumLagClasses));
  const int m = static_cast<int>(classes);
  Trace("hMax=%f dLag=%f nLag=%d\n", cloudMaximumDistance, lagWidth, m);

  std::vector<double> distanceSums(static_cast<std::size_t>(m), 0.0), gammaSums(distanceSums);
  std::vector<int> counts(static_cast<std::size_t>(m), 0);
  for (std::size_t k = 0; k < cloudCount; ++k) {
    const double h = cloudDistance[k];
    // Class I holds I*w <= h < (I+1)*w with both bounds formed as products; the
    // quotient gives the candidate, the products decide at the bounds.
    double candidate = std::floor(h / lagWidth);
    if (!(candidate >= 0.0) || candidate > m) continue;
    int I = static_cast<int>(candidate);
    if (I > 0 && h < I * lagWidth) --I;
    if (h >= (I + 1) * lagWidth) ++I;
    if (I < 0 || I >= m || !(I * lagWidth <= h && h < (I + 1) * lagWidth)) continue;
    distanceSums[I] += h;
    gammaSums[I] += cloudDissimilarity[k];
    ++counts[I];
  }

  std::vector<double> lags, gammas;
  double largestLag = 0.0, largestGamma = 0.0;
  for (int I = 0; I < m; ++I) {
    if (counts[I] <= 0) continue;
    lags.push_back(distanceSums[I] / counts[I]);
    gammas.push_back(gammaSums[I] / counts[I]);
    largestLag = std::max(largestLag, lags.back());
    largestGamma = std::max(largestGamma, gammas.back());
  }
  if (lags.empty())
    return refuse(
        fmt::sprintf("No pair of points falls into a lag class of width %g (the largest distance is %g). Choose a lag "
                     "width that is not a whole fraction of the largest distance, or a smaller one.",
                     lagWidth, cloudMaximumDistance));
  if (!(largestLag > 0.0))
    return refuse("Every pair of points in the lag classes is at distance 0: no range can be fitted.");

  if (options.fit == VariogramFitMethod::WeightedLeastSquares) {
    LagClasses classes;
    for (int I = 0, kept = 0; I < m; ++I) {
      if (counts[I] <= 0) continue;
      if (options.maximumLag <= 0.0 || lags[kept] <= options.maximumLag) {
        classes.lag.push_back(lags[kept]);
        classes.gamma.push_back(gammas[kept]);
        classes.pairs.push_back(counts[I]);
      }
      ++kept;
    }
    if (classes.lag.empty())
      return refuse(fmt::sprintf("No lag class lies within the maximum lag %g (the first is at %g).",
                                 options.maximumLag, lags.front()));
    double upper = 0.0;
    for (double g : classes.gamma) upper = std::max(upper, g);
    const double startRange = std::max(classes.lag.back(), largestLag) / 3.0;
    const double startSill = std::max(upper - options.nugget, 0.1 * std::max(upper, 1e-12));
    const WlsFit fit = FitVariogramWls(classes, options.Model(startRange, startSill), options.fitNugget,
                                       FitWeights::PairsOverLagSquared);
    if (!fit.converged || !std::isfinite(fit.model.range) || !(fit.model.sill > 0.0) || !std::isfinite(fit.model.sill))
      return refuse(fmt::sprintf(
          "The least-squares fit of the variogram did not converge in %d iterations; the model stays as it was.",
          fit.iterations));
    std::vector<int> pairs;
    for (int I = 0; I < m; ++I)
      if (counts[I] > 0) pairs.push_back(counts[I]);
    const int kept = static_cast<int>(lags.size());
    classCount = kept;
    lagColumn = ColumnVector(kept, lags.data());
    gammaColumn = ColumnVector(kept, gammas.data());
    classLag = std::move(lags);
    classGamma = std::move(gammas);
    classPairs = std::move(pairs);
    largestClassLag = largestLag;
    largestClassGamma = largestGamma;
    a = fit.model.range;
    c = fit.model.sill;
    options.nugget = fit.model.nugget;
    fitReport = fmt::sprintf("Weighted error=%g", fit.weightedError);
    Trace("wls a=%f c=%f nugget=%f S=%g iterations=%d\n", a, c, options.nugget, fit.weightedError, fit.iterations);
    if (showMessages == 1 && ui)
      ui->Message(fmt::sprintf("Range=%f Sill=%f Nugget=%f %s", a, c, options.nugget, fitReport));
    return classCount;
  }

  const double a0 = std::min(500.0, largestLag / 1.5);
  const double c0 = standardised == 1 ? 2.0 : largestGamma;
  const int kept = static_cast<int>(lags.size());
  DenseMatrix newLagColumn = ColumnVector(kept, lags.data());
  DenseMatrix newGammaColumn = ColumnVector(kept, gammas.data());
  const ExponentialFit fit = FitExponentialModel(folder, newLagColumn, newGammaColumn, static_cast<float>(a0),
                                                 static_cast<float>(c0), iterationLimit, stepFactor);
  if (!(fit.a > 0.0) || !std::isfinite(fit.a) || !std::isfinite(fit.c))
    return refuse(
        fmt::sprintf("The exponential model could not be fitted to the %d lag classes (range %g, sill %g). Try another "
                     "lag width.",
                     kept, fit.a, fit.c));

  std::vector<int> pairs;
  for (int I = 0; I < m; ++I)
    if (counts[I] > 0) pairs.push_back(counts[I]);
  classCount = kept;
  classPairs = std::move(pairs);
  classLag = std::move(lags);
  classGamma = std::move(gammas);
  largestClassLag = largestLag;
  largestClassGamma = largestGamma;
  lagColumn = std::move(newLagColumn);
  gammaColumn = std::move(newGammaColumn);
  a = fit.a;
  c = fit.c;
  if (showMessages == 1 && ui) ui->Message(fmt::sprintf("Range=%f Sill=%f", a, c));
  return classCount;
}

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
double VariogramModel::Covariance(double distance) const { return std::exp(-distance / a) * c; }

double VariogramModel::ModelCovarianceTo(double px, double py, int i) const {
  const std::vector<double>& toX = pairMode == 1 ? otherX : x;
  const std::vector<double>& toY = pairMode == 1 ? otherY : y;
  CovarianceModel model = Model();
  if (pairMode == 1) model.nugget = 0.0;
  return model.Covariance(px - toX[i], py - toY[i]);
}

DenseMatrix VariogramModel::CovarianceFor(double range, double sill) const {
  const int rows = distanceMatrix.rows, columns = distanceMatrix.columns;
  DenseMatrix covariance(rows, columns);
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

std::string VariogramModel::KrigingMatrixFileName() const {
  if (pairMode == 1) return "kriging_matrix_c12.txt";
  if (variableKind == 1) return "kriging_matrix_c22.txt";
  return "kriging_matrix.txt";
}

void VariogramModel::BuildKrigingMatrix() {
  Trace("nData=%d\n", count);
  Trace("n=%d\n", distanceMatrix.rows);
  Trace("m=%d\n", distanceMatrix.columns);
  Trace("a=%f\n", a);
  Trace("b=%f\n", b);
  Trace("c=%f\n", c);
  covarianceMatrix = DenseMatrix();
  covarianceMatrix = CovarianceFor(a, c);
  if (writeMatrixFiles)
    WriteMatrixText(covarianceMatrix, std::filesystem::path(folder) / KrigingMatrixFileName(),
                    MatrixTextKind::MatrixLayoutOne);
}

std::vector<double> VariogramModel::ResidualWeights(const DenseMatrix& inverse) const {
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

double VariogramModel::PredictWithWeights(double px, double py, const std::vector<double>& beta,
                                          const double* border) const {
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
  for (std::size_t k = static_cast<std::size_t>(count); k < beta.size(); ++k)
    s += border ? beta[k] * border[k - static_cast<std::size_t>(count)] : beta[k];
  double v = s + residualMean;
  if (standardised == 1) v = v * standardDeviation + mean;
  return v;
}

double VariogramModel::Predict(double px, double py, const DenseMatrix* inverse, const double* border) const {
  if (!inverse) return std::nan("");
  // k has the inverse's size: an ordinary system's border entry is 1.
  DenseMatrix k(inverse->rows, 1);
  for (int i = 0; i < count; ++i) {
    const double d = std::sqrt((py - y[i]) * (py - y[i]) + (px - x[i]) * (px - x[i]));
    k(i, 0) = options.PlainExponential() ? std::exp(-d / a) * c : ModelCovarianceTo(px, py, i);
    Trace("%d %f %f\n", i, d, k(i, 0));
  }
  for (int i = count; i < inverse->rows; ++i) k(i, 0) = border ? border[i - count] : 1.0;
  const DenseMatrix w = Product(*inverse, k);
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
