#include "variography/automatic_model.h"

#include <fmt/printf.h>

#include "geostat/variogram_wls_fit.h"

namespace gridora {
namespace {

constexpr VariogramKind kFamilies[] = {VariogramKind::Exponential, VariogramKind::Spherical, VariogramKind::Gaussian,
                                       VariogramKind::Matern};

// The classes the least-squares fit used: the kept classes within the maximum lag.
LagClasses FittedClasses(const VariogramModel& model) {
  LagClasses classes;
  for (int i = 0; i < model.classCount; ++i) {
    const double lag = model.classLag[static_cast<std::size_t>(i)];
    if (model.options.maximumLag > 0.0 && lag > model.options.maximumLag) continue;
    classes.lag.push_back(lag);
    classes.gamma.push_back(model.classGamma[static_cast<std::size_t>(i)]);
    classes.pairs.push_back(model.classPairs[static_cast<std::size_t>(i)]);
  }
  return classes;
}

// Fits one family; true when it could be. The start's nugget is the options' each time.
bool FitFamily(VariogramModel& model, const KrigingOptions& start, VariogramKind kind, double lagWidth,
               std::string& why) {
  model.options = start;
  model.options.model = kind;
  model.options.fit = VariogramFitMethod::WeightedLeastSquares;
  // No messages from the trial fits: the table says it all.
  return model.FitVariogram(lagWidth, 0.1, 3, nullptr, &why) > 0;
}

}  // namespace

const char* FamilyName(VariogramKind kind) {
  switch (kind) {
    case VariogramKind::Exponential: return "exponential";
    case VariogramKind::Spherical: return "spherical";
    case VariogramKind::Gaussian: return "gaussian";
    case VariogramKind::Matern: return "matern";
  }
  return "exponential";
}

AutomaticModelFit FitEveryFamily(VariogramModel& model, double lagWidth, std::string* refusal) {
  AutomaticModelFit result;
  const KrigingOptions start = model.options;
  const double startRange = model.a, startSill = model.c;
  for (VariogramKind kind : kFamilies) {
    FamilyFit family;
    family.kind = kind;
    std::string why;
    if (FitFamily(model, start, kind, lagWidth, why)) {
      family.fitted = true;
      family.range = model.a;
      family.sill = model.c;
      family.nugget = model.options.nugget;
      CovarianceModel fitted = model.Model();
      fitted.ratio = 1.0;  // the classes hold reduced distances
      family.weightedError = WeightedVariogramError(FittedClasses(model), fitted, FitWeights::PairsOverLagSquared);
      // A family must do better than the earlier ones by more than rounding: the Matern
      // of smoothness 1/2 is the exponential, and leaves the choice to the exponential.
      if (result.chosen < 0 ||
          family.weightedError < result.families[static_cast<std::size_t>(result.chosen)].weightedError * (1.0 - 1e-9))
        result.chosen = static_cast<int>(result.families.size());
    } else {
      family.refusal = why;
    }
    result.families.push_back(family);
  }
  if (result.chosen < 0) {
    model.options = start;
    model.a = startRange;
    model.c = startSill;
    if (refusal) *refusal = result.families.front().refusal;
    return result;
  }
  // The chosen family fitted again, so the model holds exactly its fit.
  std::string why;
  FitFamily(model, start, result.families[static_cast<std::size_t>(result.chosen)].kind, lagWidth, why);
  return result;
}

std::string AutomaticModelTable(const AutomaticModelFit& fit) {
  std::string text = "Automatic model (weighted least squares):";
  for (std::size_t k = 0; k < fit.families.size(); ++k) {
    const FamilyFit& f = fit.families[k];
    if (f.fitted)
      text += fmt::sprintf("\n%s range=%g sill=%g nugget=%g weighted error=%.9g%s", FamilyName(f.kind), f.range, f.sill,
                           f.nugget, f.weightedError, static_cast<int>(k) == fit.chosen ? " (chosen)" : "");
    else
      text += fmt::sprintf("\n%s not fitted: %s", FamilyName(f.kind), f.refusal);
  }
  return text;
}

}  // namespace gridora
