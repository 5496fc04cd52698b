#pragma once
// The kriging state of the document: the variogram models of the primary variable and,
// for cokriging, of the secondary variable and of the primary-secondary pairs, with the
// inverse of the kriging (or cokriging) system built from them.
//
// The models and the inverse always belong together: the commands build a whole run in a
// separate state and move it into the document's state only when the run completed
// (AdoptRun), so a cancelled dialog or a refused input never leaves a model of one run
// beside an inverse of another.
#include <memory>
#include <string>
#include <vector>

#include "document/random_data.h"
#include "geostat/variogram_model.h"
#include "linalg/matrix.h"
#include "linalg/system_inverse.h"

namespace gridora {

class Feedback;
class UserInterface;
struct CrossValidation;

// K bordered by a row and a column of ones and a zero corner: the system of ordinary
// kriging, whose last unknown is the Lagrange multiplier of the unknown mean.
DenseMatrix BorderedSystem(const DenseMatrix& K);
// Universal kriging: K bordered by the p columns F_il = f_l(x_i) of the drift at the n
// points (x, y) and a p x p zero corner,
//
//     [ K    F ] [ w  ]   [ k(x0) ]
//     [ F^T  0 ] [ mu ] = [ f(x0) ],
//
// the last p unknowns the Lagrange multipliers of the drift's coefficients (Cressie
// 1993, (3.4.3)). Without a drift, BorderedSystem(K).
DenseMatrix BorderedSystem(const DenseMatrix& K, const DriftBasis* drift, const std::vector<double>& x,
                           const std::vector<double>& y);

class KrigingState {
 public:
  KrigingState(std::string folder, int showMessages);

  // Copies the points and standardises them into the primary model (secondary 0) or
  // into a new secondary model (secondary 1). False when there is no primary model.
  // Without matrices the n x n distance and dissimilarity matrices are not built (the
  // local mode, whose cloud is sampled).
  bool LoadVariable(int n, const DataPoint* points, int secondary, UserInterface* ui, bool withMatrices = true);

  // A secondary model with at least one point: the estimates come from cokriging.
  bool HasSecondary() const;

  // Ordinary kriging (the primary model's options ask for it; cokriging stays simple).
  bool Ordinary() const;

  // The size the inverse must have for the current models: n1 + n2 with a secondary
  // model, else n1 (n1 + 1 for ordinary kriging).
  int SystemSize() const;

  // The system of ordinary kriging: BorderedSystem of the primary covariance matrix,
  // with the drift's border when there is one.
  DenseMatrix OrdinarySystem() const;
  // The rows of the border: the drift's p functions, 1 (the mean) without a drift.
  int BorderSize() const { return drift ? drift->Count() : 1; }
  // The border's entries of the right-hand side at (x, y): f(x, y), or 1.
  void BorderAt(double x, double y, double* f) const;

  // The cokriging system [[K11, K12], [K12^T, K22]] from the models' covariance matrices.
  DenseMatrix CokrigingSystem() const;

  // Inverts M into the state's inverse and, with writeFiles, writes it to
  // "inverse_matrix.txt" (current directory) and "kriging_matrix_inv.txt" (the state's
  // folder). A singular or cancelled inversion leaves the old inverse in place and writes
  // nothing. The outcome is InvertSystemMatrix's.
  Outcome InvertSystem(const DenseMatrix& M, Feedback* feedback, bool writeFiles = true);
  // Writes the inverse to the two files above (nothing without an inverse).
  void WriteInverseFiles() const;

  // Cokriging estimate at (x, y) in the primary variable's units. Without an inverse it
  // shows "NULL" (when ui is given) and returns 0.
  double CoPredict(double x, double y, const DenseMatrix* inverse, UserInterface* ui) const;
  // beta = K^-1 [z'1 - m'1; z'2 - m'2], the same for every position.
  std::vector<double> CoResidualWeights(const DenseMatrix& inverse) const;
  double CoPredictWithWeights(double x, double y, const std::vector<double>& beta) const;

  // Takes over the models and the inverse of a completed run; the folder stays.
  void AdoptRun(KrigingState&& run);

  std::string folder;
  int showMessages = 1;
  std::unique_ptr<VariogramModel> primary;
  std::unique_ptr<VariogramModel> secondary;
  std::unique_ptr<VariogramModel> cross;
  std::unique_ptr<DenseMatrix> inverse;
  // Universal kriging or kriging with external drift: the drift's functions (ordinary
  // kriging only); null for a constant unknown mean.
  std::shared_ptr<const DriftBasis> drift;
  // The last cross-validation of these models, for its chart; dropped with the models.
  std::shared_ptr<const CrossValidation> crossValidation;
  // false: the run skips the n x n matrix files (the user declined their size).
  bool writeMatrixFiles = true;
};

}  // namespace gridora
