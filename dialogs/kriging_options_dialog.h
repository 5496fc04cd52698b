#pragma once
// "Kriging options": the variogram model, its fit, the kriging type, anisotropy and the
// neighbourhood; and "Cross-validation": leave-one-out or k-fold.
#include <functional>

#include "platform/dialog_data.h"

namespace gridora {

class KrigingOptionsDialog : public DialogData {
 public:
  // Fewer neighbours than this (other than 0, all points) are refused.
  static constexpr int kFewestNeighbours = 3;

  // The members hold the choices as indices (model: exponential, spherical, gaussian,
  // matern, automatic; fit: damped, least squares; type: simple, ordinary). `check` judges the
  // values as a whole once the choices are in range.
  std::string Title() const override { return "Kriging options"; }
  int ResourceId() const override { return 160; }
  std::vector<DialogField> Fields() override;
  std::optional<std::string> Validate() const override;

  // The model choice that fits every family and keeps the best.
  static constexpr int kAutomaticModel = 4;

  int model = 0, fit = 0, fitNugget = 0, type = 0, neighbours = 0;
  double nugget = 0, smoothness = 0.5, maximumLag = 0, angle = 0, ratio = 1, maximumDistance = 0;
  // After the first releases' fields: drift (none, linear, quadratic), transform (none,
  // log), the indicator's threshold ("none": off) and the block.
  int drift = 0, transform = 0, blockPoints = 4;
  std::string indicator = "none";
  double block = 0;
  // The threshold of `indicator`; nullopt for "none" (or text that is no number).
  std::optional<double> Threshold() const;
  std::function<std::optional<std::string>(const KrigingOptionsDialog&)> check;
};

class CrossValidationDialog : public DialogData {
 public:
  std::string Title() const override { return "Cross-validation"; }
  int ResourceId() const override { return 161; }
  std::vector<DialogField> Fields() override;
  std::optional<std::string> Validate() const override;

  int folds = 0;  // 0: leave-one-out
  int seed = 1;
};

}  // namespace gridora
