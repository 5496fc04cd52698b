#include "trend/trend_surface.h"

#include "trend/least_squares.h"

#include <fmt/format.h>

#include <algorithm>
#include <cmath>

namespace gridora {
namespace {

double Binomial(int n, int k) {
  double b = 1.0;
  for (int i = 1; i <= k; ++i) b = b * (n - k + i) / i;
  return b;
}

// The place of the term x^a y^b (a + b = k) in the term order.
int TermIndex(int a, int b) {
  const int k = a + b;
  return k * (k + 1) / 2 + b;
}

}  // namespace

int TrendTermCount(int degree) { return (degree + 1) * (degree + 2) / 2; }

std::vector<std::string> TrendTermNames(int degree) {
  auto power = [](const char* name, int p) -> std::string {
    if (p == 0) return "";
    if (p == 1) return name;
    return fmt::format("{}{}", name, p);
  };
  std::vector<std::string> names;
  for (int k = 0; k <= degree; ++k)
    for (int j = 0; j <= k; ++j) {
      const std::string term = power("x", k - j) + power("y", j);
      names.push_back(term.empty() ? "1" : term);
    }
  return names;
}

void TrendTerms(int degree, double u, double v, double* terms) {
  int t = 0;
  for (int k = 0; k <= degree; ++k) {
    // u^(k-j) v^j for j = 0..k, the powers formed directly (u may be 0: no division).
    double vj = 1.0;
    for (int j = 0; j <= k; ++j) {
      double uPower = 1.0;
      for (int p = 0; p < k - j; ++p) uPower *= u;
      terms[t++] = uPower * vj;
      vj *= v;
    }
  }
}

double TrendSurface::At(double x, double y) const {
  const double u = (x - centreX) / scale, v = (y - centreY) / scale;
  double terms[10];
  TrendTerms(degree, u, v, terms);
  double t = 0.0;
  for (int i = 0; i < TrendTermCount(degree); ++i) t += scaledCoefficients[i] * terms[i];
  return t;
}

std::vector<double> TrendSurface::RawCoefficients() const {
  // u^i v^j = (x - cx)^i (y - cy)^j / s^(i+j): each power expands binomially into the
  // terms x^a y^b with a <= i, b <= j.
  std::vector<double> raw(static_cast<std::size_t>(TrendTermCount(degree)), 0.0);
  for (int k = 0; k <= degree; ++k)
    for (int j = 0; j <= k; ++j) {
      const int i = k - j;
      const double c = scaledCoefficients[TermIndex(i, j)] / std::pow(scale, k);
      for (int a = 0; a <= i; ++a)
        for (int b = 0; b <= j; ++b)
          raw[TermIndex(a, b)] +=
              c * Binomial(i, a) * std::pow(-centreX, i - a) * Binomial(j, b) * std::pow(-centreY, j - b);
    }
  return raw;
}

TrendFit FitTrendSurface(int n, const double* x, const double* y, const double* z, int degree) {
  TrendFit fit;
  if (degree < 1 || degree > 3) {
    fit.problem = fmt::format("The degree of the trend must be 1, 2 or 3 (it is {}).", degree);
    return fit;
  }
  const int p = TrendTermCount(degree);
  if (n < p) {
    fit.problem =
        fmt::format("A trend of degree {} has {} terms: it needs at least {} points (there are {}).", degree, p, p, n);
    return fit;
  }
  double sumX = 0.0, sumY = 0.0;
  for (int i = 0; i < n; ++i) {
    if (!std::isfinite(x[i]) || !std::isfinite(y[i]) || !std::isfinite(z[i])) {
      fit.problem =
          fmt::format("Point No.{} has a coordinate or value that is not a number: no trend is fitted.", i + 1);
      return fit;
    }
    sumX += x[i];
    sumY += y[i];
  }
  TrendSurface s;
  s.degree = degree;
  s.centreX = sumX / n;
  s.centreY = sumY / n;
  double reach = 0.0;
  for (int i = 0; i < n; ++i) reach = std::max({reach, std::fabs(x[i] - s.centreX), std::fabs(y[i] - s.centreY)});
  s.scale = reach > 0.0 ? reach : 1.0;

  // The design matrix in u and v, column-major.
  const std::size_t rows = static_cast<std::size_t>(n);
  std::vector<double> A(rows * p), b(z, z + n), terms(static_cast<std::size_t>(p));
  for (int i = 0; i < n; ++i) {
    TrendTerms(degree, (x[i] - s.centreX) / s.scale, (y[i] - s.centreY) / s.scale, terms.data());
    for (int c = 0; c < p; ++c) A[c * rows + i] = terms[c];
  }
  std::optional<std::vector<double>> solved = SolveLeastSquares(rows, p, A, b);
  if (!solved) {
    fit.problem = fmt::format(
        "The points do not determine a trend of degree {}: they lie too nearly on a line or curve of that degree. "
        "Choose a lower degree.",
        degree);
    return fit;
  }
  s.scaledCoefficients = std::move(*solved);
  for (double c : s.scaledCoefficients)
    if (!std::isfinite(c)) {
      fit.problem = "The trend's coefficients are not finite numbers: the values are too large.";
      return fit;
    }
  fit.surface = std::move(s);
  return fit;
}

std::string TrendCsvText(const TrendSurface& surface) {
  std::string text = "term,coefficient\r\n";
  const std::vector<std::string> names = TrendTermNames(surface.degree);
  const std::vector<double> raw = surface.RawCoefficients();
  for (std::size_t i = 0; i < names.size(); ++i) text += fmt::format("{},{:.17g}\r\n", names[i], raw[i]);
  return text;
}

}  // namespace gridora
