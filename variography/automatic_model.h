#pragma once
// The automatic choice of the variogram model: every family (exponential, spherical,
// Gaussian, Matern with the options' smoothness) is fitted to the same lag classes by
// the weighted least squares of geostat/variogram_wls_fit.h, and the family with the
// smallest weighted error
//
//     S = sum_j w_j (g_j - gamma(h_j))^2,   w_j = N_j / h_j^2
//
// is kept. The weights depend on the classes alone, so the errors of the families are
// comparable (Cressie 1985; Goovaerts 1997, sec. 4.2.3; Pebesma 2004, gstat's
// fit.variogram).
#include <string>
#include <vector>

#include "geostat/covariance_model.h"
#include "geostat/variogram_model.h"

namespace gridora {

struct FamilyFit {
  VariogramKind kind = VariogramKind::Exponential;
  bool fitted = false;
  double range = 0.0, sill = 0.0, nugget = 0.0;
  double weightedError = 0.0;
  std::string refusal;  // why the family could not be fitted
};

struct AutomaticModelFit {
  std::vector<FamilyFit> families;  // in the order of VariogramKind
  int chosen = -1;                  // index into families; -1: none could be fitted
};

// Fits every family to the model's cloud in classes of `lagWidth`, starting each from the
// model's options (nugget, smoothness, maximum lag, fit-nugget, anisotropy), and leaves
// the model fitted with the family chosen, as VariogramModel::FitVariogram leaves it
// (options.model the family, options.fit least squares, options.automaticModel kept).
// When no family can be fitted the model keeps its range and sill and `refusal` says
// why (the first family's reason).
AutomaticModelFit FitEveryFamily(VariogramModel& model, double lagWidth, std::string* refusal);

// The table the user is shown: one line per family with its range, sill, nugget and
// weighted error (or why it has none), the chosen family marked.
std::string AutomaticModelTable(const AutomaticModelFit& fit);

// The family's word ("exponential", ...).
const char* FamilyName(VariogramKind kind);

}  // namespace gridora
