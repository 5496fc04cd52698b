#include "geostat/variogram_fit.h"

#include <cmath>
#include <filesystem>

#include "linalg/matrix_text.h"
#include "platform/diagnostic_file.h"
#include "platform/trace.h"

namespace gridora {
namespace {

// The inverse of the 2 x 2 normal matrix J^T J = [[p, q], [q, r]] in closed form,
// [[r, -q], [-q, p]] / (p r - q^2). Empty when the determinant is 0 (fewer than two
// classes that tell a from c) or the inverse is not finite.
DenseMatrix NormalInverse(const DenseMatrix& normal) {
  const double p = normal(0, 0), q = normal(0, 1), r = normal(1, 1);
  const double determinant = p * r - q * q;
  if (determinant == 0.0) return {};
  DenseMatrix inverse(2, 2);
  inverse(0, 0) = r / determinant;
  inverse(0, 1) = -q / determinant;
  inverse(1, 0) = -q / determinant;
  inverse(1, 1) = p / determinant;
  for (int i = 0; i < 2; ++i)
    for (int j = 0; j < 2; ++j)
      if (!std::isfinite(inverse(i, j))) return {};
  return inverse;
}

}  // namespace

double ExponentialVariogram(double h, double a, double c) { return c * (1.0 - std::exp(-h / a)); }

ExponentialFit FitExponentialModel(const std::string& folder, const DenseMatrix& lagColumn,
                                   const DenseMatrix& gammaColumn, float a0, float c0, int iterationLimit,
                                   double stepFactor) {
  if (lagColumn.rows <= 0 || gammaColumn.rows <= 0) return {};
  DiagnosticFile log(std::filesystem::path(folder) / "variogram_optimization.txt",
                     DiagnosticFile::Encoding::Utf16LittleEndian);
  const int m = lagColumn.rows;
  int success = 1;
  double previousRmse = 0.0;
  // The working parameters are single precision, as the dialogs show them.
  float a = a0, c = c0;
  float aBefore = a, cBefore = c;
  Trace("Initial a=%f c=%f\n", a, c);

  auto interrupt = [&](bool restore) {
    success = 0;
    log.Printf("Optimization interupted.\n");
    Trace("Optimization interrupted.\n");
    if (restore) {
      a = aBefore;
      c = cBefore;
    }
  };

  for (int t = 0; t < iterationLimit; ++t) {
    DenseMatrix jacobian(m, 2), residual(m, 1);
    const double ad = a, cd = c;
    for (int i = 0; i < m; ++i) {
      const double h = lagColumn(i, 0);
      const double e = std::exp(-h / ad);
      jacobian(i, 0) = (e * (-cd * h)) / std::pow(ad, 2.0);
      jacobian(i, 1) = 1.0 - e;
      residual(i, 0) = gammaColumn(i, 0) - ExponentialVariogram(h, ad, cd);
    }
    const double rmse = RootMeanSquare(residual);
    Trace("RMSE=%f\n", rmse);
    log.Printf("%d %f %f %f\n", t, a, c, rmse);
    // A non-finite error can only come from a step that went wrong: treat it like a
    // growing error and go back to the parameters before that step.
    if (t > 0 && (rmse > previousRmse || a <= 0.0f || !std::isfinite(rmse))) {
      interrupt(true);
      break;
    }
    previousRmse = rmse;

    const DenseMatrix transposed = Transpose(jacobian);
    const DenseMatrix normalInverse = NormalInverse(Product(transposed, jacobian));
    if (normalInverse.rows == 0) {
      // J^T J is singular: no step exists, the current parameters are the best known.
      interrupt(false);
      break;
    }
    // Each step's inverse is left behind in the current folder.
    WriteMatrixText(normalInverse, "inverse_matrix.txt", MatrixTextKind::InverseDump);
    const DenseMatrix delta = Product(normalInverse, Product(transposed, residual));
    aBefore = a;
    cBefore = c;
    a = static_cast<float>(static_cast<double>(a) + stepFactor * delta(0, 0));
    c = static_cast<float>(static_cast<double>(c) + stepFactor * delta(1, 0));
    if (!std::isfinite(a) || !std::isfinite(c)) {
      interrupt(true);
      break;
    }
    Trace("a=%f c=%f\n", a, c);
    if (t == iterationLimit - 1 && a <= 0.0f) {
      a = aBefore;
      c = cBefore;
    }
  }
  log.Printf("%d %f %f \n", iterationLimit, a, c);
  log.Close();
  Trace("Optimized a=%f c=%f Success=%d\n", a, c, success);
  return {success, c, a};
}

}  // namespace gridora
