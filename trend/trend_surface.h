#pragma once
// A polynomial trend surface fitted to scattered points by least squares.
//
// For degree d the surface is
//
//     t(x, y) = sum over k = 0..d, j = 0..k of  a_kj x^(k-j) y^j
//
// with the terms in the order 1, x, y, x2, xy, y2, x3, x2y, xy2, y3 (p = (d+1)(d+2)/2
// terms). The coefficients minimise sum_i (z_i - t(x_i, y_i))^2.
//
// Projected coordinates (eastings near 4e5, northings near 4e6) make the columns of
// the design matrix nearly parallel: x^3 of 4e6 is 6e19, and the normal equations of
// such columns lose every digit. The fit therefore works in centred and scaled
// coordinates u = (x - cx) / s, v = (y - cy) / s, which lie in [-1, 1], solves the
// least-squares problem by Householder QR (never forming the normal equations), and
// evaluates the surface there. The coefficients in x and y as given (RawCoefficients)
// come from expanding the powers of u and v by the binomial theorem.
//
// Reference: Golub & Van Loan, Matrix Computations (4th ed.), 5.3 (the least-squares
// problem by QR); Davis, Statistics and Data Analysis in Geology (3rd ed.), 5 (trend
// surfaces).
#include <optional>
#include <string>
#include <vector>

namespace gridora {

struct TrendSurface {
  int degree = 1;
  double centreX = 0.0, centreY = 0.0, scale = 1.0;
  std::vector<double> scaledCoefficients;  // of the terms in u and v, in the term order

  // t(x, y), from the scaled form.
  double At(double x, double y) const;
  // The coefficients of the terms in x and y as given.
  std::vector<double> RawCoefficients() const;
};

// The number of terms of a surface of this degree, (d+1)(d+2)/2.
int TrendTermCount(int degree);
// The names of the terms: "1", "x", "y", "x2", "xy", "y2", "x3", "x2y", "xy2", "y3".
std::vector<std::string> TrendTermNames(int degree);
// The terms u^(k-j) v^j at (u, v), in the term order, into terms[0..p-1].
void TrendTerms(int degree, double u, double v, double* terms);

struct TrendFit {
  std::optional<TrendSurface> surface;  // nullopt: refused, `problem` says why
  std::string problem;
};

// Fits the surface of degree 1..3 to n points. Refused: a degree out of range, fewer
// points than terms, coordinates or values that are not finite, or points that do not
// pin the surface down (all on one line for degree 1; on a conic for degree 2).
TrendFit FitTrendSurface(int n, const double* x, const double* y, const double* z, int degree);

// "term,coefficient" and a line per term with 17 significant digits, CR LF line ends.
std::string TrendCsvText(const TrendSurface& surface);

}  // namespace gridora
