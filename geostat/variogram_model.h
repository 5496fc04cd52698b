#pragma once
// The variogram of one variable, or of a primary-secondary pair of variables.
//
// The values are standardised first, z' = (z - mean) / sd with the population standard
// deviation, so every sill below is in units of the variance. The cloud holds, for each
// pair of points (i, j), their distance h_ij and their dissimilarity 0.5 (z'_i - z'_j)^2.
// Averaging the cloud in lag classes of width w gives the experimental variogram, and the
// exponential model
//
//     gamma(h) = c (1 - exp(-h / a))          a: range parameter, c: sill, no nugget
//
// is fitted to the class averages by a few damped Gauss-Newton steps (variogram_fit.h).
// Kriging then uses the matching covariance C(h) = c exp(-h / a) (kriging.cpp).
//
// A cross model (pair mode 1, kind 2) has no points of its own: its matrices are n1 x n2,
// primary points in rows and secondary points in columns, and its cloud holds every
// (primary, secondary) pair.
#include <cstddef>
#include <string>
#include <vector>

#include "geostat/covariance_model.h"
#include "geostat/kriging_options.h"
#include "linalg/matrix.h"

namespace gridora {

class UserInterface;

class VariogramModel {
 public:
  VariogramModel(std::string folder, int showMessages);

  // Standardises z in place (centres it, then divides by the standard deviation), keeps
  // copies of the coordinates and values and builds the distance and dissimilarity
  // matrices. Shows "Number of data=%d Mean=%f SD=%f" through `ui` when show messages is
  // 1 and ui is given. The caller has checked that the values are not all equal.
  void SetData(int n, const double* xs, const double* ys, double* zs, int kind, UserInterface* ui);
  // SetData without the distance and dissimilarity matrices, for data too many for them
  // (local kriging; the cloud then comes from sampled_cloud.h).
  void SetDataWithoutMatrices(int n, const double* xs, const double* ys, double* zs, int kind, UserInterface* ui);

  // Turns the cross model into the n1 x n2 pair model of a primary and a secondary
  // model and writes its two matrices. False (changing nothing) when either model is
  // missing.
  bool SetCross(const VariogramModel* primary, const VariogramModel* secondary);

  // Enumerates the pairs into the cloud (i ascending, then j) and keeps the largest
  // distance and dissimilarity. With writeFile the pairs also go to the cloud file.
  std::size_t BuildCloud(bool writeFile);

  // Averages the cloud in classes of width `lagWidth`, drops the empty classes and fits
  // the exponential model to the rest. Returns the number of classes kept. When no pair
  // falls into a class, or the fit gives no usable range and sill, nothing is fitted, a
  // and c keep their values, `refusal` (when given) says why and the result is 0.
  int FitVariogram(double lagWidth, double stepFactor, int iterationLimit, UserInterface* ui,
                   std::string* refusal = nullptr);

  // Number of lag classes of width w over the cloud, ceil(hMax / w), as a double so that
  // a tiny width can be refused before anything is allocated.
  double ClassCountFor(double lagWidth) const;

  // covariance (i, j) = c exp(-d_ij / a), written to the kriging matrix file of the model.
  void BuildKrigingMatrix();
  // The same covariance matrix without touching the model or writing a file.
  DenseMatrix CovarianceFor(double range, double sill) const;
  // Name of the file BuildKrigingMatrix writes: kriging_matrix_c12.txt (cross),
  // kriging_matrix_c22.txt (secondary) or kriging_matrix.txt.
  std::string KrigingMatrixFileName() const;

  // Simple kriging estimate at (x, y) in the data's own units: the mean plus
  // k(x)^T K^-1 (z' - m') scaled back. O(n^2) per call; see ResidualWeights for grids.
  // `border`: the entries of the right-hand side beyond the points (the drift's f(x0)
  // of universal kriging); null: each is 1 (the unknown mean of ordinary kriging).
  double Predict(double x, double y, const DenseMatrix* inverse, const double* border = nullptr) const;
  // beta = K^-1 (z' - m'), the same for every position, so that an estimate costs O(n).
  std::vector<double> ResidualWeights(const DenseMatrix& inverse) const;
  // The estimate from the weights of ResidualWeights.
  double PredictWithWeights(double x, double y, const std::vector<double>& beta, const double* border = nullptr) const;
  // The covariance c exp(-d / a) of the model at distance d.
  double Covariance(double distance) const;

  // The covariance model of the options with this model's range a and sill c.
  CovarianceModel Model() const { return options.Model(a, c); }
  // The covariance between (px, py) and point i of the model's points (for the cross
  // model: secondary point i), through the options' model.
  double ModelCovarianceTo(double px, double py, int i) const;

  int pairMode = 0;
  int variableKind = 0;
  std::string folder;
  int showMessages = 1;
  int standardised = 0;
  int count = 0;
  double smallestX = 0.0, smallestY = 0.0;
  double mean = 0.0;
  double standardDeviation = 0.0;
  double residualMean = 0.0;
  double a = 3.0;
  double b = 0.0;
  double c = 1.0;
  double cloudMaximumDistance = 0.0;
  double cloudMaximumDissimilarity = 0.0;
  double largestClassLag = 0.0, largestClassGamma = 0.0;
  DenseMatrix distanceMatrix;
  DenseMatrix dissimilarityMatrix;
  std::vector<double> x, y, values;  // values: the standardised z'
  std::size_t cloudCount = 0;
  std::vector<double> cloudDistance, cloudDissimilarity;
  int classCount = 0;
  std::vector<double> classLag, classGamma;
  DenseMatrix covarianceMatrix;
  DenseMatrix lagColumn, gammaColumn;
  std::vector<int> classPairs;  // pairs in each kept class
  // The model, fit and kriging type chosen for the next fit and system.
  KrigingOptions options;
  // The cross model's secondary coordinates (x and y then hold the primary ones).
  std::vector<double> otherX, otherY;
  std::string fitReport;         // the least-squares fit's outcome, for the message
  bool writeMatrixFiles = true;  // false: no kriging or cross matrix files
};

}  // namespace gridora
