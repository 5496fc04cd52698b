#pragma once
// The kriging system of one neighbourhood: the m nearest data points of a position, the
// covariances among them (K, m x m) and with the position (k), solved for the weights.
//
//   simple    K w = k                      estimate m0 + sum w_i (z_i - m0)
//                                          variance C(0) - w^T k
//   ordinary  K w + mu 1 = k, 1^T w = 1    estimate sum w_i z_i
//                                          variance C(0) - w^T k - mu
//
// K is symmetric positive definite for every model here once no two points share a
// position, so a Cholesky factor solves it. The ordinary system, bordered by the
// Lagrange row, is indefinite; it is solved through the same factor, K a = k, K b = 1,
// mu = (1^T a - 1) / 1^T b, w = a - mu b, which needs no pivoting. Where K's factor
// breaks down (a Gaussian model of long range makes K singular to working accuracy), the
// whole system, bordered or not, goes to LAPACK's symmetric indefinite LDL^T
// factorisation with Bunch-Kaufman pivoting (dsysv).
//
//   universal K w + F mu = k, F^T w = f0    F_il = f_l(x_i), f0 = f(x0): the drift
//                                          estimate sum w_i z_i
//                                          variance C(0) - w^T k - mu^T f0
//
// (Cressie 1993, 3.4) solved through the same factor K = L L^T as a Schur complement:
// with U = L^-1 F, S = U^T U, zeta = L^-1 z (all three belong to the points, not to the
// position, and are kept while the points stay) and y = L^-1 k,
//
//     S mu = U^T y - f0,   estimate = y^T zeta - mu^T U^T zeta,
//                          variance = C(0) - y^T y + mu^T (U^T y - f0),
//
// so a position costs one forward substitution and no weights are formed. Ordinary
// kriging keeps its own solve (the drift f = 1 would give the same numbers to rounding).
#include <vector>

#include "geostat/covariance_model.h"
#include "platform/outcome.h"

namespace gridora {

enum class LocalKrigingType { Simple, Ordinary };

struct NeighbourhoodEstimate {
  // Done or Singular: the kind alone, since every node of a grid makes one.
  OutcomeKind outcome = OutcomeKind::Singular;
  double estimate = 0.0;
  double variance = 0.0;  // may round below zero; the caller clamps
  // Ordinary kriging: the Lagrange multiplier mu of the constant (the first drift
  // function) and the generalised-least-squares mean 1^T K^-1 z / 1^T K^-1 1 of the
  // neighbourhood (the trans-Gaussian back-transform needs both); 0 for simple kriging.
  double lagrange = 0.0;
  double glsMean = 0.0;
  bool indefiniteSolve = false;  // Cholesky broke down, LDL^T solved it
};

// Solves the system of one position; the workspace is reused from call to call, so keep
// one solver per thread.
class NeighbourhoodSolver {
 public:
  // m points at (x[i], y[i]) with values z[i]; (px, py) the position. `mean` is the known
  // mean of simple kriging (unused by ordinary kriging). samePoints: the points are those
  // of the previous call, in the same order, so K and its factor are kept (neighbouring
  // nodes often share their neighbours; K and its factor are most of the work). Else
  // previous, when given, holds for each point its place in the previous call's points
  // or -1: the covariances between two kept points are copied, not computed again.
  // samePoints also means the same values and drift. driftAtPoints, when given, holds
  // the drift's functions at the m points (m rows of p), so they are not evaluated again.
  NeighbourhoodEstimate Solve(const CovarianceModel& model, LocalKrigingType type, double mean, int m, const double* x,
                              const double* y, const double* z, double px, double py, bool samePoints = false,
                              const int* previous = nullptr, const DriftBasis* drift = nullptr,
                              const BlockSupport* block = nullptr, const double* driftAtPoints = nullptr);

  // A system the caller fills (cokriging): K through Matrix(m), row-major and symmetric,
  // k through Target(m); then the simple-kriging weights w give w^T residuals and the
  // variance c0 - w^T k.
  double* Matrix(int m);
  double* Target(int m);
  NeighbourhoodEstimate SolveFilled(int m, double c0, const double* residuals);

 private:
  NeighbourhoodEstimate Finish(LocalKrigingType type, int m, double c0, const double* z, double mean);
  NeighbourhoodEstimate FinishDrift(int m, double c0, const double* z);
  bool Cholesky(int m);
  void CholeskySolve(int m, double* b) const;
  void ForwardSolve(int m, double* b) const;  // L y = b, in place
  void FactorDrift(int m, const double* z);
  bool IndefiniteSolve(int size, double* b);

  std::vector<double> K_, previousK_, factor_, k_, a_, b_, bordered_, work_;
  // The drift of universal kriging: F (m x p, by point), f0; U = L^-1 F (by function),
  // S = U^T U, zeta = L^-1 z and U^T zeta while the points stay (driftFactored_), and
  // the position's y = L^-1 k, r = U^T y - f0 and mu.
  int driftCount_ = 0;
  std::vector<double> F_, f0_, S_, mu_, U_, zeta_, Uz_, y_, r_, small_;
  bool driftFactored_ = false;
  const DriftBasis* factoredDrift_ = nullptr;
  int size_ = -1;             // m of K_ and factor_
  bool factorValid_ = false;  // Cholesky of K_ succeeded
  std::vector<int> pivots_;
};

}  // namespace gridora
